#include "actions/file_action.h"

#include "common/list_operations.h"

namespace tolvane {

bool CheckActionTarget(const ActionTarget& target, Prompter& prompter)
{
    bool complete = target.list && target.records && target.rowIndex &&
                    target.rowIndex->size() >= static_cast<size_t>(target.list->RowCount());
    for (int row = 0; complete && row < target.list->RowCount(); ++row)
        complete = (*target.rowIndex)[static_cast<size_t>(row)] < target.records->Count();
    if (!complete) prompter.Message("Invalid data.", "Error", MbIconHand);
    return complete;
}

int CountMarkedRows(const ResultList& list)
{
    int marked = 0;
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.IsMarked(row)) ++marked;
    return marked;
}

void ShowActionStep(ActionProgress& progress, const std::string& currentFile, const std::string& folderPath,
                    int done, int total)
{
    progress.SetCurrentFile(currentFile);
    progress.SetFrom(folderPath);
    progress.SetCounter(std::to_string(done + 1) + " / " + std::to_string(total));
    progress.SetPosition(total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0);
}

void RemoveTargetRow(ActionTarget& target, int row)
{
    uint32_t& entry = (*target.rowIndex)[static_cast<size_t>(row)];
    target.removedRecords.push_back(entry);
    entry = RemovedMarker;
}

void TidyTargetList(ActionTarget& target)
{
    DeleteRemovedRows(target);
    if (target.groupedList) PruneLoneGroups(target);
}

void FinishAction(ActionTarget& target, ActionProgress& progress)
{
    progress.Finish();
    if (target.list && target.list->RowCount() == 0) target.list->SetEnabled(false);
}

}  // namespace tolvane
