#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "common/win32/list_view_result_list.h"
#include "find/win32/find_page.h"
#include "gui_support.h"
#include "resource_ids.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

class FindPageTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        page = findPageWindow;
        state = FindPageState();
        ASSERT_NE(state, nullptr);
    }

    void SearchIn(const std::string& folder)
    {
        state->locations.locationPaths = {folder};
        state->locations.locationCount = 1;
        state->locations.locationsSpecified = true;
        state->locations.includeSubfolders = true;
    }

    std::string SearchButton() const { return ItemText(page, IDC_FIND_SEARCH); }

    bool WaitForReset()
    {
        return PumpUntil([&] { return !FindSearchThreadRunning() && SearchButton() == "Reset"; });
    }

    // Names in column 0, sorted, of every row of a list.
    static std::vector<std::string> Names(HWND list)
    {
        const ListViewResultList& rows = *ListViewResultList::Of(list);
        std::vector<std::string> names;
        for (int row = 0; row < rows.RowCount(); ++row) names.push_back(rows.CellText(row, 0, 260));
        std::sort(names.begin(), names.end());
        return names;
    }

    static UINT ItemState(HMENU menu, UINT id)
    {
        return GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
    }

    TempFolder temp;
    HWND page = nullptr;
    FindState* state = nullptr;
};

TEST_F(FindPageTest, SearchWithoutLocationsIsRefusedAndStaysIdle)
{
    // The second click comes while the first search still makes its checks:
    // it must not start a second search on the same state.
    Click(page, IDC_FIND_SEARCH);
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(PumpUntil([&] { return !FindSearchThreadRunning(); }));
    PumpMessages();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(script.boxes[0].caption, "Cannot continue");
    EXPECT_EQ(script.boxes[0].owner, page);
    EXPECT_EQ(SearchButton(), "Search");
    EXPECT_EQ(state->runState.load(), SearchRunState::Idle);
}

TEST_F(FindPageTest, SearchFillsTheFilesListAndResetEmptiesIt)
{
    temp.WriteFile("tree/alpha.txt", "12345");
    temp.WriteFile("tree/sub/beta.doc", "");
    temp.MakeFolder("tree/sub/empty");
    SearchIn(temp.PathOf("tree"));
    SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_SETCURSEL, 2, 0);  // files & folders
    script.answers = {IDYES};  // "No filters selected": go on

    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(WaitForReset());
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].caption, "No filters selected");

    EXPECT_EQ(Names(FilesList), (std::vector<std::string>{"alpha.txt", "beta.doc"}));
    EXPECT_EQ(Names(FoldersList), (std::vector<std::string>{"empty", "sub"}));
    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    const int alpha = files.CellText(0, 0, 260) == "alpha.txt" ? 0 : 1;
    EXPECT_EQ(files.CellText(alpha, 1, 260), temp.PathOf("tree\\"));
    EXPECT_EQ(files.CellText(alpha, 2, 260), "5 B");
    EXPECT_TRUE(IsWindowEnabled(FilesList));
    EXPECT_TRUE(IsWindowEnabled(FoldersList));
    EXPECT_FALSE(IsWindowEnabled(FindErrorLog));
    EXPECT_TRUE(IsWindowVisible(FilesList));
    EXPECT_TRUE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    EXPECT_EQ(ItemText(page, IDC_FIND_OPTIONS), "");
    EXPECT_FALSE(IsShown(page, IDC_FIND_TARGET));
    EXPECT_FALSE(IsShown(page, IDC_FIND_FILTERS));
    EXPECT_TRUE(IsShown(page, IDC_FIND_STATUS));
    EXPECT_EQ(ItemText(page, IDC_FIND_STATUS).rfind("Search procedure finished in ", 0), 0u)
        << ItemText(page, IDC_FIND_STATUS);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_FIND_INDICATOR), static_cast<UINT>(BST_CHECKED));

    Click(page, IDC_FIND_SEARCH);  // Reset
    EXPECT_EQ(SearchButton(), "Search");
    EXPECT_EQ(ItemText(page, IDC_FIND_OPTIONS), "Options");
    EXPECT_TRUE(IsShown(page, IDC_FIND_TARGET));
    EXPECT_FALSE(IsShown(page, IDC_FIND_STATUS));
    EXPECT_FALSE(IsShown(page, IDC_FIND_INDICATOR));
    EXPECT_FALSE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) {
        EXPECT_EQ(ListViewResultList::Of(list)->RowCount(), 0);
        EXPECT_FALSE(IsWindowEnabled(list));
    }
}

