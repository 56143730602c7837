#include "platform/device.h"

#include <windows.h>

namespace tolvane::platform {

// The volume serial number; a folder opened without following a reparse
// point, so that a mount point tells the volume it lies on.
bool FolderDevice(const std::string& folderPath, uint64_t& device)
{
    const HANDLE folder = CreateFileA(folderPath.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(folder, &information) != 0;
    CloseHandle(folder);
    if (known) device = information.dwVolumeSerialNumber;
    return known;
}

}  // namespace tolvane::platform
