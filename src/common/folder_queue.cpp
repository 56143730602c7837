#include "common/folder_queue.h"

#include <cstring>
#include <new>

#include "platform/path.h"

namespace tolvane {

bool FolderQueue::Start(const std::vector<std::string>& locations)
{
    try {
        folders_.clear();
        folders_.reserve(locations.size());
        for (const std::string& location : locations) folders_.push_back(platform::WithTrailingSeparator(location));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FolderQueue::Append(std::string_view folderPath, const char* name)
{
    try {
        std::string path;
        path.reserve(folderPath.size() + std::strlen(name) + 1);
        path.append(folderPath).append(name) += platform::PathSeparator;
        folders_.push_back(std::move(path));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void FolderQueue::Clear()
{
    folders_.clear();
    folders_.shrink_to_fit();
}

bool IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool IsDescendableFolder(const FindData& entry) { return entry.IsDirectory() && !entry.IsReparsePoint(); }

}  // namespace tolvane
