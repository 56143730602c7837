#include "platform/device.h"

#include <sys/stat.h>

namespace tolvane::platform {

// A link is followed: a location given as a link to a folder lies on the
// device of that folder (the walk itself enters no links).
bool FolderDevice(const std::string& folderPath, uint64_t& device)
{
    struct stat status{};
    if (stat(folderPath.c_str(), &status) != 0) return false;
    device = static_cast<uint64_t>(status.st_dev);
    return true;
}

}  // namespace tolvane::platform
