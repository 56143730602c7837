#include <array>

#include "app/about_dialog.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

TEST_F(GuiTest, AboutBoxShowsThePageOfItsTabAsksBeforeALinkAndClosesOnlyByItsCloseBox)
{
    HWND dialog = OpenDialog(IDD_ABOUT, AboutDialogProc), pages[3] = {};  // found by one control of each
    const std::array controls{IDC_ABOUT_CREDIT, IDC_ABOUT_DONATIONS, IDC_ABOUT_LICENSE_TEXT};
    for (HWND page = nullptr; (page = FindWindowExA(dialog, page, "#32770", nullptr));)
        for (int tab : {0, 1, 2})
            if (GetDlgItem(page, controls[tab])) pages[tab] = page;
    // The credit caption turns yellow after 38 ticks, given here before the box's own timer fires.
    KillTimer(pages[0], CreditTimerId);
    for (int tick = 0; tick < 38; ++tick) SendMessageA(pages[0], WM_TIMER, CreditTimerId, 0);
    HWND credit = GetDlgItem(pages[0], IDC_ABOUT_CREDIT);
    HDC dc = GetDC(credit);
    EXPECT_EQ(GetPixel(dc, 1, 3), RGB(190, 190, 0)) << "the leading blank's cell shows the background";
    ReleaseDC(credit, dc);
    for (int tab : {0, 2, 1}) {
        SendDlgItemMessageA(dialog, IDC_ABOUT_TABS, TCM_SETCURFOCUS, tab, 0);
        for (int page : {0, 1, 2}) EXPECT_EQ(IsWindowVisible(pages[page]) != FALSE, page == tab) << tab;
    }
    SendMessageA(pages[0], WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HOME_LINK, STN_CLICKED), 0);
    SendMessageA(pages[1], WM_COMMAND, MAKEWPARAM(IDC_ABOUT_DONATE_LINK, STN_CLICKED), 0);
    ASSERT_EQ(script.boxes.size(), 2u) << "answered No: nothing opens";
    EXPECT_EQ(script.boxes[0].caption, ItemText(pages[0], IDC_ABOUT_HOME_LINK));
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc does not close";
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace tolvane::test
