#include <windows.h>
#include <commctrl.h>

#include <filesystem>
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

constexpr int ContentTab = static_cast<int>(CompareTab::Content);
constexpr int ErrorTab = CompareTabCount - 1;
constexpr int NameColumn = 2;

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

    // Specifies the temporary folder with its subfolders through the dialog.
    void SpecifyLocation()
    {
        std::string root = temp.Path();
        root.pop_back();
        script.folders.push_back(root);
        WithModal(
            " Compare - Specify locations",
            [](HWND dialog) {
                Click(dialog, IDC_LOCATIONS_ADD);
                if (!Checked(dialog, IDC_LOCATIONS_SUBFOLDERS)) Click(dialog, IDC_LOCATIONS_SUBFOLDERS);
                Click(dialog, IDC_LOCATIONS_ACCEPT);
            },
            [this] { Click(page, IDC_COMPARE_LOCATIONS); });
    }

    void WaitForRunEnd()
    {
        ASSERT_TRUE(PumpUntil([this] { return !CompareWorkerActive() && ItemText(page, IDC_COMPARE_BUTTON) == "Reset"; }));
    }

    static bool Greyed(int tab, int id)
    {
        HMENU menu = LoadCompareActionsMenu(tab);
        const unsigned state = GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND);
        DestroyMenu(menu);
        return state != 0xFFFFFFFFu && (state & MF_GRAYED);
    }

    static std::set<std::string> Names(HWND list, bool markedOnly = false)
    {
        std::set<std::string> names;
        for (int row = 0; row < Rows(list); ++row)
            if (!markedOnly || ListView_GetCheckState(list, row)) names.insert(Cell(list, row, NameColumn));
        return names;
    }

    void Command(int id) { SendMessageA(page, WM_COMMAND, id, 0); }

    TempFolder temp;
    HWND page = nullptr;
};

TEST_F(ComparePageTest, StartsIdleWiresTheInterlocksAndRefusesToStartWithoutLocations)
{
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Idle");
    EXPECT_EQ(ItemText(page, IDC_COMPARE_LOCATIONS), "*Specify locations");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    ASSERT_EQ(SendMessageA(CompareTabs, TCM_GETITEMCOUNT, 0, 0), CompareTabCount);
    for (int tab = 0; tab < CompareTabCount; ++tab) {
        EXPECT_FALSE(IsWindowEnabled(CompareListViews[tab]));
        EXPECT_EQ(IsWindowVisible(CompareListViews[tab]) != FALSE, tab == 0) << tab;
    }
    for (const auto& [tab, columns] : {std::pair{ContentTab, 6}, std::pair{ErrorTab, 3}}) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(CompareListViews[tab], LVM_GETHEADER, 0, 0));
        EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), columns) << tab;
    }
    EXPECT_EQ(Bracket(), "00000");
    EXPECT_FALSE(IsEnabledItem(page, IDC_SO_TRUNCATED));
    Click(page, IDC_MATCH_CONTENT);
    EXPECT_TRUE(IsEnabledItem(page, IDC_SO_TRUNCATED));
    Click(page, IDC_MATCH_NAME);
    EXPECT_EQ(Bracket(), "10110");
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMBINED_RESULT));
    Click(page, IDC_MATCH_SIZE);
    Click(page, IDC_MATCH_CONTENT);
    EXPECT_EQ(Bracket(), "11011");

    Click(page, IDC_COMPARE_BUTTON);
    ASSERT_TRUE(PumpUntil([] { return !CompareWorkerActive(); }));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(script.boxes[0].owner, page);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Compare");
}

TEST_F(ComparePageTest, CancelTurnsIntoWaitAndTheRunEndsDone)
{
    // Sets of large identical files: the worker waits for each progress step
    // it sends, so the Cancel lands while they are read.
    for (int set = 0; set < 4; ++set)
        for (int file = 0; file < 3; ++file)
            temp.WriteFile("set" + std::to_string(set) + "/" + std::to_string(file),
                           std::string((size_t{4} << 20) + set, static_cast<char>('a' + set)));
    SpecifyLocation();
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_COMPARE_BUTTON);
    ASSERT_TRUE(PumpUntil([&] { return ItemText(page, IDC_COMPARE_STATUS) == "Comparing files by content..."; }));
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Cancel");
    Click(page, IDC_COMPARE_BUTTON);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_BUTTON), "Wait...");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    ASSERT_NO_FATAL_FAILURE(WaitForRunEnd());
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Done");
    EXPECT_TRUE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    EXPECT_LT(Rows(CompareListViews[ContentTab]), 12) << "the stop left files ungrouped";
}

