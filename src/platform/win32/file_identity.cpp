#include "platform/file_identity.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace tolvane::platform {
namespace {

FileTime FromWin32(const FILETIME& time) { return FileTime{time.dwLowDateTime, time.dwHighDateTime}; }

// The 128-bit id of a file (Windows 8 on); the headers give it only to
// programs that require that version.
constexpr auto FileIdInfoClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    uint64_t fileId[2];
};

// An id of all zero bits or all one bits names no file.
bool UsableId(uint64_t low, uint64_t high) { return (low | high) != 0 && (low & high) != ~uint64_t{0}; }

bool ReadIdentity(HANDLE handle, FileIdentity& identity)
{
    FileIdInformation wide{};
    if (GetFileInformationByHandleEx(handle, FileIdInfoClass, &wide, sizeof wide)) {
        identity = {wide.volumeSerialNumber, wide.fileId[0], wide.fileId[1]};
        return UsableId(wide.fileId[0], wide.fileId[1]);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return false;
    identity = {information.dwVolumeSerialNumber,
                (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow, 0};
    return UsableId(identity.file, 0);
}

}  // namespace

bool ReadPathDetails(const std::string& path, FindData& entry)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
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
    HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool read = ReadIdentity(handle, identity);
    CloseHandle(handle);
    return read;
}

}  // namespace tolvane::platform
