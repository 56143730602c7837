#include "actions/win32/action_dialogs.h"
#include "compare/win32/compare_filters_dialog.h"
#include "compare/win32/compare_page.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

std::function<void(HWND)> modalDriver;
std::string modalTitle;

// Runs open(), which opens a modal dialog captioned title, and drives that dialog once it is up.
void WithModal(const std::string& title, std::function<void(HWND)> driver, const std::function<void()>& open)
{
    modalTitle = title;
    modalDriver = std::move(driver);
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (HWND dialog = FindWindowA("#32770", modalTitle.c_str())) {
            KillTimer(nullptr, timer);
            modalDriver(dialog);
        }
    });
    open();
}

constexpr int ContentTab = static_cast<int>(CompareTab::Content), SizeTab = static_cast<int>(CompareTab::Size);

class ComparePageTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        HandleMenuCommand(CurrentPage(), WM_COMMAND, IDM_SELECT_COMPARE);
        PumpMessages();
        ASSERT_NE(page = comparePageWindow, nullptr);
    }
    void TearDown() override
    {
        PumpUntil([] { return !CompareWorkerActive(); });
        MainWindowTest::TearDown();
    }
    // Compares the temporary folder with its subfolders, specified through the dialog.
    void Start(std::initializer_list<int> matches)
    {
        script.folders.push_back(temp.Path().substr(0, temp.Path().size() - 1));
        WithModal(" Compare - Specify locations", [](HWND dialog) {
            Click(dialog, IDC_LOCATIONS_ADD);
            CheckRow(dialog, IDC_LOCATIONS_SUBFOLDERS);
            Click(dialog, IDC_LOCATIONS_ACCEPT);
        }, [this] { Click(page, IDC_COMPARE_LOCATIONS); });
        for (int match : matches) Click(page, match);
        Click(page, IDC_COMPARE_BUTTON);
    }
    std::string Button() const { return ItemText(page, IDC_COMPARE_BUTTON); }
    void WaitForRunEnd() { ASSERT_TRUE(PumpUntil([this] { return !CompareWorkerActive() && Button() == "Reset"; })); }
    void Run(int command)
    {
        SendMessageA(page, WM_COMMAND, command, 0);
        ASSERT_TRUE(PumpUntil([] { return !ActionWorkerRunning(); }));
    }
    std::string Bracket() const
    {
        return Flags(page, {IDC_BRACKET_UPPER, IDC_BRACKET_LOWER, IDC_BRACKET_CONTENT, IDC_BRACKET_NAME,
                            IDC_BRACKET_SIZE}, IsShown);
    }

    TempFolder temp;
    HWND page = nullptr;
};

TEST_F(ComparePageTest, OptionsInterlockARefusedStartAndCancelUntilDone)
{
    EXPECT_EQ(Bracket() + Flags(page, {IDC_SO_TRUNCATED, IDC_COMPARE_ACTIONS}, IsEnabledItem), "00000" "00");
    Click(page, IDC_MATCH_CONTENT);
    Click(page, IDC_MATCH_NAME);
    EXPECT_EQ(Bracket() + Flags(page, {IDC_SO_TRUNCATED, IDC_COMBINED_RESULT}, IsEnabledItem), "10110" "11");
    Click(page, IDC_COMPARE_BUTTON);
    ASSERT_TRUE(PumpUntil([] { return !CompareWorkerActive(); }));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_TRUE(script.boxes[0].owner == page && Button() == "Compare");

    // Large identical files: the worker waits for each progress step it sends, so the Cancel lands while they are read.
    for (int set = 0; set < 4; ++set) {
        const std::string data((size_t{4} << 20) + set, 'a' + set);
        for (const char* file : {"/0", "/1", "/2"}) temp.WriteFile("set" + std::to_string(set) + file, data);
    }
    Start({IDC_MATCH_NAME});  // by content alone
    ASSERT_TRUE(PumpUntil([&] { return ItemText(page, IDC_COMPARE_STATUS) == "Comparing files by content..."; }));
    EXPECT_EQ(Button(), "Cancel");
    Click(page, IDC_COMPARE_BUTTON);
    EXPECT_TRUE(Button() == "Wait..." && !IsEnabledItem(page, IDC_COMPARE_ACTIONS));
    ASSERT_NO_FATAL_FAILURE(WaitForRunEnd());
    EXPECT_TRUE(ItemText(page, IDC_COMPARE_STATUS) == "Done" && IsEnabledItem(page, IDC_COMPARE_ACTIONS));
}

