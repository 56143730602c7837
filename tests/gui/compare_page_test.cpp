#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "compare/win32/compare_filters_dialog.h"
#include "compare/win32/compare_page.h"
#include "gui_support.h"
#include "resource_ids.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

constexpr int SameContentTab = static_cast<int>(CompareTab::Content);
constexpr int NameColumn = 2;
constexpr int PathColumn = 3;

// Drives the modal dialog captioned title once it is up: the click that opens
// it returns only when the dialog has ended.
std::function<void(HWND)> modalDriver;
std::string modalTitle;

void CALLBACK DriveModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", modalTitle.c_str());
    if (!dialog) return;
    KillTimer(nullptr, timer);
    modalDriver(dialog);
}

void WithModal(const std::string& title, std::function<void(HWND)> driver, const std::function<void()>& open)
{
    modalTitle = title;
    modalDriver = std::move(driver);
    SetTimer(nullptr, 0, 20, DriveModal);
    open();
}

std::string Cell(HWND list, int row, int column)
{
    char text[MAX_PATH] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

class ComparePageTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        HandleMenuCommand(CurrentPage(), WM_COMMAND, IDM_SELECT_COMPARE);
        PumpMessages();
        page = comparePageWindow;
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override
    {
        PumpUntil([] { return !CompareWorkerActive(); });
        MainWindowTest::TearDown();
    }

    std::string Bracket() const
    {
        std::string shown;
        for (int id = IDC_BRACKET_UPPER; id <= IDC_BRACKET_SIZE; ++id) shown += IsShown(page, id) ? '1' : '0';
        return shown;
    }

    void SpecifyLocation(const std::string& folder)
    {
        script.folders.push_back(folder);
        WithModal(
            " Compare - Specify locations",
            [](HWND dialog) {
                Click(dialog, IDC_LOCATIONS_ADD);
                if (IsDlgButtonChecked(dialog, IDC_LOCATIONS_SUBFOLDERS) != BST_CHECKED)
                    Click(dialog, IDC_LOCATIONS_SUBFOLDERS);
                Click(dialog, IDC_LOCATIONS_ACCEPT);
            },
            [this] { Click(page, IDC_COMPARE_LOCATIONS); });
    }

    void WaitForRunEnd()
    {
        ASSERT_TRUE(PumpUntil([this] { return !CompareWorkerActive() && ItemText(page, IDC_COMPARE_BUTTON) == "Reset"; }));
    }

    // Presses Compare and waits for the run to end.
    void RunCompare()
    {
        Click(page, IDC_COMPARE_BUTTON);
        WaitForRunEnd();
    }

    unsigned MenuState(int tab, int id)
    {
        HMENU menu = LoadCompareActionsMenu(tab);
        const unsigned state = GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND);
        DestroyMenu(menu);
        return state;
    }

    int CurrentTab() const { return static_cast<int>(SendMessageA(CompareTabs, TCM_GETCURSEL, 0, 0)); }

    HWND page = nullptr;
};