TEST_F(FindPageTest, SearchButtonCyclesThroughCancelWaitAndReset)
{
    // Many folders, so that the Cancel lands inside the walk, and few files, so
    // that writing the rows found by then stays short.
    for (int folder = 0; folder < 400; ++folder) temp.WriteFile("big/f" + std::to_string(folder) + "/n.txt", "x");
    SearchIn(temp.PathOf("big"));
    script.answers = {IDYES};

    std::vector<std::string> seen;
    bool clickedOnCancel = false;
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(PumpUntil([&] {
        const std::string text = SearchButton();
        if (seen.empty() || seen.back() != text) seen.push_back(text);
        if (text == "Cancel" && !clickedOnCancel) {
            clickedOnCancel = true;
            Click(page, IDC_FIND_SEARCH);
            EXPECT_EQ(SearchButton(), "Wait...");
            EXPECT_TRUE(state->stopRequested.load());
            Click(page, IDC_FIND_SEARCH);  // again while waiting: nothing more happens
            EXPECT_EQ(SearchButton(), "Wait...");
        }
        return text == "Reset" && !FindSearchThreadRunning();
    })) << "button texts seen: " << testing::PrintToString(seen) << ", run state "
        << static_cast<int>(state->runState.load()) << ", worker running " << FindSearchThreadRunning();
    ASSERT_TRUE(clickedOnCancel) << "the search ended before its Cancel state was seen";
    EXPECT_EQ(seen.front(), "Search");
    EXPECT_EQ(seen.back(), "Reset");
    EXPECT_NE(ItemText(page, IDC_FIND_STATUS).find("Search procedure aborted after "), std::string::npos)
        << ItemText(page, IDC_FIND_STATUS);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_FIND_INDICATOR), static_cast<UINT>(BST_INDETERMINATE));
}

TEST_F(FindPageTest, ActionsMenusGreyWhatCannotAct)
{
    HMENU menu = LoadFindActionsMenu(0);
    for (UINT id : {IDM_FILES_MARK_ALL, IDM_FILES_INVERT_MARKS, IDM_FILES_SAVE_LIST, IDM_FILES_COPY_MARKED})
        EXPECT_NE(ItemState(menu, id), 0u) << id;
    DestroyMenu(menu);
    menu = LoadFindActionsMenu(1);
    EXPECT_NE(ItemState(menu, IDM_FOLDERS_SAVE_LIST), 0u);
    DestroyMenu(menu);
    menu = LoadFindActionsMenu(2);
    EXPECT_NE(ItemState(menu, IDM_ERRORS_SAVE_LOG), 0u);
    DestroyMenu(menu);
    EXPECT_EQ(LoadFindActionsMenu(3), nullptr);

    temp.WriteFile("t/a.txt", "a");
    temp.WriteFile("t/b.txt", "b");
    SearchIn(temp.PathOf("t"));
    script.answers = {IDYES};
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(WaitForReset());

    menu = LoadFindActionsMenu(0);
    for (UINT id : {IDM_FILES_MARK_ALL, IDM_FILES_MARK_NONE, IDM_FILES_INVERT_MARKS, IDM_FILES_AUTO_MARK,
                    IDM_FILES_SAVE_LIST})
        EXPECT_EQ(ItemState(menu, id), 0u) << id;
    for (UINT id : {IDM_FILES_COPY_MARKED, IDM_FILES_MOVE_MARKED, IDM_FILES_DELETE_MARKED})
        EXPECT_NE(ItemState(menu, id), 0u) << "nothing marked: " << id;
    DestroyMenu(menu);
    menu = LoadFindActionsMenu(1);
    EXPECT_NE(ItemState(menu, IDM_FOLDERS_SAVE_LIST), 0u) << "no folders were found";
    DestroyMenu(menu);

    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    SendMessageA(page, WM_COMMAND, IDM_FILES_MARK_ALL, 0);
    EXPECT_TRUE(files.IsMarked(0) && files.IsMarked(1));
    menu = LoadFindActionsMenu(0);
    for (UINT id : {IDM_FILES_COPY_MARKED, IDM_FILES_MOVE_MARKED, IDM_FILES_DELETE_MARKED})
        EXPECT_EQ(ItemState(menu, id), 0u) << "rows marked: " << id;
    DestroyMenu(menu);
    files.SetStateImage(1, StateImageUnmarked);
    SendMessageA(page, WM_COMMAND, IDM_FILES_INVERT_MARKS, 0);
    EXPECT_FALSE(files.IsMarked(0));
    EXPECT_TRUE(files.IsMarked(1));
    SendMessageA(page, WM_COMMAND, IDM_FILES_MARK_NONE, 0);
    EXPECT_FALSE(files.IsMarked(0) || files.IsMarked(1));
}

