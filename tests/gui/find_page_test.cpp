#include <shlobj.h>

#include <cstring>

#include "actions/win32/action_dialogs.h"
#include "common/win32/list_view_result_list.h"
#include "find/win32/find_filters_dialog.h"
#include "find/win32/find_page.h"
#include "find/win32/locations_dialog.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

class FindPageTest : public MainWindowTest {
protected:
    // Searches the folder, answering Yes to "No filters selected".
    void Search(const std::string& folder)
    {
        FindPageState()->locations = {
            .locationPaths = {folder}, .locationsSpecified = true, .locationCount = 1, .includeSubfolders = true};
        script.answers.push_back(IDYES);
        Click(findPageWindow, IDC_FIND_SEARCH);
    }
    std::string SearchButton() const { return ItemText(findPageWindow, IDC_FIND_SEARCH); }
    void Command(int id) { SendMessageA(findPageWindow, WM_COMMAND, id, 0); }
    void OpenFilters(int searchTarget = 0)
    {
        SendDlgItemMessageA(findPageWindow, IDC_FIND_TARGET, CB_SETCURSEL, searchTarget, 0);
        target = {&FindPageState()->criteria, findPageWindow};
        dialog = OpenDialog(IDD_FIND_FILTERS, FindFiltersDialogProc, findPageWindow, &target);
    }

    TempFolder temp;
    FindFiltersTarget target{};
    HWND dialog = nullptr;
};

TEST_F(FindPageTest, TabsTheSearchButtonCycleAndTheFiltersDialog)
{
    const std::pair<int, int> tabs[] = {{2, IDM_ERRORS_SAVE_LOG}, {1, IDM_FOLDERS_SAVE_LIST}, {0, IDM_FILES_SAVE_LIST}};
    for (const auto& [tab, save] : tabs) {
        SendMessageA(FindTabs, TCM_SETCURFOCUS, tab, 0);
        EXPECT_EQ(IsWindowVisible(FilesList) != FALSE, tab == 0);
        EXPECT_EQ(IsWindowVisible(FindErrorLog) != FALSE, tab == 2);
        EXPECT_TRUE(Greyed(LoadFindActionsMenu(tab), save)) << "an empty list saves nothing";
    }
    // The second click comes while the first search still makes its checks: it must not start a second search.
    Click(findPageWindow, IDC_FIND_SEARCH);
    Click(findPageWindow, IDC_FIND_SEARCH);
    ASSERT_TRUE(PumpUntil([&] { return !FindSearchThreadRunning(); }));
    PumpMessages();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_TRUE(script.boxes[0].owner == findPageWindow && SearchButton() == "Search");

    // Many folders, so that the Cancel lands inside the walk, and few files, so that writing the rows stays short.
    for (int folder = 0; folder < 400; ++folder) temp.WriteFile("big/f" + std::to_string(folder) + "/n.txt", "x");
    Search(temp.PathOf("big"));
    ASSERT_TRUE(PumpUntil([&] { return SearchButton() == "Cancel"; }));
    Click(findPageWindow, IDC_FIND_SEARCH);
    Click(findPageWindow, IDC_FIND_SEARCH);  // again while waiting: nothing more happens
    EXPECT_EQ(SearchButton(), "Wait...");
    ASSERT_TRUE(PumpUntil([&] { return SearchButton() == "Reset" && !FindSearchThreadRunning(); }));
    EXPECT_NE(ItemText(findPageWindow, IDC_FIND_STATUS).find("Search procedure aborted after "), std::string::npos);
    EXPECT_EQ(IsDlgButtonChecked(findPageWindow, IDC_FIND_INDICATOR), static_cast<UINT>(BST_INDETERMINATE));

    // The filters dialog's rows follow their boxes, Accept stores the rules, the attributes dialog writes the summary.
    SearchCriteria& criteria = FindPageState()->criteria;
    OpenFilters();
    const auto rowControls = {IDC_NAME_TEXT, IDC_SIZE_FROM, IDC_DATE_FROM, IDC_TIME_FROM, IDC_ATTRIBUTES_SELECT};
    EXPECT_EQ(Flags(dialog, rowControls, IsEnabledItem), "00000");
    CheckRow(dialog, IDC_NAME_ON);
    SetItemText(dialog, IDC_NAME_TEXT, "a:b");
    CheckRow(dialog, IDC_SIZE_ON);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_SIZE_FROM));
    // A "between" relation shows the second bound of its row.
    const std::tuple<int, int, int> ranges[] = {
        {IDC_SIZE_MODE, 3, IDC_SIZE_TO}, {IDC_DATE_RELATION, 4, IDC_DATE_TO}, {IDC_TIME_RELATION, 3, IDC_TIME_TO}};
    for (const auto& [mode, relation, second] : ranges) {
        EXPECT_FALSE(IsShown(dialog, second)) << second;
        Choose(dialog, mode, relation);
        EXPECT_TRUE(IsShown(dialog, second)) << second;
    }
    SetItemText(dialog, IDC_SIZE_FROM, "5");
    Choose(dialog, IDC_SIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_SIZE_TO, "100");
    Choose(dialog, IDC_SIZE_TO_UNIT, 1);
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_TRUE(!IsWindowVisible(dialog) && criteria.nameText == "ab");
    EXPECT_EQ(std::pair(criteria.sizeFrom, criteria.sizeTo), std::pair(uint64_t{100} << 10, uint64_t{5} << 20));
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "Specified filters");

    // Opening again shows the stored bounds, each in its own unit; Discard changes nothing.
    OpenFilters();
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_FROM) + " " + ItemText(dialog, IDC_SIZE_FROM_UNIT), "100 kB");
    CheckRow(dialog, IDC_SIZE_ON, false);
    Click(dialog, IDC_FILTERS_DISCARD);
    EXPECT_TRUE(criteria.sizeRuleOn);

    // A folder search disables the file rows.
    criteria.attributeRuleOn = true;
    for (AttributeFlag flag : {AttributeFlag::Hidden, AttributeFlag::ReparsePoint})
        criteria.attributeFlags[static_cast<int>(flag)] = 1;
    OpenFilters(1);
    EXPECT_EQ(Flags(dialog, {IDC_EXTENSION_ON, IDC_CONTENT_ON, IDC_SIZE_ON}, IsEnabledItem), "000");
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden reparse");
    // A file search never offers the reparse point.
    criteria.searchTarget = SearchTarget::Files;
    AttributesTarget attributes{&criteria, GetDlgItem(dialog, IDC_ATTRIBUTES_SUMMARY)};
    HWND box = OpenDialog(IDD_ATTRIBUTES, AttributesDialogProc, dialog, &attributes);
    EXPECT_FALSE(IsEnabledItem(box, IDC_ATTRIBUTE_REPARSE));
    for (int id : {IDC_ATTRIBUTE_HIDDEN, IDC_ATTRIBUTE_COMPRESSED, IDC_ATTRIBUTE_ENCRYPTED}) Click(box, id);
    Click(box, IDC_ATTRIBUTES_OK);
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "encrypted ") << "compressed and encrypted exclude each other";
}

