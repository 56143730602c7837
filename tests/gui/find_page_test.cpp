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

    // Searches the folder, answering Yes to "No filters selected".
    void Search(const std::string& folder, bool wait = true)
    {
        state->locations.locationPaths = {folder};
        state->locations.locationCount = 1;
        state->locations.locationsSpecified = true;
        state->locations.includeSubfolders = true;
        script.answers.push_back(IDYES);
        Click(page, IDC_FIND_SEARCH);
        if (wait) {
            ASSERT_TRUE(PumpUntil([&] { return !FindSearchThreadRunning() && SearchButton() == "Reset"; }));
        }
    }

    std::string SearchButton() const { return ItemText(page, IDC_FIND_SEARCH); }

    static std::vector<std::string> Names(HWND list)
    {
        std::vector<std::string> names;
        for (int row = 0; row < Rows(list); ++row) names.push_back(Cell(list, row, 0));
        std::sort(names.begin(), names.end());
        return names;
    }

    static bool Greyed(int tab, UINT id)
    {
        HMENU menu = LoadFindActionsMenu(tab);
        const bool greyed = GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
        DestroyMenu(menu);
        return greyed;
    }

    void Command(int id) { SendMessageA(page, WM_COMMAND, id, 0); }

    TempFolder temp;
    HWND page = nullptr;
    FindState* state = nullptr;
};

