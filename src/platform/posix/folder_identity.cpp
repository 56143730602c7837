#include "platform/folder_identity.h"

#include <climits>
#include <cstdlib>

namespace tolvane::platform {

std::string CanonicalFolderPath(const std::string& folderPath)
{
    char resolved[PATH_MAX];
    if (!realpath(folderPath.c_str(), resolved)) return {};
    return resolved;
}

bool FolderNamesIgnoreCase() { return false; }

}  // namespace tolvane::platform
