// The device (volume) a folder lies on, so that a walk can stay on one.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane::platform {

// False when the folder cannot be examined.
bool FolderDevice(const std::string& folderPath, uint64_t& device);

}  // namespace tolvane::platform
