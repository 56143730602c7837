#include "platform/folder_identity.h"

#include <windows.h>

namespace tolvane::platform {

std::string CanonicalFolderPath(const std::string& folderPath)
{
    char full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameA(folderPath.c_str(), MAX_PATH, full, nullptr);
    if (fullLength == 0 || fullLength >= MAX_PATH) return {};
    char longName[MAX_PATH];
    const DWORD longLength = GetLongPathNameA(full, longName, MAX_PATH);
    std::string path = longLength > 0 && longLength < MAX_PATH ? std::string(longName, longLength) : std::string(full, fullLength);
    // Keep the separator only at a root such as "C:\" or "\\server\share\".
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

bool FolderNamesIgnoreCase() { return true; }

}  // namespace tolvane::platform
