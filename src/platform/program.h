// The program's own executable and its folder.
#pragma once

#include <string>

namespace tolvane::platform {

// Full path of the running executable; empty when it cannot be had.
std::string ProgramPath();
// The folder that holds the executable, ending with the path separator;
// empty when the path cannot be had.
std::string ProgramFolder();
// Makes ProgramFolder() the process's current directory; nothing happens
// when the path cannot be had.
void GoToProgramFolder();

}  // namespace tolvane::platform