TEST_F(ComparePageTest, StartsIdleWithTheSevenListsAndTheirColumns)
{
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Compare");
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Idle");
    EXPECT_EQ(ItemText(page, IDC_COMPARE_FILTERS), "Specify filters");
    EXPECT_EQ(ItemText(page, IDC_COMPARE_LOCATIONS), "*Specify locations");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    ASSERT_EQ(SendMessageA(CompareTabs, TCM_GETITEMCOUNT, 0, 0), CompareTabCount);
    EXPECT_EQ(CurrentTab(), 0);
    for (int tab = 0; tab < CompareTabCount; ++tab) {
        EXPECT_FALSE(IsWindowEnabled(CompareListViews[tab]));
        EXPECT_EQ(IsWindowVisible(CompareListViews[tab]) != FALSE, tab == 0) << tab;
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(CompareListViews[SameContentTab], LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 6);
    header = reinterpret_cast<HWND>(SendMessageA(CompareListViews[CompareTabCount - 1], LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ComparePageTest, InterlocksEnableTheDependentBoxesAndDrawTheBracket)
{
    EXPECT_TRUE(Checked(page, IDC_DONT_GROUP_TRUNCATED));
    EXPECT_TRUE(Checked(page, IDC_IGNORE_ZERO_SIZE));
    for (int id : {IDC_COMBINED_RESULT, IDC_COMBINED_ONLY, IDC_SO_TRUNCATED, IDC_DONT_GROUP_TRUNCATED,
                   IDC_IGNORE_CASE, IDC_IGNORE_ZERO_SIZE})
        EXPECT_FALSE(IsEnabledItem(page, id)) << id;
    EXPECT_EQ(Bracket(), "00000");

    Click(page, IDC_MATCH_CONTENT);
    EXPECT_TRUE(IsEnabledItem(page, IDC_SO_TRUNCATED));
    EXPECT_FALSE(IsEnabledItem(page, IDC_DONT_GROUP_TRUNCATED));
    Click(page, IDC_SO_TRUNCATED);
    EXPECT_TRUE(IsEnabledItem(page, IDC_DONT_GROUP_TRUNCATED));

    Click(page, IDC_MATCH_NAME);
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMBINED_RESULT));
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMBINED_ONLY));
    EXPECT_EQ(Bracket(), "10110");
    Click(page, IDC_COMBINED_RESULT);
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMBINED_ONLY));
    Click(page, IDC_COMBINED_ONLY);

    Click(page, IDC_MATCH_SIZE);
    EXPECT_EQ(Bracket(), "10110") << "all three rows combine content and name";
    Click(page, IDC_MATCH_CONTENT);
    EXPECT_EQ(Bracket(), "11011");
    EXPECT_FALSE(IsEnabledItem(page, IDC_DONT_GROUP_TRUNCATED));

    Click(page, IDC_MATCH_SIZE);
    EXPECT_EQ(Bracket(), "00000");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMBINED_RESULT));
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMBINED_ONLY));
    EXPECT_TRUE(Checked(page, IDC_COMBINED_RESULT)) << "a disabled box keeps its check";
    EXPECT_TRUE(Checked(page, IDC_COMBINED_ONLY));
    EXPECT_TRUE(Checked(page, IDC_SO_TRUNCATED));
}

TEST_F(ComparePageTest, RefusesToStartWithoutLocations)
{
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_COMPARE_BUTTON);
    ASSERT_TRUE(PumpUntil([] { return !CompareWorkerActive(); }));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(script.boxes[0].owner, page);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Compare");
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMPARE_FILTERS));
}

