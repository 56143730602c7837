#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

#include "app/main_sheet.h"
#include "find/win32/find_page.h"
#include "gui_support.h"
#include "resource_ids.h"

namespace tolvane::test {
namespace {

std::string TabText(HWND tabs, int index)
{
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT RectIn(HWND window, HWND parent)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Client(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

std::string MenuText(HMENU menu, int position)
{
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(StartTask, LooksForTheSwitchesCaseSensitivelyNewFoldersFirst)
{
    EXPECT_EQ(ChooseStartTask(""), StartTask::MainWindow);
    EXPECT_EQ(ChooseStartTask(nullptr), StartTask::MainWindow);
    EXPECT_EQ(ChooseStartTask("-tnf"), StartTask::NewFolders);
    EXPECT_EQ(ChooseStartTask("/x -tcff"), StartTask::CreateFakeFile);
    EXPECT_EQ(ChooseStartTask("-TNF"), StartTask::MainWindow);
    EXPECT_EQ(ChooseStartTask("-tcff -tnf"), StartTask::NewFolders);
}

TEST(MainSheetCallback, MakesBothTemplateFormsResizable)
{
    DLGTEMPLATE plain{};
    plain.style = WS_POPUP | WS_CAPTION;
    MainSheetCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&plain));
    EXPECT_EQ(plain.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_THICKFRAME));

    // dlgVer, signature, helpID, exStyle, style
    struct {
        WORD version = 1;
        WORD signature = 0xFFFF;
        DWORD helpId = 0;
        DWORD extendedStyle = WS_EX_TOOLWINDOW;
        DWORD style = WS_POPUP;
    } extended;
    MainSheetCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&extended));
    EXPECT_EQ(extended.style, static_cast<DWORD>(WS_POPUP | WS_THICKFRAME));
    EXPECT_EQ(extended.extendedStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
}

TEST_F(MainWindowTest, OpensOnTheFindPageWithItsMenuTabsAndNoSheetButtons)
{
    EXPECT_EQ(WindowText(sheet), "Tolvane");
    EXPECT_EQ(GetDlgItem(sheet, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(sheet, IDCANCEL), nullptr);
    EXPECT_EQ(GetDlgItem(sheet, 12321), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(sheet, GWL_STYLE) & WS_THICKFRAME);

    HMENU menu = GetMenu(sheet);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText(menu, 0), "&Application");
    EXPECT_EQ(MenuText(menu, 3), "&Help");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 1), 1), "&Compare");

    EXPECT_EQ(SendMessageA(sheetTabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(TabText(sheetTabs, 0), "Find");
    EXPECT_EQ(TabText(sheetTabs, 1), "Compare");
    EXPECT_FALSE(GetWindowLongPtrA(sheetTabs, GWL_STYLE) & TCS_MULTILINE);
    EXPECT_EQ(CurrentPage(), findPageWindow);
    EXPECT_EQ(comparePageWindow, nullptr) << "the Compare page is made when first shown";
    EXPECT_EQ(currentPage, FindPageIndex);
}

TEST_F(MainWindowTest, FindPageStartsIdleWithItsThreeListsOnTabs)
{
    HWND page = findPageWindow;
    EXPECT_EQ(ItemText(page, IDC_FIND_OPTIONS), "Options");
    EXPECT_EQ(ItemText(page, IDC_FIND_FILTERS), "*Specify filters");
    EXPECT_EQ(ItemText(page, IDC_FIND_LOCATIONS), "*Specify locations");
    EXPECT_EQ(ItemText(page, IDC_FIND_SEARCH), "Search");
    EXPECT_FALSE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    EXPECT_FALSE(IsShown(page, IDC_FIND_INDICATOR));
    EXPECT_FALSE(IsShown(page, IDC_FIND_STATUS));
    HWND target = GetDlgItem(page, IDC_FIND_TARGET);
    EXPECT_EQ(SendMessageA(target, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(target, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(WindowText(target), "Search for files");

    EXPECT_EQ(SendMessageA(FindTabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(FindTabs, 2), "Error log");
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) {
        EXPECT_FALSE(IsWindowEnabled(list));
        EXPECT_EQ(GetParent(list), FindTabs);
    }
    EXPECT_TRUE(IsWindowVisible(FilesList));
    EXPECT_FALSE(IsWindowVisible(FoldersList));
    EXPECT_TRUE(SendMessageA(FilesList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    EXPECT_FALSE(SendMessageA(FoldersList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    EXPECT_EQ(SendMessageA(FindErrorLog, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(200, 0, 0)));
    EXPECT_EQ(SendMessageA(FindErrorLog, LVM_GETCOLUMNWIDTH, 0, 0), 0);

    SendMessageA(FindTabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_FALSE(IsWindowVisible(FilesList));
    EXPECT_FALSE(IsWindowVisible(FoldersList));
    EXPECT_TRUE(IsWindowVisible(FindErrorLog));
}

TEST_F(MainWindowTest, ResizingLaysTheListsOutToFillTheirTabs)
{
    for (SIZE size : {SIZE{900, 640}, SIZE{500, 300}, SIZE{60, 40}, SIZE{1000, 690}}) {
        SetWindowPos(sheet, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        const RECT sheetClient = Client(sheet);
        const RECT tabsRect = RectIn(sheetTabs, sheet);
        EXPECT_EQ(tabsRect.left, 1);
        EXPECT_EQ(tabsRect.right - tabsRect.left, sheetClient.right);

        const RECT pageClient = Client(findPageWindow);
        const RECT tabsClient = Client(sheetTabs);
        EXPECT_EQ(pageClient.right, std::max(0L, tabsClient.right - 9));
        const RECT results = RectIn(FindTabs, findPageWindow);
        EXPECT_EQ(results.top, 53);
        EXPECT_EQ(results.right - results.left, pageClient.right);
        const RECT resultsClient = Client(FindTabs);
        for (HWND list : {FilesList, FoldersList, FindErrorLog}) {
            const RECT rect = RectIn(list, FindTabs);
            EXPECT_EQ(rect.left, 1);
            EXPECT_EQ(rect.top, 22);
            EXPECT_EQ(rect.right - rect.left, std::max(0L, resultsClient.right - 4)) << size.cx;
            EXPECT_EQ(rect.bottom - rect.top, std::max(0L, resultsClient.bottom - 25)) << size.cy;
        }
    }
}

TEST_F(MainWindowTest, SelectTaskMenuSwitchesPagesAndFindOnFindDoesNothing)
{
    SendMessageA(findPageWindow, WM_COMMAND, IDM_SELECT_FIND, 0);
    EXPECT_EQ(comparePageWindow, nullptr);
    EXPECT_EQ(CurrentPage(), findPageWindow);

    SendMessageA(findPageWindow, WM_COMMAND, IDM_SELECT_COMPARE, 0);
    PumpMessages();
    ASSERT_NE(comparePageWindow, nullptr);
    EXPECT_EQ(CurrentPage(), comparePageWindow);
    EXPECT_EQ(currentPage, ComparePageIndex);
    EXPECT_EQ(pageSwitching, 0);

    // The Find page is laid out again when it comes back after a resize.
    SetWindowPos(sheet, nullptr, 0, 0, 820, 560, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(comparePageWindow, WM_COMMAND, IDM_SELECT_FIND, 0);
    PumpMessages();
    EXPECT_EQ(CurrentPage(), findPageWindow);
    EXPECT_EQ(currentPage, FindPageIndex);
    const RECT resultsClient = Client(FindTabs);
    const RECT files = RectIn(FilesList, FindTabs);
    EXPECT_EQ(files.right - files.left, resultsClient.right - 4);
}

TEST_F(MainWindowTest, CommandLineOptionsShowsTheSwitches)
{
    SendMessageA(findPageWindow, WM_COMMAND, IDM_COMMAND_LINE_OPTIONS, 0);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].caption, "Tolvane");
    EXPECT_EQ(script.boxes[0].style, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(script.boxes[0].text,
              "command line options (case sensitive)\n\n\t<none>\trun the \"Tolvane\"\n\t-tnf\trun the \"New "
              "Folders\" tool\n\t-tcff\trun the \"Create fake file\" tool");
}

TEST_F(MainWindowTest, EnterNeverClosesTheWindow)
{
    SendMessageA(sheet, WM_COMMAND, IDOK, 0);
    PumpMessages();
    EXPECT_EQ(CurrentPage(), findPageWindow);
    EXPECT_TRUE(script.boxes.empty());
}

TEST_F(MainWindowTest, EscAsksAndNoKeepsTheWindowOpen)
{
    script.answers = {IDNO};
    SendMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    PumpMessages();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Do you want to close down?");
    EXPECT_EQ(script.boxes[0].caption, "Tolvane");
    EXPECT_EQ(script.boxes[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(script.boxes[0].owner, sheet);
    EXPECT_EQ(closeState, CloseStateNone);
    EXPECT_EQ(CurrentPage(), findPageWindow);
}

TEST_F(MainWindowTest, EscAnsweredYesCloses)
{
    script.answers = {IDYES};
    SendMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    PumpMessages();
    EXPECT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(closeState, CloseStateConfirmed);
    EXPECT_EQ(CurrentPage(), nullptr);
}

TEST_F(MainWindowTest, CloseButtonClosesWithoutAQuestion)
{
    SendMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(script.boxes.empty());
    EXPECT_EQ(closeState, CloseStateConfirmed);
    EXPECT_EQ(CurrentPage(), nullptr);
}

TEST_F(MainWindowTest, ClosingAnswersOfBothPages)
{
    SendMessageA(findPageWindow, WM_COMMAND, IDM_SELECT_COMPARE, 0);
    PumpMessages();
    ASSERT_NE(comparePageWindow, nullptr);
    struct Case {
        int32_t closeState;
        LRESULT findReset, compareReset;
    };
    for (const Case& c : {Case{CloseStateNone, TRUE, TRUE}, Case{CloseStateExit, TRUE, FALSE},
                          Case{CloseStateConfirmed, FALSE, FALSE}}) {
        closeState = c.closeState;
        NMHDR reset{sheet, 0, static_cast<UINT>(PSN_RESET)};
        SendMessageA(findPageWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&reset));
        EXPECT_EQ(GetWindowLongPtrA(findPageWindow, DWLP_MSGRESULT), c.findReset) << c.closeState;
        SendMessageA(comparePageWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&reset));
        EXPECT_EQ(GetWindowLongPtrA(comparePageWindow, DWLP_MSGRESULT), c.compareReset) << c.closeState;
    }
    // With the close confirmed the question is not asked again.
    NMHDR query{sheet, 0, static_cast<UINT>(PSN_QUERYCANCEL)};
    SendMessageA(comparePageWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(GetWindowLongPtrA(comparePageWindow, DWLP_MSGRESULT), FALSE);
    EXPECT_TRUE(script.boxes.empty());
}

TEST_F(MainWindowTest, ExitAndTheWindowIconEndTheLoopWithoutAQuestion)
{
    SendMessageA(findPageWindow, WM_COMMAND, IDM_EXIT, 0);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(closeState, CloseStateExit);
    EXPECT_EQ(sheetHook, nullptr);

    // The icon press as the hook sees it (the real press would open the
    // system menu's own loop in the test).
    CWPSTRUCT iconPress{0, 0xF093, WM_SYSCOMMAND, sheet};
    SheetMessageHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&iconPress));
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(closeState, CloseStateConfirmed);
    EXPECT_TRUE(script.boxes.empty());
}

void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// A press on the window's icon ends the sheet where its quit outlives the
// system menu's loop; where that loop eats it (Wine), the sheet carries on
// and the next Esc still asks.
TEST_F(MainWindowTest, AWindowIconPressThatDoesNotEndTheSheetLeavesEscAsking)
{
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, EndTheMenu);
    SendMessageA(sheet, WM_SYSCOMMAND, 0xF093, 0);
    KillTimer(nullptr, timer);
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        EXPECT_EQ(closeState, CloseStateConfirmed);
        return;
    }
    EXPECT_EQ(closeState, CloseStateNone);
    script.answers = {IDNO};
    SendMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    PumpMessages();
    EXPECT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(CurrentPage(), findPageWindow);
}

}  // namespace
}  // namespace tolvane::test
