#include "platform/program.h"

#include <unistd.h>

#include <climits>

#include "platform/posix/errno_map.h"

namespace tolvane::platform {

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<size_t>(length));
}

std::string ProgramFolder()
{
    const std::string path = ProgramPath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

void GoToProgramFolder()
{
    const std::string folder = ProgramFolder();
    if (!folder.empty() && chdir(folder.c_str()) != 0) SetLastErrorFromErrno(errno);
}

}  // namespace tolvane::platform
