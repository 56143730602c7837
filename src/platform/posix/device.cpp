#include "platform/device.h"

#include <sys/stat.h>

namespace tolvane::platform {

bool FolderDevice(const std::string& folderPath, uint64_t& device)
{
    struct stat status{};
    if (lstat(folderPath.c_str(), &status) != 0) return false;
    device = static_cast<uint64_t>(status.st_dev);
    return true;
}

}  // namespace tolvane::platform
