#include "platform/file_identity.h"

#include <windows.h>

namespace tolvane::platform {
namespace {

std::wstring WidePath(const std::string& path)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

FileTime FromWin32(const FILETIME& time) { return FileTime{time.dwLowDateTime, time.dwHighDateTime}; }

}  // namespace

bool ReadPathDetails(const std::string& path, FindData& entry)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    entry.dwFileAttributes = data.dwFileAttributes;
    entry.ftCreationTime = FromWin32(data.ftCreationTime);
    entry.ftLastAccessTime = FromWin32(data.ftLastAccessTime);
    entry.ftLastWriteTime = FromWin32(data.ftLastWriteTime);
    entry.nFileSizeHigh = data.nFileSizeHigh;
    entry.nFileSizeLow = data.nFileSizeLow;
    return true;
}

bool ReadFileIdentity(const std::string& path, FileIdentity& identity)
{
    // No access is asked for: the handle only reads the file's information, so
    // a file others hold open (even for writing) is still examined. Backup
    // semantics let the same call open a folder.
    HANDLE handle = CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = GetFileInformationByHandle(handle, &information) != 0;
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!read) {
        ::SetLastError(error);
        return false;
    }
    identity.volume = information.dwVolumeSerialNumber;
    identity.file = (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return true;
}

}  // namespace tolvane::platform
