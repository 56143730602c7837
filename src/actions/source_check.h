// The checks made just before a file of a list is deleted or moved: the file
// must still be the one the list shows, and a deletion from a group of equal
// content must leave a copy the user did not mark.
#pragma once

#include <string>

#include "common/action_target.h"

namespace tolvane {

enum class SourceCheck {
    AsListed,   // go ahead
    Gone,       // nothing there any more: nothing to lose
    Changed,    // its size or modified time differs from the row's
    NoCopyLeft,  // no unmarked member of its group is still as listed
    Unreadable  // it cannot be examined: LastError() tells why
};

// The file of record against the size and modified time its row shows.
SourceCheck CheckListedFile(const FileRecords& records, uint32_t record);

// CheckListedFile for the file of row; in a list of equal-content groups,
// also that an unmarked member of its group is still as listed. A group whose
// members are all marked is the user's own choice and passes.
SourceCheck CheckBeforeDelete(const ActionTarget& target, int row);

// The message for a file left alone because it changed, or as NoCopyLeft.
std::string SourceCheckText(SourceCheck check, const std::string& path);

}  // namespace tolvane
