// "Auto mark...": offers the folders of a list's rows and marks every row that
// lies directly in one of the folders the user chose.
#pragma once

#include <string>
#include <vector>

#include "common/action_target.h"

namespace tolvane {

// The folder path of every row's record, in row order, with repeats that
// stand next to each other (same bytes, case counts) shown once. A folder
// that comes back after other folders is offered again.
std::vector<std::string> FoldersToOffer(const ActionTarget& target);

// Clears every mark of the target list, then marks each row whose record's
// folder path is exactly one of chosenFolders (a row in a subfolder is not).
void MarkByPath(ActionTarget& target, const std::vector<std::string>& chosenFolders);

}  // namespace tolvane