TEST_F(FindPageTest, StartsIdleAndRefusesASearchWithoutLocations)
{
    EXPECT_EQ(ItemText(page, IDC_FIND_FILTERS), "*Specify filters");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_FIND_TARGET)), "Search for files");
    EXPECT_FALSE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    EXPECT_FALSE(IsShown(page, IDC_FIND_STATUS));
    EXPECT_TRUE(SendMessageA(FilesList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    EXPECT_FALSE(SendMessageA(FoldersList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    EXPECT_EQ(SendMessageA(FindErrorLog, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(200, 0, 0)));
    for (int tab : {0, 1, 2}) {
        SendMessageA(FindTabs, TCM_SETCURFOCUS, tab, 0);
        EXPECT_EQ(IsWindowVisible(FilesList) != FALSE, tab == 0);
        EXPECT_EQ(IsWindowVisible(FindErrorLog) != FALSE, tab == 2);
        EXPECT_TRUE(Greyed(tab, tab == 0 ? IDM_FILES_SAVE_LIST : tab == 1 ? IDM_FOLDERS_SAVE_LIST : IDM_ERRORS_SAVE_LOG));
    }
    EXPECT_EQ(LoadFindActionsMenu(3), nullptr);

    // The second click comes while the first search still makes its checks:
    // it must not start a second search on the same state.
    Click(page, IDC_FIND_SEARCH);
    Click(page, IDC_FIND_SEARCH);
    ASSERT_TRUE(PumpUntil([&] { return !FindSearchThreadRunning(); }));
    PumpMessages();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(script.boxes[0].owner, page);
    EXPECT_EQ(SearchButton(), "Search");
}

// The rows live in the page's list; the list view learns their count and asks
// for what it shows, and its check boxes toggle the marks. Each command of the
// Actions menu reaches its engine; Reset empties every list.
TEST_F(FindPageTest, SearchFillsTheOwnerDataListsWhoseCommandsReachTheirEngines)
{
    temp.WriteFile("tree/alpha.txt", "12345");
    const std::string beta = temp.WriteFile("tree/sub/beta.doc", "");
    temp.MakeFolder("tree/sub/empty");
    SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_SETCURSEL, 2, 0);  // files & folders
    Search(temp.PathOf("tree"));
    EXPECT_EQ(script.boxes[0].caption, "No filters selected");
    EXPECT_EQ(Names(FilesList), (std::vector<std::string>{"alpha.txt", "beta.doc"}));
    EXPECT_EQ(Names(FoldersList), (std::vector<std::string>{"empty", "sub"}));
    EXPECT_TRUE(IsWindowEnabled(FoldersList));
    EXPECT_FALSE(IsWindowEnabled(FindErrorLog));
    EXPECT_TRUE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    EXPECT_FALSE(IsShown(page, IDC_FIND_TARGET));
    EXPECT_EQ(ItemText(page, IDC_FIND_STATUS).rfind("Search procedure finished in ", 0), 0u);
    EXPECT_TRUE(Checked(page, IDC_FIND_INDICATOR));

    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    const int alpha = Cell(FilesList, 0, 0) == "alpha.txt" ? 0 : 1;
    EXPECT_EQ(Cell(FilesList, alpha, 1), temp.PathOf("tree\\"));
    EXPECT_EQ(SendMessageA(FilesList, LVM_GETITEMCOUNT, 0, 0), 2);
    char shown[5] = {};
    ListView_GetItemText(FilesList, alpha, 0, shown, sizeof shown);
    EXPECT_STREQ(shown, "alph") << "cut to the caller's buffer";
    // A name outside any legacy code page reaches the control exactly, as the
    // wide text a screen reader or a copy to the clipboard gets.
    files.SetCellText(alpha, 1, "\xE5\xA0\xB1 smile\xF0\x9F\x98\x80");
    wchar_t wide[64] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = wide;
    item.cchTextMax = 64;
    SendMessageW(FilesList, LVM_GETITEMTEXTW, alpha, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(wide), L"\u5831 smile\U0001F600");

    // The space bar toggles the focused row's mark, a click on a check box that row's.
    EXPECT_TRUE(Greyed(0, IDM_FILES_COPY_MARKED)) << "nothing marked";
    SetFocus(FilesList);
    ListView_SetItemState(FilesList, alpha, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(FilesList, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(files.IsMarked(alpha));
    EXPECT_TRUE(ListView_GetCheckState(FilesList, alpha));
    EXPECT_FALSE(Greyed(0, IDM_FILES_DELETE_MARKED));
    SendMessageA(FilesList, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(files.IsMarked(alpha));
    RECT bounds{};
    ListView_GetItemRect(FilesList, 1 - alpha, &bounds, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    hit.pt = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
    ASSERT_EQ(SendMessageA(FilesList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1 - alpha);
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    SendMessageA(FilesList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    SendMessageA(FilesList, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_TRUE(files.IsMarked(1 - alpha));
    EXPECT_EQ(files.LastSelectedRow(), alpha) << "a click on a check box leaves the selection";
    Command(IDM_FILES_INVERT_MARKS);
    EXPECT_TRUE(files.IsMarked(alpha) && !files.IsMarked(1 - alpha));
    Command(IDM_FILES_MARK_ALL);
    Command(IDM_FILES_MARK_NONE);
    EXPECT_FALSE(files.IsMarked(0) || files.IsMarked(1));

    Command(IDM_ERRORS_SAVE_LOG);  // empty log: no dialog at all
    EXPECT_TRUE(script.fileDialogs.empty());
    const std::string saved = temp.PathOf("saved.txt");
    script.fileNames.push_back(saved);
    Command(IDM_FILES_SAVE_LIST);
    EXPECT_NE(ReadWholeFile(saved).find(temp.PathOf("tree\\sub\\beta.doc")), std::string::npos);

    files.SetStateImage(1 - alpha, StateImageMarked);
    script.answers = {IDYES};  // "Do you really want to delete the selected items?"
    Command(IDM_FILES_DELETE_MARKED);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    EXPECT_EQ(Names(FilesList), std::vector<std::string>{"alpha.txt"});
    EXPECT_EQ(GetFileAttributesA(beta.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(state->fileRows.size(), 1u);
    EXPECT_EQ(SendMessageA(FilesList, LVM_GETITEMCOUNT, 0, 0), 1);

    Click(page, IDC_FIND_SEARCH);  // Reset
    EXPECT_EQ(SearchButton(), "Search");
    EXPECT_TRUE(IsShown(page, IDC_FIND_TARGET));
    EXPECT_FALSE(IsShown(page, IDC_FIND_INDICATOR));
    EXPECT_FALSE(IsEnabledItem(page, IDC_FIND_ACTIONS));
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) {
        EXPECT_EQ(Rows(list), 0);
        EXPECT_FALSE(IsWindowEnabled(list));
    }
}

TEST_F(FindPageTest, SearchButtonCyclesThroughCancelWaitAndReset)
{
    // Many folders, so that the Cancel lands inside the walk, and few files, so
    // that writing the rows found by then stays short.
    for (int folder = 0; folder < 400; ++folder) temp.WriteFile("big/f" + std::to_string(folder) + "/n.txt", "x");
    Search(temp.PathOf("big"), false);
    std::vector<std::string> seen;
    ASSERT_TRUE(PumpUntil([&] {
        const std::string text = SearchButton();
        if (seen.empty() || seen.back() != text) seen.push_back(text);
        if (text == "Cancel") {
            Click(page, IDC_FIND_SEARCH);
            EXPECT_EQ(SearchButton(), "Wait...");
            EXPECT_TRUE(state->stopRequested.load());
            Click(page, IDC_FIND_SEARCH);  // again while waiting: nothing more happens
            EXPECT_EQ(SearchButton(), "Wait...");
        }
        return text == "Reset" && !FindSearchThreadRunning();
    })) << "button texts seen: " << testing::PrintToString(seen);
    EXPECT_EQ(seen, (std::vector<std::string>{"Search", "Cancel", "Wait...", "Reset"}));
    EXPECT_NE(ItemText(page, IDC_FIND_STATUS).find("Search procedure aborted after "), std::string::npos);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_FIND_INDICATOR), static_cast<UINT>(BST_INDETERMINATE));
}

TEST_F(FindPageTest, ShortcutMenuOpensOnlyOnASelectedRowAndReportsAFileThatCannotBeOpened)
{
    const std::string gone = temp.WriteFile("m/gone.txt", "g");
    Search(temp.PathOf("m"));
    RECT rowRect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(FilesList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rowRect));
    POINT onRow{rowRect.left + 40, (rowRect.top + rowRect.bottom) / 2};
    ClientToScreen(FilesList, &onRow);
    bool overRow = false;
    EXPECT_EQ(LoadFindShortcutMenu(onRow, overRow), nullptr) << "an unselected row has no menu";
    EXPECT_TRUE(overRow);
    ListView_SetItemState(FilesList, 0, LVIS_SELECTED, LVIS_SELECTED);
    HMENU menu = LoadFindShortcutMenu(onRow, overRow);
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(GetMenuState(GetSubMenu(menu, 0), IDM_FILES_OPEN_FOLDER, MF_BYCOMMAND), 0xFFFFFFFFu);
    DestroyMenu(menu);

    DeleteFileA(gone.c_str());
    Command(IDM_FILES_OPEN);
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[1].caption, gone);
    EXPECT_EQ(script.boxes[1].style, static_cast<unsigned>(MB_ICONHAND));
    SendMessageA(FindTabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_EQ(LoadFindShortcutMenu(onRow, overRow), nullptr);
    EXPECT_FALSE(overRow) << "the Error log has no shortcut menu";
}

}  // namespace
}  // namespace tolvane::test
