// Names as UTF-8 for output formats that require it (JSON).
#pragma once

#include <string>
#include <string_view>

namespace tolvane::platform {

// On Windows names come in the ANSI code page and are converted; on POSIX a
// name is the file system's bytes and is returned as it is (it need not be
// valid UTF-8).
std::string NameToUtf8(std::string_view name);

}  // namespace tolvane::platform
