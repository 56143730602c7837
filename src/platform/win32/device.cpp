#include "platform/device.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace tolvane::platform {

// The volume serial number. A reparse point is followed: a location that is a
// mount point lies on the mounted volume (the walk itself enters none).
bool FolderDevice(const std::string& folderPath, uint64_t& device)
{
    const HANDLE folder = CreateFileW(ExtendedPath(folderPath).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(folder, &information) != 0;
    CloseHandle(folder);
    if (known) device = information.dwVolumeSerialNumber;
    return known;
}

}  // namespace tolvane::platform
