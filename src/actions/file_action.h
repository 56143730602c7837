// What the copy, move and delete workers share: their progress view port, the
// check of the target they are given, the progress texts, and the clean-up of
// the list when they finish.
#pragma once

#include <cstdint>
#include <string>

#include "common/action_target.h"
#include "common/prompter.h"

namespace tolvane {

// The progress dialog of a file action. The worker calls it from its own
// thread; the Windows program carries each call out on the dialog's thread.
class ActionProgress {
public:
    virtual ~ActionProgress() = default;
    virtual void SetCurrentFile(const std::string& text) = 0;
    virtual void SetFrom(const std::string& folderPath) = 0;
    // "%i / %i": the number of this file among the marked ones, and their total.
    virtual void SetCounter(const std::string& text) = 0;
    // 0 to 100.
    virtual void SetPosition(int position) = 0;
    // The worker has finished: the dialog closes.
    virtual void Finish() = 0;
};

// True when the target names a list, its records and a row index that covers
// every row with valid record numbers; otherwise "Invalid data." is shown.
bool CheckActionTarget(const ActionTarget& target, Prompter& prompter);

int CountMarkedRows(const ResultList& list);

// Shows the file about to be handled: counter done + 1 of total, bar at
// done * 100 / total.
void ShowActionStep(ActionProgress& progress, const std::string& currentFile, const std::string& folderPath,
                    int done, int total);

// Marks the row's index entry as removed; TidyTargetList takes the row out.
void RemoveTargetRow(ActionTarget& target, int row);

// Deletes the removed rows from the list and the row index in one pass and,
// for a grouped list, removes the groups left with one row.
void TidyTargetList(ActionTarget& target);

// Closes the progress view, then disables the list when no row is left.
void FinishAction(ActionTarget& target, ActionProgress& progress);

inline bool StopRequested(const ActionTarget& target) { return target.ActionMode.load() == ActionModeStop; }

}  // namespace tolvane
