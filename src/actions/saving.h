// Saving a result list (one full path per row) and an error log (object, tab,
// event per row) to a text file whose path the caller has chosen.
#pragma once

#include <string>

#include "common/action_target.h"
#include "common/prompter.h"
#include "common/result_list.h"

namespace tolvane {

enum class SaveResult {
    Saved,          // every row written, success shown
    NothingToSave,  // the list has no rows: no file was opened
    CreateFailed,   // the file could not be created; reported
    WriteFailed,    // a write failed; reported, the file holds what was written
};

// Writes the full path of the record of every row of the target list, marked
// or not, in row order, each followed by CR LF.
SaveResult SaveList(const ActionTarget& target, const std::string& path, Prompter& prompter);

// Writes the "Object" and "Event" texts of every row of an error log,
// separated by a TAB and followed by CR LF.
SaveResult SaveLog(const ResultList& errorLog, const std::string& path, Prompter& prompter);

}  // namespace tolvane
