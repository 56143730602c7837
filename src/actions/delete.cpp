#include "actions/delete.h"

#include "platform/error.h"
#include "platform/file_ops.h"

namespace tolvane {

void DeleteWorker(ActionTarget& target, ActionProgress& progress, Prompter& prompter)
{
    if (!CheckActionTarget(target, prompter) ||
        prompter.Message("Do you really want to delete the selected items?", "Confirm", MbQuestion) != IdYes) {
        progress.Finish();
        return;
    }
    ResultList& list = *target.list;
    const int total = CountMarkedRows(list);
    int done = 0;
    for (int row = list.RowCount() - 1; row >= 0; --row) {
        if (StopRequested(target)) break;
        if (!list.IsMarked(row)) continue;
        const uint32_t record = (*target.rowIndex)[static_cast<size_t>(row)];
        const std::string folder(target.records->FolderPath(record));
        const std::string name(target.records->FileName(record));
        ShowActionStep(progress, name, folder, done, total);
        ++done;

        // A file that is already gone is as good as deleted.
        if (platform::RemoveFile(folder + name) || platform::LastError() == platform::ErrorFileNotFound) {
            RemoveTargetRow(target, row);
            continue;
        }
        prompter.ShowSystemError("Operation failed", platform::LastError());
        if (prompter.Message("Do you want to abort?", "Error occured", MbQuestion) == IdYes)
            target.ActionMode.store(ActionModeStop);
    }
    TidyTargetList(target);
    FinishAction(target, progress);
}

}  // namespace tolvane