// A run fills the lists; each command of the Actions menu reaches its engine,
// through its real dialog; a file moved or deleted leaves the other lists too.
TEST_F(ComparePageTest, RunFillsTheListsWhoseMenuCommandsReachTheirEnginesAndResetClearsThem)
{
    for (const char* name : {"one.dat", "b/one-b.dat", "c/one-c.dat"}) temp.WriteFile(name, "1111111111");
    for (const char* name : {"two.dat", "b/two-b.dat"}) temp.WriteFile(name, "22222222222222222222");
    temp.WriteFile("c/empty.txt", "");
    SpecifyLocation();
    EXPECT_EQ(ItemText(page, IDC_COMPARE_LOCATIONS), "Specified locations");
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_MATCH_SIZE);
    Click(page, IDC_COMPARE_BUTTON);
    ASSERT_NO_FATAL_FAILURE(WaitForRunEnd());
    EXPECT_FALSE(IsEnabledItem(page, IDC_MATCH_CONTENT)) << "options stay locked until Reset";
    ASSERT_EQ(SendMessageA(CompareTabs, TCM_GETCURSEL, 0, 0), ContentTab);
    HWND content = CompareListViews[ContentTab];
    HWND sizes = CompareListViews[static_cast<int>(CompareTab::Size)];
    EXPECT_TRUE(IsWindowVisible(content) && IsWindowEnabled(content));
    EXPECT_FALSE(IsWindowEnabled(CompareListViews[0])) << "the empty Combined list stays disabled";
    ASSERT_EQ(Rows(content), 5);
    EXPECT_EQ(Cell(content, 0, GroupColumn), "1");
    EXPECT_EQ(Rows(CompareListViews[static_cast<int>(CompareTab::ZeroSize)]), 1);
    EXPECT_TRUE(Greyed(0, IDM_COMPARE_MARK_ALL));
    EXPECT_TRUE(Greyed(ContentTab, IDM_COMPARE_COPY_MARKED)) << "nothing marked";
    EXPECT_FALSE(Greyed(ContentTab, IDM_COMPARE_SAVE));
    EXPECT_TRUE(Greyed(ErrorTab, IDM_COMPARE_SAVE)) << "the error log is empty";
    EXPECT_FALSE(Greyed(static_cast<int>(CompareTab::ZeroSize), IDM_COMPARE_MARK_ALL));

    Command(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    const std::set<std::string> copies = {"one-b.dat", "one-c.dat", "two-b.dat"};
    EXPECT_EQ(Names(content, true), copies);
    const std::string saved = temp.PathOf("saved.txt");
    script.fileNames.push_back(saved);
    Command(IDM_COMPARE_SAVE);
    EXPECT_NE(ReadWholeFile(saved).find(temp.PathOf("b\\one-b.dat")), std::string::npos);
    script.folders.push_back(temp.MakeFolder("copied"));
    Command(IDM_COMPARE_COPY_MARKED);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    for (const std::string& name : copies) EXPECT_TRUE(fs::exists(temp.PathOf("copied/" + name))) << name;
    EXPECT_EQ(Names(content, true), copies) << "a copy keeps rows and marks";

    // Auto mark the rows in b, then delete them: two.dat's group goes, here and on the Same size tab.
    Command(IDM_COMPARE_MARK_NONE);
    const std::string folderB = temp.PathOf("b/");
    WithModal(
        " Mark items by path",
        [&](HWND dialog) {
            HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
            SendMessageA(folders, LB_SETSEL, TRUE,
                         SendMessageA(folders, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(folderB.c_str())));
            Click(dialog, IDC_MARK_MARK);
        },
        [&] { Command(IDM_COMPARE_AUTO_MARK); });
    EXPECT_EQ(Names(content, true), (std::set<std::string>{"one-b.dat", "two-b.dat"}));
    script.answers.push_back(IDYES);
    Command(IDM_COMPARE_DELETE_MARKED);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    EXPECT_FALSE(fs::exists(temp.PathOf("b/one-b.dat")));
    EXPECT_EQ(Names(content), (std::set<std::string>{"one.dat", "one-c.dat"}));
    EXPECT_EQ(Names(sizes), (std::set<std::string>{"one.dat", "one-c.dat"}));

    // Move the copy in c: the group falls to one row, the list empties.
    Command(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    script.folders.push_back(temp.MakeFolder("moved"));
    Command(IDM_COMPARE_MOVE_MARKED);
    ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    EXPECT_TRUE(fs::exists(temp.PathOf("moved/one-c.dat")) && !fs::exists(temp.PathOf("c/one-c.dat")));
    EXPECT_EQ(Rows(content), 0);
    EXPECT_FALSE(IsWindowEnabled(content));
    EXPECT_EQ(script.boxes.size(), 2u) << "the save's and the delete's, no error on the way";

    Click(page, IDC_COMPARE_BUTTON);
    EXPECT_EQ(ItemText(page, IDC_COMPARE_STATUS), "Idle");
    EXPECT_FALSE(IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    EXPECT_TRUE(IsEnabledItem(page, IDC_SO_TRUNCATED)) << "the interlocks run again";
    for (HWND list : CompareListViews) EXPECT_EQ(Rows(list), 0);
}

TEST_F(GuiTest, CompareFiltersDialogStoresItsRowsAndNeverOffersReparsePoint)
{
    HWND button = CreateWindowExA(0, "BUTTON", "Specify filters", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    CompareCriteria criteria;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    CompareFiltersTarget target{&criteria, button};
    const auto open = [&] {
        return CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_COMPARE_FILTERS), nullptr, CompareFiltersDialogProc,
                                  reinterpret_cast<LPARAM>(&target));
    };
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_CEXTENSION_LIST));
    CheckRow(dialog, IDC_CEXTENSION_ON);
    SetItemText(dialog, IDC_CEXTENSION_LIST, "jpg//png/");
    EXPECT_EQ(ItemText(dialog, IDC_CEXTENSION_LIST), "jpg/png/");
    CheckRow(dialog, IDC_CSIZE_ON);
    Choose(dialog, IDC_CSIZE_MODE, static_cast<int>(SizeRuleMode::Between));
    SetItemText(dialog, IDC_CSIZE_FROM, "5");
    Choose(dialog, IDC_CSIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_CSIZE_TO, "100");
    Choose(dialog, IDC_CSIZE_TO_UNIT, 1);
    HWND attributes = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog,
                                         CompareAttributesDialogProc, reinterpret_cast<LPARAM>(&criteria));
    ASSERT_NE(attributes, nullptr);
    EXPECT_FALSE(IsEnabledItem(attributes, IDC_ATTRIBUTE_REPARSE));
    Click(attributes, IDC_ATTRIBUTE_COMPRESSED);
    Click(attributes, IDC_ATTRIBUTE_ENCRYPTED);
    Click(attributes, IDC_ATTRIBUTES_OK);
    DestroyWindow(attributes);
    EXPECT_EQ(ItemText(dialog, IDC_CATTRIBUTES_SUMMARY), "encrypted ");
    CheckRow(dialog, IDC_CATTRIBUTES_ON);
    Click(dialog, IDC_CFILTERS_ACCEPT);
    DestroyWindow(dialog);
    EXPECT_EQ(criteria.extensionList, "jpg/png");
    EXPECT_EQ(criteria.sizeFrom, 102400u);
    EXPECT_EQ(criteria.sizeTo, 5242880u);
    EXPECT_TRUE(criteria.attributeRuleOn);
    EXPECT_EQ(criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)], 0);
    EXPECT_EQ(WindowText(button), "Specified filters");

    // Reopening shows the stored bounds in their units; Discard keeps the rules.
    dialog = open();
    EXPECT_EQ(ItemText(dialog, IDC_CSIZE_FROM), "100");
    EXPECT_EQ(ItemText(dialog, IDC_CSIZE_TO), "5");
    CheckRow(dialog, IDC_CSIZE_ON, false);
    Click(dialog, IDC_CFILTERS_DISCARD);
    DestroyWindow(dialog);
    EXPECT_TRUE(criteria.sizeRuleOn);
    DestroyWindow(button);
}

}  // namespace
}  // namespace tolvane::test
