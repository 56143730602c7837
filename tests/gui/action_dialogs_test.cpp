#include "actions/win32/action_dialogs.h"
#include "common/win32/list_view_result_list.h"
#include "gui_support.h"
#include "platform/file_identity.h"
#include "platform/path.h"

namespace tolvane::test {
namespace {

// Marked rows of files in a real list view, handed over as a page does, a stand-in main window as owner.
class ActionDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        list.Attach(CreateResultListView(mainWindow, 0, LVS_EX_CHECKBOXES, {{LVCFMT_LEFT, 100, ""}}));
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }
    void TearDown() override
    {
        EXPECT_TRUE(PumpUntil([&] { return Finished(); }));
        GuiTest::TearDown();
    }

    void AddFiles(std::initializer_list<const char*> relatives)
    {
        for (const char* relative : relatives) {
            const std::string path = temp.WriteFile(relative, relative);
            const size_t slash = path.find_last_of(platform::PathSeparator) + 1;
            FindData entry = NamedEntry(path.substr(slash));
            platform::ReadPathDetails(path, entry);
            records.Add(path.substr(0, slash), entry);
            list.InsertRow(list.RowCount());
            list.SetStateImage(list.RowCount() - 1, StateImageMarked);
            index.push_back(static_cast<uint32_t>(index.size()));
        }
    }

    bool Finished() const { return (!dialog || !IsWindowVisible(dialog)) && !ActionWorkerRunning(); }

    TempFolder temp;
    FileRecords records;
    ListViewResultList list;
    RowIndex index;
    ActionTarget target;
    HWND mainWindow = Window("STATIC", "Tolvane");
    HWND dialog = nullptr;
};

// The clash question comes from the worker's thread; a press of its button answers through that thread's queue.
TEST_F(ActionDialogTest, ClashQuestionOverItsDialogAndCancelWaitsForTheAnswer)
{
    AddFiles({"src/1", "src/2", "src/3"});
    temp.WriteFile("dst/3", "taken");
    script.folders.push_back(temp.PathOf("dst"));
    target.ActionMode = ActionModeCopy;
    dialog = OpenDialog(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc, mainWindow, &target);
    HWND confirm = nullptr;  // the clash of the last row, its first
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(confirm = FindWindowA(nullptr, " Confirm action")); }));
    EXPECT_EQ(ItemText(confirm, IDC_CONFIRM_NAME), "3");
    EXPECT_EQ(GetWindow(confirm, GW_OWNER), dialog);
    Click(dialog, IDC_CM_CANCEL);
    EXPECT_TRUE(ItemText(dialog, IDC_CM_CANCEL) == "Wait..." && !IsEnabledItem(dialog, IDC_CM_CANCEL));
    Click(confirm, IDC_CONFIRM_RENAME);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/3_1")), "src/3");
    EXPECT_FALSE(fs::exists(temp.PathOf("dst/1")) || fs::exists(temp.PathOf("dst/2")));
}

// The folders in row order, although the box sorts; Cancel leaves the marks as they were.
TEST_F(ActionDialogTest, AutoMarkByFolderThenDeleteAsksOverItsDialog)
{
    AddFiles({"B/1", "A/2", "B/3"});
    dialog = OpenDialog(IDD_MARK_BY_PATH, MarkByPathDialogProc, mainWindow, &target);
    HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    const std::vector<std::string> shown{temp.PathOf("B/"), temp.PathOf("A/"), temp.PathOf("B/")};
    EXPECT_EQ(ListBoxItems(folders), shown);
    SendMessageA(folders, LB_SETSEL, TRUE, 1);
    Click(dialog, IDC_MARK_CANCEL);
    EXPECT_TRUE(list.IsMarked(0) && list.IsMarked(1) && list.IsMarked(2) && !IsWindowVisible(dialog));

    // Deleting the marked rows asks over the progress dialog.
    target.ActionMode = ActionModeMove;
    target.RemovesRows = true;
    script.answers.push_back(IDYES);
    dialog = OpenDialog(IDD_DELETE_PROGRESS, DeleteProgressDialogProc, mainWindow, &target);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_TRUE(script.boxes[0].owner == dialog && list.RowCount() == 0);

    target.rowIndex = nullptr;
    dialog = OpenDialog(IDD_DELETE_PROGRESS, DeleteProgressDialogProc, mainWindow, &target);
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_TRUE(script.boxes[1].text == "Invalid data." && script.boxes[1].owner == mainWindow);
    DestroyWindow(dialog);  // a modeless dialog stays up after its EndDialog
}

}  // namespace
}  // namespace tolvane::test
