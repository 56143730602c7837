#include <array>

#include "app/about_dialog.h"
#include "find/win32/find_page.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

TEST(StartTask, LooksForTheSwitchesCaseSensitivelyNewFoldersFirst)
{
    using enum StartTask;
    const std::pair<const char*, StartTask> lines[] = {
        {nullptr, MainWindow}, {"-TNF", MainWindow}, {"/x -tcff", CreateFakeFile}, {"-tcff -tnf", NewFolders}};
    for (const auto& [line, task] : lines) EXPECT_EQ(ChooseStartTask(line), task) << (line ? line : "none");
}

TEST_F(MainWindowTest, OpensOnFindSwitchesPagesLaysOutAndExitsWithoutAQuestion)
{
    EXPECT_EQ(GetDlgItem(sheet, IDOK), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(sheet, GWL_STYLE) & WS_THICKFRAME);
    SendMessageA(findPageWindow, WM_COMMAND, IDM_SELECT_FIND, 0);
    EXPECT_EQ(comparePageWindow, nullptr) << "the Compare page is made when first shown";
    // The Find page is laid out again when it comes back after a resize.
    std::vector<LONG> margins;
    for (int width : {900, 640}) {
        SendMessageA(CurrentPage(), WM_COMMAND, IDM_SELECT_COMPARE, 0);
        PumpMessages();
        ASSERT_EQ(CurrentPage(), comparePageWindow);
        SetWindowPos(sheet, nullptr, 0, 0, width, 640, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(CurrentPage(), WM_COMMAND, IDM_SELECT_FIND, 0);
        PumpMessages();
        ASSERT_EQ(CurrentPage(), findPageWindow);
        // Each list's right edge keeps the same margin to the sheet's, whatever its width.
        RECT area{}, rect{};
        GetClientRect(sheet, &area);
        for (HWND list : {FilesList, FoldersList, FindErrorLog}) {
            GetWindowRect(list, &rect);
            MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
            margins.push_back(area.right - rect.right);
        }
    }
    EXPECT_EQ(margins, std::vector<LONG>(6, margins[0]));

    // The pages refuse the sheet's reset (Find, Compare) by the close state that Exit and the window icon set.
    const auto refusals = [&] {
        std::string refused;
        for (HWND page : {findPageWindow, comparePageWindow}) {
            NMHDR reset{sheet, 0, static_cast<UINT>(PSN_RESET)};
            SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&reset));
            refused += GetWindowLongPtrA(page, DWLP_MSGRESULT) ? '1' : '0';
        }
        return refused;
    };
    EXPECT_EQ(refusals(), "11");
    MSG message;
    SendMessageA(findPageWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(sheetHook, nullptr);
    EXPECT_EQ(refusals(), "10");
    // The icon press as the hook sees it (the real press opens the system menu's own loop).
    CWPSTRUCT iconPress{0, 0xF093, WM_SYSCOMMAND, sheet};
    SheetMessageHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&iconPress));
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(refusals(), "00");
    SendMessageA(findPageWindow, WM_COMMAND, IDM_COMMAND_LINE_OPTIONS, 0);
    EXPECT_EQ(script.boxes.size(), 1u) << "the switches, and no close question";
}

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM command;
    int answer;
    size_t questions;  // the close question asked, over the sheet
    int32_t closeState;
};

class CloseTest : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, OnlyEscAsksAndOnlyAYesOrTheCloseButtonCloses)
{
    const CloseCase& c = GetParam();
    script.answers = {c.answer};
    SendMessageA(sheet, c.message, c.command, 0);
    PumpMessages();
    ASSERT_EQ(script.boxes.size(), c.questions);
    EXPECT_TRUE(!c.questions || script.boxes[0].owner == sheet);
    EXPECT_EQ(closeState, c.closeState);
    EXPECT_EQ(CurrentPage(), c.closeState == CloseStateConfirmed ? nullptr : findPageWindow);
}

const CloseCase closeCases[] = {{"Enter", WM_COMMAND, IDOK, IDYES, 0, CloseStateNone},
    {"EscNo", WM_COMMAND, IDCANCEL, IDNO, 1, CloseStateNone},
    {"EscYes", WM_COMMAND, IDCANCEL, IDYES, 1, CloseStateConfirmed},
    {"CloseButton", WM_SYSCOMMAND, SC_CLOSE, IDNO, 0, CloseStateConfirmed}};
INSTANTIATE_TEST_SUITE_P(Window, CloseTest, ::testing::ValuesIn(closeCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
}

}  // namespace
}  // namespace tolvane::test
