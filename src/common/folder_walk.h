// The walk that Find and Compare share: the locations first, then their
// subfolders breadth-first in the order found, each folder listed once
// however it is reached, and every entry handed to a visitor. The walk keeps
// its own rules ("." and ".." skipped, links never entered, the walk limits,
// the stop check after each folder); the visitor decides what an entry is
// worth and whether the walk goes on.
#pragma once

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/folder_queue.h"
#include "common/walk_limits.h"
#include "platform/file_identity.h"
#include "platform/fs.h"

namespace tolvane {

enum class WalkStep { Continue, Stop };

// OutOfMemory: the queue, or the record of the folders listed, could not
// grow; the caller reports it ("Memory reallocation failed.").
enum class WalkEnd { Ended, Stopped, OutOfMemory };

// One entry of the folder being listed, its details not yet read.
class WalkEntry {
public:
    WalkEntry(const std::string& folder, FindData& data, platform::FolderListing& listing)
        : folder(folder), data(data), listing_(listing)
    {
    }

    // Reads the attributes, times and size; false (LastError() set) when they
    // cannot be read.
    bool FillDetails() { return listing_.FillDetails(data); }

    const std::string& folder;  // ends with the separator
    FindData& data;

private:
    platform::FolderListing& listing_;
};

class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    // Every entry but "." and "..", names the walk limits leave out, and names
    // that do not match the limits' name patterns (such a folder is still
    // entered). A folder is queued before its visit, whatever the answer.
    virtual WalkStep Visit(WalkEntry& entry) = 0;
    // A queued folder whose listing could not be opened.
    virtual void FolderNotListed(const std::string& folder, uint32_t errorCode) = 0;
};

class FolderWalk {
public:
    // queue and limits must outlive the walk.
    FolderWalk(FolderQueue& queue, const WalkLimits& limits, bool includeSubfolders);

    // Queues the walk roots of the locations (common/walk_roots.h); false
    // when memory runs out.
    bool Start(const std::vector<std::string>& locations);
    // Lists the queue until it is done, the visitor answers Stop, or
    // stopRequested is found set after a folder (also after one that could
    // not be listed, so that a run of such folders ends at the first).
    WalkEnd Run(WalkVisitor& visitor, const std::atomic<bool>& stopRequested);

private:
    enum class Listed { First, Before, OutOfMemory };

    // Whether the folder was listed before, by its path or as the same folder
    // under another path: the walk roots list each location once, but a
    // folder can still be reached twice (mounted twice, or through a
    // junction), and a file found twice would be grouped with itself, where
    // "Mark all but first" would mark its only copy.
    Listed ListedBefore(const std::string& folder);
    WalkEnd ListFolder(WalkVisitor& visitor);

    FolderQueue& queue_;
    LimitedWalk limits_;
    const bool includeSubfolders_;
    std::unordered_set<std::string> listedPaths_;
    std::set<platform::FileIdentity> listedIdentities_;
    platform::FolderListing listing_;
    FindData entry_;
    std::string folder_;
};

}  // namespace tolvane