// Each Actions command reaches its engine through its real dialog; a moved or deleted file leaves the other tabs too.
TEST_F(ComparePageTest, RunFillsTheListsWhoseMenuCommandsReachTheirEnginesAndResetUnlocksTheOptions)
{
    for (const char* name : {"one.dat", "b/one-b.dat", "c/one-c.dat"}) temp.WriteFile(name, "1111111111");
    for (const char* name : {"two.dat", "b/two-b.dat"}) temp.WriteFile(name, "22222222222222222222");
    Start({IDC_MATCH_CONTENT, IDC_MATCH_SIZE});
    ASSERT_NO_FATAL_FAILURE(WaitForRunEnd());
    EXPECT_FALSE(IsEnabledItem(page, IDC_MATCH_CONTENT)) << "options stay locked until Reset";
    HWND content = CompareListViews[ContentTab];
    EXPECT_TRUE(IsWindowVisible(content) && IsWindowEnabled(content));
    EXPECT_TRUE(Greyed(LoadCompareActionsMenu(0), IDM_COMPARE_MARK_ALL));
    EXPECT_TRUE(Greyed(LoadCompareActionsMenu(ContentTab), IDM_COMPARE_COPY_MARKED)) << "nothing marked";

    Run(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    EXPECT_EQ(Names(content, 2), "one-b.dat* one-c.dat* one.dat two-b.dat* two.dat ");
    EXPECT_FALSE(Greyed(LoadCompareActionsMenu(ContentTab), IDM_COMPARE_COPY_MARKED));
    script.fileNames.push_back(temp.PathOf("saved.txt"));
    Run(IDM_COMPARE_SAVE);
    EXPECT_NE(ReadWholeFile(temp.PathOf("saved.txt")).find(temp.PathOf("b\\one-b.dat")), std::string::npos);
    script.folders.push_back(temp.MakeFolder("copied"));
    Run(IDM_COMPARE_COPY_MARKED);
    EXPECT_TRUE(fs::exists(temp.PathOf("copied/two-b.dat")));

    // Auto mark the rows in b, then delete them: two.dat's group goes, here and on the Same size tab.
    const std::string folderB = temp.PathOf("b/");
    WithModal(" Mark items by path", [&](HWND dialog) {
        HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
        const LPARAM text = reinterpret_cast<LPARAM>(folderB.c_str());
        SendMessageA(folders, LB_SETSEL, TRUE, SendMessageA(folders, LB_FINDSTRINGEXACT, -1, text));
        Click(dialog, IDC_MARK_MARK);
    }, [&] { Run(IDM_COMPARE_AUTO_MARK); });
    script.answers.push_back(IDYES);
    Run(IDM_COMPARE_DELETE_MARKED);
    for (int tab : {ContentTab, SizeTab}) EXPECT_EQ(Names(CompareListViews[tab], 2), "one-c.dat one.dat ") << tab;

    // Move the copy in c: the group falls to one row, the list empties.
    Run(IDM_COMPARE_MARK_ALL_BUT_FIRST);
    script.folders.push_back(temp.MakeFolder("moved"));
    Run(IDM_COMPARE_MOVE_MARKED);
    EXPECT_TRUE(fs::exists(temp.PathOf("moved/one-c.dat")));
    EXPECT_TRUE(Rows(content) == 0 && !IsWindowEnabled(content));
    EXPECT_EQ(script.boxes.size(), 2u) << "the save's and the delete's, no error on the way";

    Click(page, IDC_COMPARE_BUTTON);  // Reset
    EXPECT_TRUE(IsEnabledItem(page, IDC_SO_TRUNCATED)) << "the interlocks run again";
}

TEST_F(GuiTest, CompareFiltersDialogStoresItsRowsAndNeverOffersReparsePoint)
{
    CompareCriteria criteria;
    CompareFiltersTarget target{&criteria, Window("BUTTON", "Specify filters")};
    HWND dialog = OpenDialog(IDD_COMPARE_FILTERS, CompareFiltersDialogProc, nullptr, &target);
    CheckRow(dialog, IDC_CSIZE_ON);
    Choose(dialog, IDC_CSIZE_MODE, static_cast<int>(SizeRuleMode::Between));
    SetItemText(dialog, IDC_CSIZE_FROM, "5");
    Choose(dialog, IDC_CSIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_CSIZE_TO, "100");
    Choose(dialog, IDC_CSIZE_TO_UNIT, 1);
    HWND attributes = OpenDialog(IDD_ATTRIBUTES, CompareAttributesDialogProc, dialog, &criteria);
    EXPECT_FALSE(IsEnabledItem(attributes, IDC_ATTRIBUTE_REPARSE));
    Click(attributes, IDC_ATTRIBUTE_ENCRYPTED);
    Click(attributes, IDC_ATTRIBUTES_OK);
    CheckRow(dialog, IDC_CATTRIBUTES_ON);
    Click(dialog, IDC_CFILTERS_ACCEPT);
    EXPECT_EQ(std::pair(criteria.sizeFrom, criteria.sizeTo), std::pair(uint64_t{100} << 10, uint64_t{5} << 20));
    EXPECT_EQ(WindowText(target.button), "Specified filters");
    // Reopening shows the stored rules, the bounds in their units; Discard keeps them.
    dialog = OpenDialog(IDD_COMPARE_FILTERS, CompareFiltersDialogProc, nullptr, &target);
    const std::string shown = ItemText(dialog, IDC_CSIZE_FROM) + " " + ItemText(dialog, IDC_CSIZE_TO) + " ";
    EXPECT_EQ(shown + ItemText(dialog, IDC_CATTRIBUTES_SUMMARY), "100 5 encrypted ");
    CheckRow(dialog, IDC_CSIZE_ON, false);
    Click(dialog, IDC_CFILTERS_DISCARD);
    EXPECT_TRUE(criteria.sizeRuleOn);
}

}  // namespace
}  // namespace tolvane::test
