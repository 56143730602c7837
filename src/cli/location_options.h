// The folders a command walks: LOCATION arguments and the folders of a
// --locations FILE, gathered into a locations list as the locations dialog
// gathers them, so that `tolvane find` and `tolvane compare` agree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/prompter.h"
#include "find/locations.h"

namespace tolvane::cli {

// The list as the dialog's Accept stores it: every argument a full path
// (a folder picker gives nothing else), then the list file's existing folders
// read with the dialog's reader, sorted and cleaned up by the dialog's rules.
// Throws BadValue when an argument names no existing folder, the file cannot
// be read or no folder remains.
LocationList AcceptLocations(const std::vector<std::string>& arguments, const std::optional<std::string>& listFile,
                             bool includeSubfolders, Prompter& prompter);

}  // namespace tolvane::cli
