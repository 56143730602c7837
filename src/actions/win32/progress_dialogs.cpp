// The copy/move and delete progress dialogs. Each starts its worker on a
// thread of its own; the worker changes the dialog only through sent
// messages, which this thread carries out in the dialog's message loop, and
// ends the dialog with a private command.
#include <objbase.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>

#include "actions/copy_move.h"
#include "actions/delete.h"
#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/win32/dialog_items.h"
#include "common/win32/worker_thread.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

std::atomic<int> runningWorkers{0};

struct ProgressIds {
    int current;
    int from;
    int to;  // 0: the dialog shows no destination
    int counter;
    int bar;
    int cancel;
    int finished;  // the private command that ends the dialog
};

constexpr ProgressIds CopyMoveIds{IDC_CM_CURRENT, IDC_CM_FROM,   IDC_CM_TO,      IDC_CM_COUNTER,
                                  IDC_CM_PROGRESS, IDC_CM_CANCEL, IDC_CM_FINISHED};
constexpr ProgressIds DeleteIds{IDC_DEL_CURRENT,  IDC_DEL_FROM,   0, IDC_DEL_COUNTER,
                                IDC_DEL_PROGRESS, IDC_DEL_CANCEL, IDC_DEL_FINISHED};

// The progress port on a dialog. Every call is a sent message, carried out by
// the dialog's own thread before the call returns.
class DialogProgress : public CopyMoveProgress {
public:
    DialogProgress(HWND dialog, const ProgressIds& ids) : dialog_(dialog), ids_(ids) {}

    void SetCurrentFile(const std::string& text) override { SetDlgItemTextA(dialog_, ids_.current, text.c_str()); }
    void SetFrom(const std::string& folderPath) override { SetDlgItemTextA(dialog_, ids_.from, folderPath.c_str()); }
    void SetCounter(const std::string& text) override { SetDlgItemTextA(dialog_, ids_.counter, text.c_str()); }
    void SetPosition(int position) override { SendDlgItemMessageA(dialog_, ids_.bar, PBM_SETPOS, position, 0); }
    void Finish() override { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(ids_.finished, 0), 0); }
    void SetCaption(const std::string& caption) override { SetWindowTextA(dialog_, caption.c_str()); }
    void SetTo(const std::string& folderPath) override
    {
        if (ids_.to) SetDlgItemTextA(dialog_, ids_.to, folderPath.c_str());
    }

private:
    HWND dialog_;
    const ProgressIds& ids_;
};

// The folder picker needs COM on the thread that shows it.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope()
    {
        if (initialised_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

// The destination picker and the clash question, shown by the worker's thread.
class DialogChoices : public CopyMoveChoices {
public:
    DialogChoices(HWND dialog, HWND clashOwner) : dialog_(dialog), clashOwner_(clashOwner) {}

    bool PickFolder(const std::string& title, std::string& folder) override
    {
        return tolvane::PickFolder(dialog_, folder, title);
    }
    ClashChoice ConfirmAction(const std::string& fileName) override
    {
        ClashQuestion question{fileName.c_str(), {}};
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CONFIRM_ACTION), clashOwner_, ConfirmActionDialogProc,
                        reinterpret_cast<LPARAM>(&question));
        return question.choice;
    }

private:
    HWND dialog_;
    HWND clashOwner_;
};

