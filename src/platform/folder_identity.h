// The form of a folder path under which the file system knows the folder, so
// that two spellings of one folder compare equal.
#pragma once

#include <string>

namespace tolvane::platform {

// The full, canonical path of an existing folder, without a trailing separator
// except at a root: on POSIX with links resolved (realpath), on Windows the full
// long-name path. Empty when the folder cannot be resolved.
std::string CanonicalFolderPath(const std::string& folderPath);

// True when the file system treats names without regard to letter case
// (Windows), so that equal keys must be compared case-insensitively.
bool FolderNamesIgnoreCase();

}  // namespace tolvane::platform