TEST_F(ComparePageTest, RunShowsSameContentGroupsAndResetClearsEveryList)
{
    TempFolder temp;
    temp.WriteFile("a/one.txt", "hello");
    temp.WriteFile("b/two.txt", "hello");
    temp.WriteFile("c/three.txt", "other text");
    temp.WriteFile("c/empty.txt", "");
    std::string root = temp.Path();
    root.pop_back();
    SpecifyLocation(root);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_LOCATIONS), "Specified locations");

    Click(page, IDC_MATCH_CONTENT);
    RunCompare();
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Done");
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    EXPECT_FALSE(IsEnabledItem(page, IDC_MATCH_CONTENT)) << "options stay locked until Reset";
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_LOCATIONS));

    ASSERT_EQ(CurrentTab(), SameContentTab);
    HWND content = CompareListViews[SameContentTab];
    EXPECT_TRUE(IsWindowVisible(content));
    EXPECT_TRUE(IsWindowEnabled(content));
    EXPECT_FALSE(IsWindowVisible(CompareListViews[0]));
    EXPECT_FALSE(IsWindowEnabled(CompareListViews[0])) << "the empty Combined list stays disabled";
    ASSERT_EQ(Rows(content), 2);
    std::vector<std::string> names;
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Cell(content, row, GroupColumn), "1");
        EXPECT_EQ(Cell(content, row, 4), "5");
        names.push_back(Cell(content, row, NameColumn));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(Rows(CompareListViews[static_cast<int>(CompareTab::ZeroSize)]), 1);

    // The Actions menus: an empty list greys everything; a list with rows
    // offers marking and saving.
    EXPECT_TRUE(MenuState(0, IDM_COMPARE_MARK_ALL) & MF_GRAYED);
    EXPECT_TRUE(MenuState(0, IDM_COMPARE_SAVE) & MF_GRAYED);
    EXPECT_FALSE(MenuState(SameContentTab, IDM_COMPARE_MARK_ALL_BUT_FIRST) & MF_GRAYED);
    EXPECT_FALSE(MenuState(SameContentTab, IDM_COMPARE_SAVE) & MF_GRAYED);
    EXPECT_TRUE(MenuState(SameContentTab, IDM_COMPARE_COPY_MARKED) & MF_GRAYED);
    const int zeroSizeTab = static_cast<int>(CompareTab::ZeroSize);
    EXPECT_EQ(MenuState(zeroSizeTab, IDM_COMPARE_MARK_ALL_BUT_FIRST), 0xFFFFFFFFu) << "no such item";
    EXPECT_FALSE(MenuState(zeroSizeTab, IDM_COMPARE_MARK_ALL) & MF_GRAYED);
    EXPECT_TRUE(MenuState(CompareTabCount - 1, IDM_COMPARE_SAVE) & MF_GRAYED) << "the error log is empty";

    // Mark all but first, then save the list of the current tab.
    SendMessageA(page, WM_COMMAND, IDM_COMPARE_MARK_ALL_BUT_FIRST, 0);
    EXPECT_EQ(ListView_GetCheckState(content, 0), FALSE);
    EXPECT_EQ(ListView_GetCheckState(content, 1), TRUE);
    const std::string saved = temp.PathOf("saved.txt");
    script.fileNames.push_back(saved);
    SendMessageA(page, WM_COMMAND, IDM_COMPARE_SAVE, 0);
    EXPECT_EQ(ReadWholeFile(saved), temp.PathOf("a/one.txt") + "\r\n" + temp.PathOf("b/two.txt") + "\r\n");

    Click(page, IDC_COMPARE_BUTTON);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Compare");
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Idle");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    EXPECT_TRUE(IsEnabledItem(page, IDC_MATCH_CONTENT));
    EXPECT_TRUE(IsEnabledItem(page, IDC_SO_TRUNCATED)) << "the interlocks run again";
    for (HWND list : CompareListViews) {
        EXPECT_EQ(Rows(list), 0);
        EXPECT_FALSE(IsWindowEnabled(list));
    }
}

TEST_F(ComparePageTest, CancelDuringContentGroupingKeepsTheSetsAlreadyGrouped)
{
    // Sets of identical files, one size per set: every set is read to its end,
    // and the worker waits for each progress step it sends, so a stop lands
    // inside the set being read.
    constexpr int SetCount = 4;
    constexpr int FilesPerSet = 3;
    TempFolder temp;
    for (int set = 0; set < SetCount; ++set) {
        const std::string content((size_t{4} << 20) + set, static_cast<char>('a' + set));
        for (int file = 0; file < FilesPerSet; ++file)
            temp.WriteFile("set" + std::to_string(set) + "/" + std::to_string(file), content);
    }
    std::string root = temp.Path();
    root.pop_back();
    SpecifyLocation(root);
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_COMPARE_BUTTON);

    // Progress counts the files opened: past the first set's share, that set
    // is grouped and the next one is being read.
    const int firstSetShare = (FilesPerSet * 100 + 100) / (SetCount * FilesPerSet);
    ASSERT_TRUE(PumpUntil([&] {
        return ItemText(page, IDC_COMPARE_STATUS) == "Comparing files by content..." &&
               SendDlgItemMessageA(page, IDC_COMPARE_PROGRESS, PBM_GETPOS, 0, 0) > firstSetShare;
    }));
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Cancel");
    Click(page, IDC_COMPARE_BUTTON);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Wait...");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    ASSERT_NO_FATAL_FAILURE(WaitForRunEnd());
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Done");
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));

    // Only whole sets, numbered from 1: every file of a set is in its folder.
    HWND content = CompareListViews[SameContentTab];
    std::vector<std::vector<std::string>> groups;
    for (int row = 0; row < Rows(content); ++row) {
        const int group = std::stoi(Cell(content, row, GroupColumn));
        ASSERT_TRUE(group == static_cast<int>(groups.size()) || group == static_cast<int>(groups.size()) + 1);
        if (group > static_cast<int>(groups.size())) groups.emplace_back();
        groups.back().push_back(Cell(content, row, PathColumn));
    }
    EXPECT_GE(groups.size(), 1u) << "the set grouped before the stop stays";
    EXPECT_LT(groups.size(), static_cast<size_t>(SetCount)) << "the stop left the later sets ungrouped";
    for (const std::vector<std::string>& folders : groups) {
        ASSERT_EQ(folders.size(), static_cast<size_t>(FilesPerSet));
        for (const std::string& folder : folders) EXPECT_EQ(folder, folders[0]);
    }
    EXPECT_EQ(Rows(CompareListViews[CompareTabCount - 1]), 0) << "a stop is no error";
}

