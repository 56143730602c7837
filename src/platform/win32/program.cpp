#include "platform/program.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace tolvane::platform {

std::string ProgramPath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::string path;
    return ProgramFromWide(buffer, path) ? path : std::string();
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
    if (!folder.empty()) SetCurrentDirectoryW(WideFromProgram(folder).c_str());
}

}  // namespace tolvane::platform
