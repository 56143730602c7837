#include "platform/file_ops.h"

#include <windows.h>

namespace tolvane::platform {

bool CopyFileNoReplace(const std::string& source, const std::string& destination)
{
    return CopyFileA(source.c_str(), destination.c_str(), TRUE) != 0;
}

bool MoveFileNoReplace(const std::string& source, const std::string& destination)
{
    // MoveFileA never replaces another file, but it may accept a move of a
    // file onto its own name (or onto the same name in other letter case);
    // that too counts as a taken name.
    if (GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    return MoveFileA(source.c_str(), destination.c_str()) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

}  // namespace tolvane::platform
