#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/win32/action_dialogs.h"
#include "common/list_operations.h"
#include "common/win32/list_view_result_list.h"
#include "gui_support.h"
#include "platform/file_identity.h"
#include "platform/path.h"
#include "resource_ids.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

// Files in a temporary folder listed in a real list view with check boxes
// (column 0 the name, column 1 the group), handed to the dialogs as a page
// hands them, with a stand-in for the main window as their owner.
class ActionDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        mainWindow = CreateWindowExA(0, "STATIC", "Tolvane", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                     nullptr);
        listView = CreateResultListView(mainWindow, 0, LVS_EX_CHECKBOXES,
                                        {{LVCFMT_LEFT, 100, ""}, {LVCFMT_LEFT, 100, ""}});
        list.Attach(listView);
        EnableWindow(listView, TRUE);
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }

    void TearDown() override
    {
        EXPECT_TRUE(PumpUntil([&] { return Finished(); }));
        if (dialog) DestroyWindow(dialog);
        DestroyWindow(listView);
        DestroyWindow(mainWindow);
        GuiTest::TearDown();
    }

    void AddFile(const std::string& relative, const std::string& content, int group = 0)
    {
        const std::string path = temp.WriteFile(relative, content);
        const size_t slash = path.find_last_of(platform::PathSeparator);
        FindData entry;
        platform::ReadPathDetails(path, entry);  // the size and times a listing would show
        std::strncpy(entry.cFileName, path.c_str() + slash + 1, sizeof entry.cFileName - 1);
        records.Add(path.substr(0, slash + 1), entry);
        const int row = list.RowCount();
        list.InsertRow(row);
        list.SetCellText(row, 0, path.substr(slash + 1));
        if (group != 0) list.SetCellText(row, GroupColumn, std::to_string(group));
        list.SetStateImage(row, StateImageUnmarked);
        index.push_back(static_cast<uint32_t>(index.size()));
    }

    void Mark(std::initializer_list<int> rows)
    {
        for (int row : rows) list.SetStateImage(row, StateImageMarked);
    }

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> cells;
        for (int row = 0; row < list.RowCount(); ++row) cells.push_back(list.CellText(row, column, MAX_PATH));
        return cells;
    }

    std::vector<int> MarkedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < list.RowCount(); ++row)
            if (list.IsMarked(row)) rows.push_back(row);
        return rows;
    }

    // Modeless, so that the test can drive it; a shown dialog hides when it ends.
    void Open(int dialogId, DLGPROC procedure, bool show = false)
    {
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), mainWindow, procedure,
                                    reinterpret_cast<LPARAM>(&target));
        ASSERT_NE(dialog, nullptr);
        if (show) ShowWindow(dialog, SW_SHOW);
    }

    bool Finished() const { return (!dialog || !IsWindowVisible(dialog)) && !ActionWorkerRunning(); }

    // Answers the clash question as a press of the button would, through the
    // queue of the worker's thread that shows it.
    static void Answer(HWND confirm, int button)
    {
        PostMessageA(confirm, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(confirm, button)));
    }

    // The clash question, shown by the worker's thread once it is set up.
    HWND WaitForConfirm() const
    {
        HWND confirm = nullptr;
        PumpUntil([&] {
            confirm = FindWindowA(nullptr, " Confirm action");
            return confirm && IsWindowVisible(confirm);
        });
        return confirm;
    }

    TempFolder temp;
    FileRecords records;
    ListViewResultList list;
    RowIndex index;
    ActionTarget target;
    HWND mainWindow = nullptr;
    HWND listView = nullptr;
    HWND dialog = nullptr;
};

TEST_F(ActionDialogTest, CopyClashAnsweredRenameKeepsBothFilesAndTheRows)
{
    AddFile("src/a.txt", "new");
    AddFile("src/b.txt", "B");
    const std::string destination = temp.MakeFolder("dst");
    temp.WriteFile("dst/a.txt", "old");
    Mark({0, 1});
    script.folders.push_back(destination);
    target.ActionMode = ActionModeCopy;
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);
    EXPECT_EQ(WindowText(dialog), " Copying...");

    HWND confirm = WaitForConfirm();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(ItemText(confirm, IDC_CONFIRM_NAME), "a.txt");
    EXPECT_EQ(GetWindow(confirm, GW_OWNER), dialog);
    EXPECT_EQ(ItemText(dialog, IDC_CM_COUNTER), "2 / 2");
    Answer(confirm, IDC_CONFIRM_RENAME);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));

    EXPECT_EQ(script.pickerTitles, std::vector<std::string>{"Select destination"});
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/a.txt")), "old");
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/a_1.txt")), "new");
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/b.txt")), "B");
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(script.boxes.empty());
}

