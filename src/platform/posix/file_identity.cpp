#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/errno_map.h"

namespace tolvane::platform {

bool ReadFileIdentity(const std::string& path, FileIdentity& identity)
{
    struct stat status{};
    if (stat(path.c_str(), &status) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    identity = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino), 0};
    return status.st_ino != 0;
}

}  // namespace tolvane::platform
