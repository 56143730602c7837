#include "common/folder_walk.h"

#include <new>

#include "common/walk_roots.h"
#include "platform/error.h"
#include "platform/folder_identity.h"
#include "platform/path.h"
#include "platform/text.h"

namespace tolvane {
namespace {

// A queued folder's path as the file system tells folders apart: one
// separator character, and one letter case where names ignore case.
std::string ListedFolderKey(std::string folder)
{
    const bool ignoreCase = platform::FolderNamesIgnoreCase();
    for (char& c : folder) {
        if (c == '/') c = platform::PathSeparator;
        if (ignoreCase) c = platform::LowerAnsi(c);
    }
    return folder;
}

}  // namespace

FolderWalk::FolderWalk(FolderQueue& queue, const WalkLimits& limits, bool includeSubfolders)
    : queue_(queue), limits_(limits), includeSubfolders_(includeSubfolders)
{
}

bool FolderWalk::Start(const std::vector<std::string>& locations)
{
    listedPaths_.clear();
    listedIdentities_.clear();
    return queue_.Start(WalkRoots(locations, includeSubfolders_)) && limits_.Start(queue_);
}

WalkEnd FolderWalk::Run(WalkVisitor& visitor, const std::atomic<bool>& stopRequested)
{
    for (size_t index = 0; index < queue_.Count(); ++index) {
        folder_ = queue_[index];  // a copy: the queue grows while listing
        const Listed listed = ListedBefore(folder_);
        if (listed == Listed::OutOfMemory) return WalkEnd::OutOfMemory;
        if (listed == Listed::Before) continue;
        limits_.StartFolder(folder_);
        if (!listing_.Open(folder_)) {
            visitor.FolderNotListed(folder_, platform::LastError());
        } else {
            const WalkEnd end = ListFolder(visitor);
            listing_.Close();
            if (end != WalkEnd::Ended) return end;
        }
        // Also looked at after a folder that could not be listed: a Cancel, or
        // "Too many errors!", amid a run of such folders ends the walk there
        // instead of after the next folder that can be listed.
        if (stopRequested.load()) return WalkEnd::Stopped;
    }
    return WalkEnd::Ended;
}

FolderWalk::Listed FolderWalk::ListedBefore(const std::string& folder)
{
    try {
        if (!listedPaths_.insert(ListedFolderKey(folder)).second) return Listed::Before;
        platform::FileIdentity identity;
        if (platform::ReadFileIdentity(folder, identity) && !listedIdentities_.insert(identity).second)
            return Listed::Before;
    } catch (const std::bad_alloc&) {
        return Listed::OutOfMemory;
    }
    return Listed::First;
}

WalkEnd FolderWalk::ListFolder(WalkVisitor& visitor)
{
    WalkEntry entry(folder_, entry_, listing_);
    while (listing_.Next(entry_, false)) {
        const char* name = entry_.cFileName;
        if (entry_.IsDirectory()) {
            if (IsDotEntry(name) || limits_.Excludes(name)) continue;
            // A link to a folder is visited like any folder but never
            // entered, as it may lead back up the tree.
            if (includeSubfolders_ && IsDescendableFolder(entry_) && limits_.MayEnter(name) &&
                !queue_.Append(folder_, name))
                return WalkEnd::OutOfMemory;
        } else if (limits_.Excludes(name)) {
            continue;
        }
        if (!limits_.Lists(name)) continue;
        if (visitor.Visit(entry) == WalkStep::Stop) return WalkEnd::Stopped;
    }
    return WalkEnd::Ended;
}

}  // namespace tolvane
