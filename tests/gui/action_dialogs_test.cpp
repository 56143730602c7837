#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
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

// Files of a temporary folder in a real list view with check boxes, handed to
// the dialogs as a page hands them, with a stand-in for the main window as owner.
class ActionDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        mainWindow = CreateWindowExA(0, "STATIC", "Tolvane", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        list.Attach(CreateResultListView(mainWindow, 0, LVS_EX_CHECKBOXES, {{LVCFMT_LEFT, 100, ""}}));
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }
    void TearDown() override
    {
        EXPECT_TRUE(PumpUntil([&] { return Finished(); }));
        if (dialog) DestroyWindow(dialog);
        DestroyWindow(mainWindow);
        GuiTest::TearDown();
    }

    // Adds marked rows of the files.
    void AddFiles(std::initializer_list<const char*> relatives)
    {
        for (const char* relative : relatives) {
            const std::string path = temp.WriteFile(relative, relative);
            const size_t slash = path.find_last_of(platform::PathSeparator);
            FindData entry;
            platform::ReadPathDetails(path, entry);
            std::strncpy(entry.cFileName, path.c_str() + slash + 1, sizeof entry.cFileName - 1);
            records.Add(path.substr(0, slash + 1), entry);
            const int row = list.RowCount();
            list.InsertRow(row);
            list.SetCellText(row, 0, path.substr(slash + 1));
            list.SetStateImage(row, StateImageMarked);
            index.push_back(static_cast<uint32_t>(index.size()));
        }
    }

    // Modeless, so that the test can drive it; a shown dialog hides when it ends.
    void Open(int dialogId, DLGPROC procedure)
    {
        dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(dialogId), mainWindow, procedure,
                                    reinterpret_cast<LPARAM>(&target));
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
    }

    bool Finished() const { return (!dialog || !IsWindowVisible(dialog)) && !ActionWorkerRunning(); }

    // The clash question, shown by the worker's thread.
    HWND WaitForConfirm() const
    {
        HWND confirm = nullptr;
        PumpUntil([&] { return (confirm = FindWindowA(nullptr, " Confirm action")) && IsWindowVisible(confirm); });
        return confirm;
    }

    // Answers the clash question as a press of the button does, through the worker thread's queue.
    static void Answer(HWND confirm, int button)
    {
        PostMessageA(confirm, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(confirm, button)));
    }

    TempFolder temp;
    FileRecords records;
    ListViewResultList list;
    RowIndex index;
    ActionTarget target;
    HWND mainWindow = nullptr;
    HWND dialog = nullptr;
};

TEST_F(ActionDialogTest, ClashQuestionNamesTheFileAndItsRenameAnswerReachesTheCopy)
{
    AddFiles({"src/a.txt", "src/b.txt"});
    temp.WriteFile("dst/a.txt", "old");
    script.folders.push_back(temp.PathOf("dst"));
    target.ActionMode = ActionModeCopy;
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);
    HWND confirm = WaitForConfirm();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(ItemText(confirm, IDC_CONFIRM_NAME), "a.txt");
    EXPECT_EQ(GetWindow(confirm, GW_OWNER), dialog);
    Answer(confirm, IDC_CONFIRM_RENAME);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/a.txt")), "old");
    EXPECT_EQ(ReadWholeFile(temp.PathOf("dst/a_1.txt")), "src/a.txt");
    EXPECT_TRUE(fs::exists(temp.PathOf("dst/b.txt")));
}

TEST_F(ActionDialogTest, CancelTurnsIntoWaitAndStopsBeforeTheNextFile)
{
    AddFiles({"src/1", "src/2", "src/3"});
    temp.WriteFile("dst/3", "taken");
    script.folders.push_back(temp.PathOf("dst"));
    Open(IDD_COPY_MOVE_PROGRESS, CopyMoveProgressDialogProc);
    HWND confirm = WaitForConfirm();  // the clash of the last row, its first
    ASSERT_NE(confirm, nullptr);
    Click(dialog, IDC_CM_CANCEL);
    EXPECT_EQ(ItemText(dialog, IDC_CM_CANCEL), "Wait...");
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_CM_CANCEL));
    Answer(confirm, IDC_CONFIRM_SKIP);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    EXPECT_FALSE(fs::exists(temp.PathOf("dst/1")) || fs::exists(temp.PathOf("dst/2")));
}

TEST_F(ActionDialogTest, DeleteAsksOverItsDialogAndAnIncompleteTargetIsRefused)
{
    AddFiles({"d/x", "d/z"});
    target.ActionMode = ActionModeMove;
    target.RemovesRows = true;
    script.answers.push_back(IDYES);
    Open(IDD_DELETE_PROGRESS, DeleteProgressDialogProc);
    ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].owner, dialog);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_FALSE(fs::exists(temp.PathOf("d/x")));
    DestroyWindow(dialog);

    target.rowIndex = nullptr;
    Open(IDD_DELETE_PROGRESS, DeleteProgressDialogProc);
    EXPECT_FALSE(ActionWorkerRunning());
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[1].text, "Invalid data.");
    EXPECT_EQ(script.boxes[1].owner, mainWindow);
    DestroyWindow(dialog);  // a modeless dialog stays up after its EndDialog
    dialog = nullptr;
}

TEST_F(ActionDialogTest, AutoMarkListsTheFoldersInRowOrderAndMarksExactlyTheirRows)
{
    AddFiles({"B/1", "B/2", "A/3", "b/4", "B/sub/5", "B/6"});
    for (int row : {0, 1, 3, 5}) list.SetStateImage(row, StateImageUnmarked);
    const std::string folderB = temp.PathOf("B/");
    Open(IDD_MARK_BY_PATH, MarkByPathDialogProc);
    HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    // Neighbours shown once, although the box sorts.
    EXPECT_EQ(ListBoxItems(folders), (std::vector<std::string>{folderB, temp.PathOf("A/"), temp.PathOf("b/"),
                                                               temp.PathOf("B/sub/"), folderB}));
    SendMessageA(folders, LB_SETSEL, TRUE, 0);
    Click(dialog, IDC_MARK_CANCEL);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(list.IsMarked(2) && !list.IsMarked(0)) << "Cancel keeps the marks";
    DestroyWindow(dialog);

    Open(IDD_MARK_BY_PATH, MarkByPathDialogProc);
    folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    SendMessageA(folders, LB_SETSEL, TRUE, 0);
    SendMessageA(folders, LB_SETSEL, TRUE, 2);
    Click(dialog, IDC_MARK_MARK);
    std::vector<int> marked;
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.IsMarked(row)) marked.push_back(row);
    EXPECT_EQ(marked, (std::vector<int>{0, 1, 3, 5}));
}

}  // namespace
}  // namespace tolvane::test