ActionTarget* DialogTarget(HWND dialog)
{
    return reinterpret_cast<ActionTarget*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The window the program's main window is to the dialog: the top of its owners.
HWND MainWindowOf(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

// The body of a progress dialog's worker, on the worker's thread.
using ActionWork = void (*)(ActionTarget& target, HWND dialog);

void CopyMoveWork(ActionTarget& target, HWND dialog)
{
    ComScope com;
    DialogProgress progress(dialog, CopyMoveIds);
    // A copy asks about clashes over the progress dialog, a move over the main window.
    const bool move = target.ActionMode.load() != ActionModeCopy;
    DialogChoices choices(dialog, move ? MainWindowOf(dialog) : dialog);
    WindowPrompter prompter(dialog);
    CopyMoveWorker(target, progress, choices, prompter);
}

void DeleteWork(ActionTarget& target, HWND dialog)
{
    DialogProgress progress(dialog, DeleteIds);
    WindowPrompter prompter(dialog);
    DeleteWorker(target, progress, prompter);
}

// Opens a progress dialog: refuses an incomplete target, else starts the
// worker, which holds a share of a shared target until it ends. A dialog
// whose worker cannot start says why and closes at once, since only the
// worker could close it.
void StartProgressDialog(HWND dialog, LPARAM lParam, ActionWork work)
{
    auto* target = reinterpret_cast<ActionTarget*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    if (!target || !target->list || !target->records || !target->rowIndex) {
        ShowMessage(MainWindowOf(dialog), "Invalid data.", "Error", MB_ICONHAND);
        EndDialog(dialog, 0);
        return;
    }
    ++runningWorkers;
    const bool started = StartWorkerThread([target, share = target->weak_from_this().lock(), dialog, work] {
        work(*target, dialog);
        --runningWorkers;
    });
    if (!started) {
        --runningWorkers;
        ShowSystemError(dialog, "Aborted");
        EndDialog(dialog, 0);
    }
}

// Cancel: the worker stops before its next file.
void RequestStop(HWND dialog, int cancelId)
{
    SetDlgItemTextA(dialog, cancelId, "Wait...");
    EnableWindow(GetDlgItem(dialog, cancelId), FALSE);
    if (ActionTarget* target = DialogTarget(dialog)) target->ActionMode.store(ActionModeStop);
}

INT_PTR ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const ProgressIds& ids,
                           ActionWork work)
{
    switch (message) {
    case WM_INITDIALOG:
        if (ids.to) {
            const auto* target = reinterpret_cast<const ActionTarget*>(lParam);
            if (target) SetWindowTextA(dialog, CopyMoveCaption(target->ActionMode.load()).c_str());
        }
        StartProgressDialog(dialog, lParam, work);
        return TRUE;
    case WM_COMMAND: {
        // Every other command, Esc and Enter among them, is ignored.
        const int id = LOWORD(wParam);
        if (id == ids.cancel && HIWORD(wParam) == BN_CLICKED) RequestStop(dialog, ids.cancel);
        else if (id == ids.finished) EndDialog(dialog, 0);
        return TRUE;
    }
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK CopyMoveProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ProgressDialogProc(dialog, message, wParam, lParam, CopyMoveIds, CopyMoveWork);
}

INT_PTR CALLBACK DeleteProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ProgressDialogProc(dialog, message, wParam, lParam, DeleteIds, DeleteWork);
}

INT_PTR CALLBACK ConfirmActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto* question = reinterpret_cast<const ClashQuestion*>(lParam);
        if (question) SetDlgItemTextA(dialog, IDC_CONFIRM_NAME, question->fileName);
        return TRUE;
    }
    case WM_COMMAND: {
        // Only the three answers end the dialog.
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) != BN_CLICKED || (id != IDC_CONFIRM_RENAME && id != IDC_CONFIRM_SKIP && id != IDC_CONFIRM_BREAK))
            return TRUE;
        if (auto* question = reinterpret_cast<ClashQuestion*>(GetWindowLongPtrA(dialog, DWLP_USER))) {
            question->choice.answer = id == IDC_CONFIRM_RENAME ? ClashAnswer::Rename
                                      : id == IDC_CONFIRM_SKIP ? ClashAnswer::Skip
                                                               : ClashAnswer::Break;
            question->choice.forAll = IsChecked(dialog, IDC_CONFIRM_ALL);
        }
        EndDialog(dialog, 0);
        return TRUE;
    }
    default: return FALSE;
    }
}

void RunCopyMoveDialog(HWND owner, ActionTarget& target)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_COPY_MOVE_PROGRESS), owner, CopyMoveProgressDialogProc,
                    reinterpret_cast<LPARAM>(&target));
}

void RunDeleteDialog(HWND owner, ActionTarget& target)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_DELETE_PROGRESS), owner, DeleteProgressDialogProc,
                    reinterpret_cast<LPARAM>(&target));
}

bool ActionWorkerRunning() { return runningWorkers.load() > 0; }

std::shared_ptr<ActionTarget> MakeActionTarget(std::shared_ptr<const void> owner, ResultList& list,
                                               const FileRecords& records, RowIndex& rowIndex, bool groupedList,
                                               bool equalContentGroups)
{
    auto target = std::make_shared<ActionTarget>();
    target->owner = std::move(owner);
    target->list = &list;
    target->records = &records;
    target->rowIndex = &rowIndex;
    target->groupedList = groupedList;
    target->equalContentGroups = groupedList && equalContentGroups;
    return target;
}

void RunFileAction(HWND page, FileActionCommand command, ActionTarget& target)
{
    // A deletion runs with the mode of a move: it takes rows out of the list.
    target.ActionMode = command == FileActionCommand::Copy ? ActionModeCopy : ActionModeMove;
    target.RemovesRows = command == FileActionCommand::Move || command == FileActionCommand::Delete;
    switch (command) {
    case FileActionCommand::AutoMark: RunMarkByPathDialog(page, target); break;
    case FileActionCommand::Copy:
    case FileActionCommand::Move: RunCopyMoveDialog(page, target); break;
    case FileActionCommand::Delete: RunDeleteDialog(page, target); break;
    }
}

}  // namespace tolvane