TEST_F(ActionDialogTest, CancelTurnsIntoWaitAndStopsBeforeTheNextFile)
{
    AddFile("src/1", "1");
    AddFile("src/2", "2");
    AddFile("src/3", "3");
    temp.WriteFile("dst/3", "taken");
    Mark({0, 1, 2});
    script.folders.push_back(temp.PathOf("dst"));
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);

    // The worker waits on the clash of the last row, its first.
    HWND confirm = WaitForConfirm();
    ASSERT_NE(confirm, nullptr);
    Click(dialog, IDC_CM_CANCEL);
    EXPECT_EQ(ItemText(dialog, IDC_CM_CANCEL), "Wait...");
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_CM_CANCEL));
    EXPECT_EQ(target.ActionMode.load(), ActionModeStop);
    Answer(confirm, IDC_CONFIRM_SKIP);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));

    EXPECT_FALSE(fs::exists(temp.PathOf("dst/1")));
    EXPECT_FALSE(fs::exists(temp.PathOf("dst/2")));
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/3")), "taken");
}

TEST_F(ActionDialogTest, MoveFromAGroupedListRemovesRowsAndRenumbersGroups)
{
    AddFile("s/g1a", "1", 4);
    AddFile("s/g1b", "1", 4);
    AddFile("s/g2a", "2", 9);
    AddFile("s/g2b", "2", 9);
    AddFile("s/g2c", "2", 9);
    target.groupedList = true;
    target.ActionMode = ActionModeMove;
    target.RemovesRows = true;
    Mark({1, 3});
    script.folders.push_back(temp.MakeFolder("dst"));
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);
    EXPECT_EQ(WindowText(dialog), " Moving...");
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));

    // g1a lost its group partner and left with it; the rest is group 1.
    EXPECT_EQ(Column(0), (std::vector<std::string>{"g2a", "g2c"}));
    EXPECT_EQ(Column(GroupColumn), (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(index, (RowIndex{2, 4}));
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/g1b")), "1");
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/g2b")), "2");
    EXPECT_TRUE(fs::exists(temp.PathOf("s/g1a")));
    EXPECT_TRUE(IsWindowEnabled(listView));
}

TEST_F(ActionDialogTest, DeleteThatEmptiesTheListDisablesIt)
{
    AddFile("d/x", "x");
    AddFile("d/gone", "g");
    AddFile("d/z", "z");
    fs::remove(temp.PathOf("d/gone"));
    Mark({0, 1, 2});
    target.ActionMode = ActionModeMove;
    target.RemovesRows = true;
    script.answers.push_back(IDYES);
    Open(IDD_DELETE_PROGRESS, DeleteProgressDialogProc);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));

    // Only the confirmation: a file already gone is no error.
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Do you really want to delete the selected items?");
    EXPECT_EQ(script.boxes[0].owner, dialog);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_TRUE(index.empty());
    EXPECT_FALSE(IsWindowEnabled(listView));
    EXPECT_FALSE(fs::exists(temp.PathOf("d/x")));
    EXPECT_FALSE(fs::exists(temp.PathOf("d/z")));
}

TEST_F(ActionDialogTest, IncompleteTargetOrNoChoiceClosesWithoutTouchingRows)
{
    AddFile("k/keep", "k");
    Mark({0});
    target.rowIndex = nullptr;
    Open(IDD_DELETE_PROGRESS, DeleteProgressDialogProc);
    EXPECT_FALSE(ActionWorkerRunning());
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Invalid data.");
    EXPECT_EQ(script.boxes[0].caption, "Error");
    EXPECT_EQ(script.boxes[0].owner, mainWindow);
    DestroyWindow(dialog);

    // A closed folder picker ends the copy at once.
    target.rowIndex = &index;
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    EXPECT_EQ(script.pickerTitles.size(), 1u);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0}));
    EXPECT_TRUE(fs::exists(temp.PathOf("k/keep")));
}

std::vector<std::string> ListBoxItems(HWND listBox)
{
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        char text[MAX_PATH] = {};
        SendMessageA(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

TEST_F(ActionDialogTest, AutoMarkMarksExactlyTheRowsOfTheChosenFolders)
{
    AddFile("B/1", "");
    AddFile("B/2", "");
    AddFile("A/3", "");
    AddFile("b/4", "");
    AddFile("B/sub/5", "");
    AddFile("B/6", "");
    const std::string folderB = temp.PathOf("B/"), folderA = temp.PathOf("A/");
    const std::string lowerB = temp.PathOf("b/"), sub = temp.PathOf("B/sub/");
    Mark({2, 4});
    Open(IDD_MARK_BY_PATH, MarkByPathDialogProc, true);
    HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    // Row order, neighbours shown once, although the box sorts.
    EXPECT_EQ(ListBoxItems(folders), (std::vector<std::string>{folderB, folderA, lowerB, sub, folderB}));

    // Cancel keeps the marks.
    SendMessageA(folders, LB_SETSEL, TRUE, 0);
    Click(dialog, IDC_MARK_CANCEL);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(MarkedRows(), (std::vector<int>{2, 4}));
    DestroyWindow(dialog);

    Open(IDD_MARK_BY_PATH, MarkByPathDialogProc, true);
    folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    SendMessageA(folders, LB_SETSEL, TRUE, 0);
    SendMessageA(folders, LB_SETSEL, TRUE, 2);
    Click(dialog, IDC_MARK_MARK);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0, 1, 3, 5}));
}

}  // namespace
}  // namespace tolvane::test