// The rows live in the page's list: the list view learns their count and asks for what it shows.
TEST_F(FindPageTest, SearchFillsTheOwnerDataListsWhoseCommandsReachTheirEngines)
{
    const std::string alphaPath = temp.WriteFile("tree/alpha.txt", "12345");
    temp.WriteFile("tree/sub/beta.doc", "");
    temp.MakeFolder("tree/sub/empty");
    SendDlgItemMessageA(findPageWindow, IDC_FIND_TARGET, CB_SETCURSEL, 2, 0);  // files & folders
    Search(temp.PathOf("tree"));
    ASSERT_TRUE(PumpUntil([&] { return !FindSearchThreadRunning() && SearchButton() == "Reset"; }));
    EXPECT_EQ(Names(FilesList, 0) + "| " + Names(FoldersList, 0), "alpha.txt beta.doc | empty sub ");
    EXPECT_TRUE(IsEnabledItem(findPageWindow, IDC_FIND_ACTIONS) && !IsShown(findPageWindow, IDC_FIND_TARGET));

    ListViewResultList& files = *ListViewResultList::Of(FilesList);
    const int alpha = files.CellText(0, 0, MAX_PATH) == "alpha.txt" ? 0 : 1;
    char shown[5] = {};
    ListView_GetItemText(FilesList, alpha, 0, shown, sizeof shown);
    EXPECT_STREQ(shown, "alph") << "cut to the caller's buffer";
    // A name outside any legacy code page reaches the control exactly, as the wide text a screen reader gets.
    files.SetCellText(alpha, 1, "\xE5\xA0\xB1 smile\xF0\x9F\x98\x80");
    wchar_t wide[64] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = wide;
    item.cchTextMax = 64;
    SendMessageW(FilesList, LVM_GETITEMTEXTW, alpha, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(wide), L"\u5831 smile\U0001F600");

    // The space bar toggles the focused row's mark, a click on a check box that row's.
    EXPECT_TRUE(Greyed(LoadFindActionsMenu(0), IDM_FILES_DELETE_MARKED)) << "nothing marked";
    ListView_SetItemState(FilesList, alpha, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(FilesList, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(files.IsMarked(alpha) && ListView_GetCheckState(FilesList, alpha));
    EXPECT_FALSE(Greyed(LoadFindActionsMenu(0), IDM_FILES_DELETE_MARKED));
    SendMessageA(FilesList, WM_KEYDOWN, VK_SPACE, 0);
    Command(IDM_FILES_INVERT_MARKS);
    RECT bounds{};
    ListView_GetItemRect(FilesList, 1 - alpha, &bounds, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    hit.pt = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
    ASSERT_EQ(ListView_HitTest(FilesList, &hit), 1 - alpha);
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    SendMessageA(FilesList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    SendMessageA(FilesList, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_FALSE(files.IsMarked(1 - alpha));
    EXPECT_EQ(files.LastSelectedRow(), alpha) << "a click on a check box leaves the selection";

    script.fileNames.push_back(temp.PathOf("saved.txt"));
    Command(IDM_ERRORS_SAVE_LOG);  // an empty log asks for no file
    Command(IDM_FILES_SAVE_LIST);
    EXPECT_NE(ReadWholeFile(temp.PathOf("saved.txt")).find(temp.PathOf("tree\\sub\\beta.doc")), std::string::npos);
    Command(IDM_FILES_INVERT_MARKS);  // beta.doc's row only
    script.answers = {IDYES};  // "Do you really want to delete the selected items?"
    Command(IDM_FILES_DELETE_MARKED);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    EXPECT_EQ(Names(FilesList, 0), "alpha.txt ");

    // The shortcut menu opens only on a selected row, and not on the Error log.
    ListView_GetItemRect(FilesList, 0, &bounds, LVIR_BOUNDS);
    POINT onRow{bounds.left + 40, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(FilesList, &onRow);
    bool overRow = false;
    ListView_SetItemState(FilesList, -1, 0, LVIS_SELECTED);
    EXPECT_EQ(LoadFindShortcutMenu(onRow, overRow), nullptr);
    EXPECT_TRUE(overRow);
    ListView_SetItemState(FilesList, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(DestroyMenu(LoadFindShortcutMenu(onRow, overRow)));
    DeleteFileA(alphaPath.c_str());
    Command(IDM_FILES_OPEN);
    EXPECT_EQ(script.boxes.back().caption, alphaPath) << "a file that cannot be opened";
    SendMessageA(FindTabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_TRUE(LoadFindShortcutMenu(onRow, overRow) == nullptr && !overRow);

    Click(findPageWindow, IDC_FIND_SEARCH);  // Reset
    EXPECT_TRUE(SearchButton() == "Search" && !IsEnabledItem(findPageWindow, IDC_FIND_ACTIONS));
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) EXPECT_TRUE(Rows(list) == 0 && !IsWindowEnabled(list));
}

// The list's own rules (questions, covered entries, file format) are the editor's; the window hands it the picked
// and dropped folders, the selection and the file names.
TEST_F(GuiTest, LocationsDialogButtonsAndDropsAcceptAndDiscard)
{
    TempFolder temp;
    // Folder paths as the picker, the shell or a file gives them: no trailing backslash.
    for (const char* folder : {"Data/Old", "dropped"}) temp.MakeFolder(folder);
    const std::string data = temp.PathOf("Data"), dropped = temp.PathOf("dropped");
    const std::string note = temp.WriteFile("note.txt", "x");
    LocationList stored{.locationPaths = {data}, .locationCount = 1};
    LocationsDialogTarget target{&stored, Window("BUTTON", "*Specify locations"), " Find - Specify locations"};
    HWND dialog = OpenDialog(IDD_LOCATIONS, LocationsDialogProc, nullptr, &target);
    const auto items = [&] { return ListBoxItems(GetDlgItem(dialog, IDC_LOCATIONS_LIST)); };
    EXPECT_EQ(WindowText(dialog), " Find - Specify locations");
    script.folders.push_back(temp.PathOf("Data/Old"));
    Click(dialog, IDC_LOCATIONS_ADD);
    CheckRow(dialog, IDC_LOCATIONS_SUBFOLDERS);
    EXPECT_EQ(items(), std::vector<std::string>{data}) << "a covered entry goes";
    // A dropped file is no location; a dropped folder is.
    const std::string names = note + '\0' + dropped + '\0' + '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    const std::vector<std::string> both{data, dropped};
    EXPECT_EQ(items(), both);
    Click(dialog, IDC_LOCATIONS_ACCEPT);
    EXPECT_TRUE(!IsWindowVisible(dialog) && stored.includeSubfolders && stored.locationPaths == both);
    EXPECT_EQ(WindowText(target.button), "Specified locations");

    dialog = OpenDialog(IDD_LOCATIONS, LocationsDialogProc, nullptr, &target);
    script.answers = {IDYES, IDYES};
    script.fileNames.assign(2, temp.PathOf("list.txt"));  // saved to, then loaded from
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 1);
    Click(dialog, IDC_LOCATIONS_DEL);
    Click(dialog, IDC_LOCATIONS_SAVE);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 0);
    Click(dialog, IDC_LOCATIONS_DEL);
    Click(dialog, IDC_LOCATIONS_LOAD);
    EXPECT_EQ(items(), std::vector<std::string>{data});
    Click(dialog, IDC_LOCATIONS_DISCARD);
    EXPECT_TRUE(!IsWindowVisible(dialog) && stored.locationPaths == both);
}

}  // namespace
}  // namespace tolvane::test
