#include "actions/delete.h"

#include "actions/source_check.h"
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

        const SourceCheck check = CheckBeforeDelete(target, row);
        // A file that is already gone is as good as deleted.
        if ((check == SourceCheck::AsListed || check == SourceCheck::Gone) &&
            (platform::RemoveFile(folder + name) || platform::LastError() == platform::ErrorFileNotFound)) {
            RemoveTargetRow(target, row);
            continue;
        }
        if (check == SourceCheck::Changed || check == SourceCheck::NoCopyLeft)
            prompter.Message(SourceCheckText(check, folder + name), "Operation failed", MbIconHand);
        else
            prompter.ShowSystemError("Operation failed", platform::LastError());
        if (prompter.Message("Do you want to abort?", "Error occured", MbQuestion) == IdYes)
            target.ActionMode.store(ActionModeStop);
    }
    TidyTargetList(target);
    FinishAction(target, progress);
}

}  // namespace tolvane
