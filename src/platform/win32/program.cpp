#include "platform/program.h"

#include <windows.h>

namespace tolvane::platform {

std::string ProgramPath()
{
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

std::string ProgramFolder()
{
    const std::string path = ProgramPath();
    const auto backslash = path.rfind('\\');
    if (backslash == std::string::npos) return {};
    return path.substr(0, backslash + 1);
}

void GoToProgramFolder()
{
    const std::string folder = ProgramFolder();
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
}

}  // namespace tolvane::platform