// The file commands of the Actions menu, through their real dialogs, on the
// Same content list of a run.
TEST_F(ComparePageTest, ActionsMenuCommandsWorkOnTheGroupedListAndTheFiles)
{
    // The walk goes level by level, so the first of each group lies above its
    // copies in x/b and x/c, and the group of two.dat, alone at the top, is
    // group 1.
    TempFolder temp;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"two.dat", "22222222222222222222"}, {"x/one.dat", "1111111111"},
        {"x/three.dat", std::string(30, '3')}, {"x/b/one-b.dat", "1111111111"},
        {"x/b/two-b.dat", "22222222222222222222"}, {"x/b/three-b.dat", std::string(30, '3')},
        {"x/c/one-c.dat", "1111111111"}, {"x/c/three-c.dat", std::string(30, '3')}};
    std::map<std::string, std::string> bytesOf;  // by name
    for (const auto& [relative, bytes] : files) {
        temp.WriteFile(relative, bytes);
        bytesOf[relative.substr(relative.find_last_of('/') + 1)] = bytes;
    }
    std::string root = temp.Path();
    root.pop_back();
    SpecifyLocation(root);
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_MATCH_SIZE);
    ASSERT_NO_FATAL_FAILURE(RunCompare());
    ASSERT_EQ(CurrentTab(), SameContentTab);
    HWND content = CompareListViews[SameContentTab];
    HWND sizes = CompareListViews[static_cast<int>(CompareTab::Size)];
    ASSERT_EQ(Rows(content), 8);
    ASSERT_EQ(Rows(sizes), 8);
    ASSERT_EQ(Cell(content, 0, NameColumn), "two.dat");
    ASSERT_EQ(Cell(content, 2, GroupColumn), "2");

    const auto marked = [&] {
        std::set<std::string> names;
        for (int row = 0; row < Rows(content); ++row)
            if (ListView_GetCheckState(content, row)) names.insert(Cell(content, row, NameColumn));
        return names;
    };
    const auto column = [&](int index) {
        std::vector<std::string> cells;
        for (int row = 0; row < Rows(content); ++row) cells.push_back(Cell(content, row, index));
        return cells;
    };
    const auto command = [this](int id) { SendMessageA(page, WM_COMMAND, id, 0); };
    const auto finished = [] { return PumpUntil([] { return !ActionWorkerRunning(); }); };

    command(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    const std::set<std::string> copies = {"one-b.dat", "two-b.dat", "three-b.dat", "one-c.dat", "three-c.dat"};
    EXPECT_EQ(marked(), copies);

    // Copy: the files arrive, the list keeps its rows and marks.
    script.folders.push_back(temp.MakeFolder("copied"));
    command(IDM_COMPARE_COPY_MARKED);
    ASSERT_TRUE(finished());
    for (const std::string& name : copies) EXPECT_EQ(ReadWholeFile(temp.PathOf("copied/" + name)), bytesOf[name]);
    EXPECT_EQ(Rows(content), 8);
    EXPECT_EQ(marked(), copies);

    // Auto mark the rows in x/b, then delete them: group 1, left with one
    // row, goes, and the others are numbered again.
    command(IDM_COMPARE_MARK_NONE);
    const std::string folderB = temp.PathOf("x/b/");
    WithModal(
        " Mark items by path",
        [&](HWND dialog) {
            HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
            const auto item = SendMessageA(folders, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(folderB.c_str()));
            SendMessageA(folders, LB_SETSEL, TRUE, item);
            Click(dialog, IDC_MARK_MARK);
        },
        [&] { command(IDM_COMPARE_AUTO_MARK); });
    EXPECT_EQ(marked(), (std::set<std::string>{"one-b.dat", "two-b.dat", "three-b.dat"}));
    script.answers.push_back(IDYES);
    command(IDM_COMPARE_DELETE_MARKED);
    ASSERT_TRUE(finished());
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Do you really want to delete the selected items?");
    for (const char* path : {"x/b/one-b.dat", "x/b/two-b.dat", "x/b/three-b.dat"})
        EXPECT_FALSE(fs::exists(temp.PathOf(path)));
    EXPECT_EQ(column(GroupColumn), (std::vector<std::string>{"1", "1", "2", "2"}));
    const std::vector<std::string> names = column(NameColumn);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"one.dat", "one-c.dat", "three.dat", "three-c.dat"}));
    EXPECT_TRUE(marked().empty());
    // The deleted files left the Same size list too, and two.dat's group there.
    std::set<std::string> sizeNames;
    for (int row = 0; row < Rows(sizes); ++row) sizeNames.insert(Cell(sizes, row, NameColumn));
    EXPECT_EQ(sizeNames, (std::set<std::string>{"one.dat", "one-c.dat", "three.dat", "three-c.dat"}));
    EXPECT_EQ(Cell(sizes, Rows(sizes) - 1, GroupColumn), "2");

    // Move the copies in x/c: every group falls to one row, the list empties.
    command(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    EXPECT_EQ(marked(), (std::set<std::string>{"one-c.dat", "three-c.dat"}));
    script.folders.push_back(temp.MakeFolder("moved"));
    command(IDM_COMPARE_MOVE_MARKED);
    ASSERT_TRUE(finished());
    for (const char* name : {"one-c.dat", "three-c.dat"}) {
        EXPECT_EQ(ReadWholeFile(temp.PathOf(std::string("moved/") + name)), bytesOf[name]);
        EXPECT_FALSE(fs::exists(temp.PathOf(std::string("x/c/") + name)));
    }
    EXPECT_EQ(Rows(content), 0);
    EXPECT_FALSE(IsWindowEnabled(content));
    EXPECT_TRUE(MenuState(SameContentTab, IDM_COMPARE_MARK_ALL) & MF_GRAYED);
    for (const char* path : {"two.dat", "x/one.dat", "x/three.dat"})
        EXPECT_EQ(ReadWholeFile(temp.PathOf(path)), bytesOf[fs::path(path).filename().string()]);
    EXPECT_EQ(script.boxes.size(), 1u) << "no error on the way";
}

class CompareFiltersDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        button = CreateWindowExA(0, "BUTTON", "Specify filters", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        DestroyWindow(button);
        GuiTest::TearDown();
    }

    void Open()
    {
        if (dialog) DestroyWindow(dialog);
        target = {&criteria, button};
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_COMPARE_FILTERS), nullptr,
                                    CompareFiltersDialogProc, reinterpret_cast<LPARAM>(&target));
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
    }

    void Choose(int id, int index)
    {
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    void AcceptSize(SizeRuleMode mode, const char* from, int fromUnit, const char* to, int toUnit)
    {
        Open();
        if (!Checked(dialog, IDC_CSIZE_ON)) Click(dialog, IDC_CSIZE_ON);
        Choose(IDC_CSIZE_MODE, static_cast<int>(mode));
        SetItemText(dialog, IDC_CSIZE_FROM, from);
        Choose(IDC_CSIZE_FROM_UNIT, fromUnit);
        SetItemText(dialog, IDC_CSIZE_TO, to);
        Choose(IDC_CSIZE_TO_UNIT, toUnit);
        Click(dialog, IDC_CFILTERS_ACCEPT);
    }

    CompareCriteria criteria;
    CompareFiltersTarget target{};
    HWND button = nullptr;
    HWND dialog = nullptr;
};

