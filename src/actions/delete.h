// Deleting the marked files of a list for good, after one confirmation.
#pragma once

#include "actions/file_action.h"
#include "common/action_target.h"
#include "common/prompter.h"

namespace tolvane {

// Asks "Do you really want to delete the selected items?", then deletes the
// file of each marked row from the last row to the first and takes the row out
// of the list; a file already gone counts as deleted. Any other failure keeps
// the row and asks whether to abort. Finishes the progress view at the end.
void DeleteWorker(ActionTarget& target, ActionProgress& progress, Prompter& prompter);

}  // namespace tolvane
