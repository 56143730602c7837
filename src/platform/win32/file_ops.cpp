#include "platform/file_ops.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace tolvane::platform {
namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

bool CopyFileNoReplace(const std::string& source, const std::string& destination)
{
    const std::wstring from = ExtendedPath(source), to = ExtendedPath(destination);
    if (from.empty() || to.empty()) return false;
    return CopyFileW(from.c_str(), to.c_str(), TRUE) != 0;
}

bool MoveFileNoReplace(const std::string& source, const std::string& destination)
{
    const std::wstring from = ExtendedPath(source), to = ExtendedPath(destination);
    if (from.empty() || to.empty()) return false;
    // The move never replaces another file, but the system may accept a move
    // of a file onto its own name (or onto the same name in other letter
    // case); that too counts as a taken name.
    if (Exists(to)) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    const bool moved = MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED) != 0;
    DWORD error = GetLastError();
    if (!Exists(from)) {
        ::SetLastError(error);
        return moved;
    }
    // To another volume the system copies and then deletes, and may report
    // success when the delete fails (a read-only or locked source). The source
    // must be gone; if it is not, deleting it again gives the reason, and the
    // copy made goes again, so that the move happens entirely or not at all.
    if (moved) {
        if (DeleteFileW(from.c_str())) return true;
        error = GetLastError();
    }
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && Exists(to)) {
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(to.c_str());
    }
    ::SetLastError(error);
    return false;
}

bool RemoveFile(const std::string& path)
{
    const std::wstring extended = ExtendedPath(path);
    return !extended.empty() && DeleteFileW(extended.c_str()) != 0;
}

bool CreateFolder(const std::string& path)
{
    const std::wstring extended = ExtendedPath(path);
    return !extended.empty() && CreateDirectoryW(extended.c_str(), nullptr) != 0;
}

}  // namespace tolvane::platform