TEST_F(FindPageTest, SaveTheListWritesEveryFoundFile)
{
    temp.WriteFile("s/one.txt", "1");
    temp.WriteFile("s/two.txt", "2");
    SearchIn(temp.PathOf("s"));
    script.answers = {IDYES};
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(WaitForReset());

    SendMessageA(page, WM_COMMAND, IDM_ERRORS_SAVE_LOG, 0);  // empty log: no dialog at all
    EXPECT_TRUE(script.fileDialogs.empty());

    const std::string saved = temp.PathOf("saved.txt");
    script.fileNames.push_back(saved);
    SendMessageA(page, WM_COMMAND, IDM_FILES_SAVE_LIST, 0);
    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    std::string expected;
    for (int row = 0; row < files.RowCount(); ++row)
        expected += files.CellText(row, 1, 260) + files.CellText(row, 0, 260) + "\r\n";
    EXPECT_EQ(ReadWholeFile(saved), expected);
    EXPECT_EQ(script.boxes.back().text, "The file list successfully saved to\n" + saved);
    EXPECT_EQ(script.boxes.back().caption, "Done");
}

TEST_F(FindPageTest, DeleteMarkedRemovesTheMarkedFilesAndTheirRows)
{
    const std::string keep = temp.WriteFile("d/keep.txt", "k");
    const std::string drop = temp.WriteFile("d/drop.txt", "d");
    SearchIn(temp.PathOf("d"));
    script.answers = {IDYES};
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(WaitForReset());

    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    for (int row = 0; row < files.RowCount(); ++row)
        files.SetStateImage(row, files.CellText(row, 0, 260) == "drop.txt" ? StateImageMarked : StateImageUnmarked);
    script.answers = {IDYES};  // "Do you really want to delete the selected items?"
    SendMessageA(page, WM_COMMAND, IDM_FILES_DELETE_MARKED, 0);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));

    EXPECT_EQ(Names(FilesList), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(GetFileAttributesA(drop.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(keep.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(FindPageState()->fileRows.size(), 1u);
    EXPECT_EQ(FindPageState()->foundFiles.FileName(FindPageState()->fileRows[0]), "keep.txt");
}

TEST_F(FindPageTest, ShortcutMenuOpensOnlyOnASelectedRowAndReportsAFileThatCannotBeOpened)
{
    const std::string gone = temp.WriteFile("m/gone.txt", "g");
    SearchIn(temp.PathOf("m"));
    script.answers = {IDYES};
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(WaitForReset());

    RECT rowRect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(FilesList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rowRect));
    POINT onRow{rowRect.left + 40, (rowRect.top + rowRect.bottom) / 2};
    ClientToScreen(FilesList, &onRow);
    bool overRow = false;
    EXPECT_EQ(LoadFindShortcutMenu(onRow, overRow), nullptr) << "an unselected row has no menu";
    EXPECT_TRUE(overRow);

    LVITEMA selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageA(FilesList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    HMENU menu = LoadFindShortcutMenu(onRow, overRow);
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    GetMenuStringA(GetSubMenu(menu, 0), IDM_FILES_OPEN_FOLDER, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Open containing folder");
    DestroyMenu(menu);

    DeleteFileA(gone.c_str());
    SendMessageA(page, WM_COMMAND, IDM_FILES_OPEN, 0);
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[1].caption, gone);
    EXPECT_EQ(script.boxes[1].style, static_cast<unsigned>(MB_ICONHAND));

    SendMessageA(FindTabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_EQ(LoadFindShortcutMenu(onRow, overRow), nullptr);
    EXPECT_FALSE(overRow) << "the Error log has no shortcut menu";
}

// The rows live in the program; the list view learns their count and asks
// for what it shows, and its check boxes toggle the program's marks.
TEST(ListViewResultList, BehavesAsTheListPortSaysAndShowsItsRows)
{
    InitProgramControls();
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateResultListView(parent, WS_VISIBLE, LVS_EX_CHECKBOXES, {{LVCFMT_LEFT, 80, ""}, {LVCFMT_LEFT, 80, ""}});
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    EnableWindow(list, TRUE);
    ListViewResultList rows(list);
    rows.InsertRow(0);
    rows.InsertRow(1);
    rows.InsertRow(0);
    rows.SetCellText(0, 0, "first");
    rows.SetCellText(1, 1, "a longer text");
    EXPECT_EQ(rows.RowCount(), 3);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(rows.CellText(0, 0, 260), "first");
    EXPECT_EQ(rows.CellText(1, 1, 5), "a lo") << "cut to the caller's buffer";
    char shown[5] = {};
    ListView_GetItemText(list, 1, 1, shown, sizeof shown);
    EXPECT_STREQ(shown, "a lo");
    // A name outside any legacy code page reaches the control exactly, as
    // the wide text a screen reader or a copy to the clipboard gets.
    rows.SetCellText(2, 1, "\xE5\xA0\xB1 smile\xF0\x9F\x98\x80 \xCE\x95\xCE\xBB");
    wchar_t wide[64] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = wide;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(wide), L"\u5831 smile\U0001F600 \u0395\u03BB");
    EXPECT_EQ(rows.CellText(2, 1, 260), "\xE5\xA0\xB1 smile\xF0\x9F\x98\x80 \xCE\x95\xCE\xBB");
    EXPECT_EQ(rows.StateImage(2), StateImageUnmarked);
    rows.SetStateImage(2, StateImageMarked);
    EXPECT_TRUE(rows.IsMarked(2));
    EXPECT_TRUE(ListView_GetCheckState(list, 2));
    EXPECT_FALSE(ListView_GetCheckState(list, 1));

    // The space bar toggles the focused row's mark, a click on a check box that row's.
    SetFocus(list);
    ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(rows.StateImage(1), StateImageMarked);
    SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(rows.StateImage(1), StateImageUnmarked);
    RECT bounds{};
    ListView_GetItemRect(list, 0, &bounds, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    hit.pt = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
    ASSERT_EQ(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_EQ(rows.StateImage(0), StateImageMarked);
    EXPECT_EQ(rows.LastSelectedRow(), 1) << "a click on a check box leaves the selection";

    rows.DeleteRow(0);
    EXPECT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(rows.CellText(0, 1, 260), "a longer text");
    rows.SetEnabled(false);
    EXPECT_FALSE(rows.IsEnabled());
    rows.DeleteAllRows();
    EXPECT_EQ(rows.RowCount(), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    DestroyWindow(parent);
}

}  // namespace
}  // namespace tolvane::test
