#include "common/walk_limits.h"

#include <algorithm>
#include <new>

#include "common/folder_queue.h"
#include "common/name_pattern.h"
#include "platform/device.h"
#include "platform/path.h"

namespace tolvane {
namespace {

bool MatchesAny(const char* name, const std::vector<std::string>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [name](const std::string& pattern) { return NameMatchesPattern(name, pattern.c_str()); });
}

}  // namespace

bool LimitedWalk::Start(const FolderQueue& queue)
{
    roots_.clear();
    root_ = nullptr;
    folder_ = nullptr;
    if (!Active()) return true;
    try {
        subfolder_.reserve(platform::MaxPath);
        for (size_t index = 0; index < queue.Count(); ++index) {
            Root root{queue[index]};
            if (limits_.oneFileSystem) root.deviceKnown = platform::FolderDevice(root.path, root.device);
            roots_.push_back(std::move(root));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void LimitedWalk::StartFolder(const std::string& folder)
{
    if (!Active()) return;
    folder_ = &folder;
    // The queue holds each folder as its location's path and then one name
    // and separator per level; locations never lie inside one another here.
    root_ = nullptr;
    for (const Root& root : roots_) {
        if (folder.starts_with(root.path) && (!root_ || root.path.size() > root_->path.size())) root_ = &root;
    }
    depth_ = 0;
    if (root_) {
        depth_ = static_cast<uint32_t>(
            std::count(folder.begin() + static_cast<std::ptrdiff_t>(root_->path.size()), folder.end(),
                       platform::PathSeparator));
    }
}

bool LimitedWalk::Excludes(const char* name) const
{
    return !limits_.excludedPatterns.empty() && MatchesAny(name, limits_.excludedPatterns);
}

bool LimitedWalk::Lists(const char* name) const
{
    return limits_.namePatterns.empty() || MatchesAny(name, limits_.namePatterns);
}

bool LimitedWalk::MayEnter(const char* name)
{
    if (!Active()) return true;
    // Entries of the subfolder lie at depth_ + 2.
    if (limits_.maxDepth > 0 && depth_ + 2 > limits_.maxDepth) return false;
    if (!limits_.oneFileSystem || !root_ || !root_->deviceKnown || !folder_) return true;
    const size_t length = folder_->size() + std::char_traits<char>::length(name);
    // One that cannot be examined is entered, and its listing reports why.
    if (length >= subfolder_.capacity()) return true;
    subfolder_.assign(*folder_).append(name);
    uint64_t device = 0;
    return !platform::FolderDevice(subfolder_, device) || device == root_->device;
}

}  // namespace tolvane