TEST_F(CompareFiltersDialogTest, SizeRowsThatWouldKeepNothingUsefulSwitchTheRuleOff)
{
    AcceptSize(SizeRuleMode::Maximum, "0", 0, "", 0);
    EXPECT_FALSE(criteria.sizeRuleOn);
    EXPECT_EQ(WindowText(button), "Specify filters");

    AcceptSize(SizeRuleMode::NotBetween, "0", 0, "5", 1);
    EXPECT_FALSE(criteria.sizeRuleOn);

    AcceptSize(SizeRuleMode::Between, "0", 0, "0", 1);
    EXPECT_TRUE(criteria.sizeRuleOn);
    EXPECT_EQ(criteria.sizeMode, SizeRuleMode::EqualTo);
    EXPECT_EQ(WindowText(button), "Specified filters");

    AcceptSize(SizeRuleMode::Between, "5", 2, "100", 1);
    EXPECT_EQ(criteria.sizeFrom, 102400u);
    EXPECT_EQ(criteria.sizeTo, 5242880u);
    // Reopening shows the stored bounds in their units.
    Open();
    EXPECT_TRUE(Checked(dialog, IDC_CSIZE_ON));
    EXPECT_EQ(ItemText(dialog, IDC_CSIZE_FROM), "100");
    EXPECT_EQ(ItemText(dialog, IDC_CSIZE_TO), "5");
    EXPECT_TRUE(IsShown(dialog, IDC_CSIZE_TO));
}

TEST_F(CompareFiltersDialogTest, RowsAreEnabledByTheirBoxesAndDiscardKeepsTheRules)
{
    Open();
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_CEXTENSION_LIST));
    Click(dialog, IDC_CEXTENSION_ON);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_CEXTENSION_LIST));
    SetItemText(dialog, IDC_CEXTENSION_LIST, "jpg//png/");
    EXPECT_EQ(ItemText(dialog, IDC_CEXTENSION_LIST), "jpg/png/");
    Click(dialog, IDC_CFILTERS_DISCARD);
    EXPECT_FALSE(criteria.extensionRuleOn);

    Open();
    Click(dialog, IDC_CEXTENSION_ON);
    SetItemText(dialog, IDC_CEXTENSION_LIST, "jpg/png/");
    Click(dialog, IDC_CDATE_ON);
    Click(dialog, IDC_CFILTERS_ACCEPT);
    EXPECT_TRUE(criteria.extensionRuleOn);
    EXPECT_EQ(criteria.extensionList, "jpg/png");
    EXPECT_TRUE(criteria.dateRuleOn);
    EXPECT_EQ(WindowText(button), "Specified filters");
}

TEST_F(CompareFiltersDialogTest, AttributesNeverOfferReparsePoint)
{
    criteria.attributeFlags[static_cast<int>(AttributeFlag::Hidden)] = 1;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    criteria.attributeRuleOn = true;
    Open();
    EXPECT_EQ(ItemText(dialog, IDC_CATTRIBUTES_SUMMARY), "hidden ");

    HWND attributes = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog,
                                         CompareAttributesDialogProc, reinterpret_cast<LPARAM>(&criteria));
    ASSERT_NE(attributes, nullptr);
    EXPECT_FALSE(IsEnabledItem(attributes, IDC_ATTRIBUTE_REPARSE));
    EXPECT_FALSE(Checked(attributes, IDC_ATTRIBUTE_REPARSE));
    EXPECT_TRUE(IsEnabledItem(attributes, IDC_ATTRIBUTE_SPARSE));
    Click(attributes, IDC_ATTRIBUTE_COMPRESSED);
    Click(attributes, IDC_ATTRIBUTE_ENCRYPTED);
    EXPECT_FALSE(Checked(attributes, IDC_ATTRIBUTE_COMPRESSED));
    Click(attributes, IDC_ATTRIBUTES_OK);
    DestroyWindow(attributes);
    EXPECT_EQ(ItemText(dialog, IDC_CATTRIBUTES_SUMMARY), "hidden encrypted ");

    Click(dialog, IDC_CFILTERS_ACCEPT);
    EXPECT_TRUE(criteria.attributeRuleOn);
    EXPECT_EQ(criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)], 0);
}

}  // namespace
}  // namespace tolvane::test
