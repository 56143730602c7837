#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/about_dialog.h"
#include "app/main_sheet.h"
#include "gui_support.h"
#include "resource_ids.h"

namespace tolvane::test {
namespace {

TEST_F(GuiTest, AboutBoxShowsThePageOfItsTabAsksBeforeALinkAndClosesOnlyByItsCloseBox)
{
    HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    HWND version = nullptr, thanks = nullptr, license = nullptr;
    for (HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr); page;
         page = FindWindowExA(dialog, page, "#32770", nullptr)) {
        if (GetDlgItem(page, IDC_ABOUT_CREDIT)) version = page;
        if (GetDlgItem(page, IDC_ABOUT_DONATIONS)) thanks = page;
        if (GetDlgItem(page, IDC_ABOUT_LICENSE_TEXT)) license = page;
    }
    ASSERT_TRUE(version && thanks && license);
    // The credit caption turns yellow after 38 ticks, given here by the test
    // before the box's own timer has fired.
    KillTimer(version, CreditTimerId);
    for (int tick = 0; tick < 38; ++tick) SendMessageA(version, WM_TIMER, CreditTimerId, 0);
    HWND credit = GetDlgItem(version, IDC_ABOUT_CREDIT);
    HDC dc = GetDC(credit);
    EXPECT_EQ(GetPixel(dc, 1, 3), RGB(190, 190, 0)) << "the leading blank's cell shows the background";
    ReleaseDC(credit, dc);
    const auto visible = [&] {
        std::vector<HWND> pages;
        for (HWND page : {version, thanks, license})
            if (IsWindowVisible(page)) pages.push_back(page);
        return pages;
    };
    EXPECT_EQ(visible(), std::vector<HWND>{version});
    SendDlgItemMessageA(dialog, IDC_ABOUT_TABS, TCM_SETCURFOCUS, 2, 0);
    EXPECT_EQ(visible(), std::vector<HWND>{license});
    SendDlgItemMessageA(dialog, IDC_ABOUT_TABS, TCM_SETCURFOCUS, 1, 0);
    EXPECT_EQ(visible(), std::vector<HWND>{thanks});


    SendMessageA(version, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HOME_LINK, STN_CLICKED), 0);
    SendMessageA(thanks, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_DONATE_LINK, STN_CLICKED), 0);
    ASSERT_EQ(script.boxes.size(), 2u) << "answered No: nothing opens";
    EXPECT_EQ(script.boxes[0].caption, ItemText(version, IDC_ABOUT_HOME_LINK));
    EXPECT_EQ(script.boxes[0].style, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(script.boxes[1].caption, "Confirm to open the PayPal donation page");

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc does not close";
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace tolvane::test
