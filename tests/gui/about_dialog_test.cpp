#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/about_dialog.h"
#include "app/main_sheet.h"
#include "gui_support.h"
#include "resource_ids.h"

namespace tolvane::test {
namespace {

class AboutDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        tabs = GetDlgItem(dialog, IDC_ABOUT_TABS);
        for (HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr); page;
             page = FindWindowExA(dialog, page, "#32770", nullptr)) {
            if (GetDlgItem(page, IDC_ABOUT_CREDIT)) version = page;
            if (GetDlgItem(page, IDC_ABOUT_DONATIONS)) thanks = page;
            if (GetDlgItem(page, IDC_ABOUT_LICENSE_TEXT)) license = page;
        }
    }
    void TearDown() override
    {
        DestroyWindow(dialog);
        GuiTest::TearDown();
    }

    std::vector<HWND> VisiblePages() const
    {
        std::vector<HWND> visible;
        for (HWND page : {version, thanks, license})
            if (IsWindowVisible(page)) visible.push_back(page);
        return visible;
    }

    HWND dialog = nullptr;
    HWND tabs = nullptr;
    HWND version = nullptr;
    HWND thanks = nullptr;
    HWND license = nullptr;
};

TEST_F(AboutDialogTest, ShowsExactlyThePageOfTheSelectedTab)
{
    EXPECT_EQ(WindowText(dialog), "About");
    ASSERT_TRUE(version && thanks && license);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(VisiblePages(), std::vector<HWND>{version});
    SendMessageA(tabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_EQ(VisiblePages(), std::vector<HWND>{license});
    SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);
    EXPECT_EQ(VisiblePages(), std::vector<HWND>{thanks});
    EXPECT_EQ(ItemText(thanks, IDC_ABOUT_DONATIONS), "no donation yet :(\r\n\r\nanyway, thanks!");
    EXPECT_EQ(ItemText(version, IDC_ABOUT_HOME_LINK).rfind("http", 0), 0u);
}

TEST_F(AboutDialogTest, LinksAskBeforeOpeningAndNoOpensNothing)
{
    SendMessageA(version, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HOME_LINK, STN_CLICKED), 0);
    SendMessageA(thanks, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_DONATE_LINK, STN_CLICKED), 0);
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[0].text, "Do you want to open the url with your default browser?");
    EXPECT_EQ(script.boxes[0].caption, ItemText(version, IDC_ABOUT_HOME_LINK));
    EXPECT_EQ(script.boxes[0].style, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(script.boxes[1].caption, "Confirm to open the PayPal donation page");
}

TEST_F(AboutDialogTest, EscDoesNotCloseButTheCloseBoxDoes)
{
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog));
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(AboutDialogTest, CreditCaptionTurnsYellowAfter38Ticks)
{
    // The test gives the ticks itself; the real timer has not fired yet, as
    // no message has been taken from the queue since the box opened.
    KillTimer(version, CreditTimerId);
    for (int tick = 0; tick < 38; ++tick) SendMessageA(version, WM_TIMER, CreditTimerId, 0);
    HWND credit = GetDlgItem(version, IDC_ABOUT_CREDIT);
    HDC dc = GetDC(credit);
    // The leading blank's cell shows the background colour.
    const COLORREF colour = GetPixel(dc, 1, 3);
    ReleaseDC(credit, dc);
    EXPECT_EQ(colour, RGB(190, 190, 0));
}

}  // namespace
}  // namespace tolvane::test
