// Limits a walk may be given besides the search rules: names to keep, names
// to leave out (a folder so named is not entered), a depth and staying on
// each location's device. The command line sets them; the window leaves them
// off, and then every check below is a no-op.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

class FolderQueue;

struct WalkLimits {
    // Wildcard patterns (common/name_pattern.h): when any is given, only
    // entries whose name matches one are listed; every folder is still entered.
    std::vector<std::string> namePatterns;
    // Entries whose name matches one of these are neither listed nor entered.
    std::vector<std::string> excludedPatterns;
    // 1 lists only the entries directly inside each location; 0 has no limit.
    uint32_t maxDepth = 0;
    bool oneFileSystem = false;
};

// The limits applied to one walk over a folder queue.
class LimitedWalk {
public:
    explicit LimitedWalk(const WalkLimits& limits) : limits_(limits) {}

    // After the queue holds its locations, before the first folder is
    // listed; false when memory runs out.
    bool Start(const FolderQueue& queue);
    // Before the entries of a queued folder are looked at; folder must stay
    // as it is until the next call.
    void StartFolder(const std::string& folder);

    bool Excludes(const char* name) const;
    bool Lists(const char* name) const;
    // Whether a subfolder of the current folder may be queued.
    bool MayEnter(const char* name);

private:
    const WalkLimits& limits_;
    struct Root {
        std::string path;
        uint64_t device = 0;
        bool deviceKnown = false;
    };
    bool Active() const { return limits_.maxDepth > 0 || limits_.oneFileSystem; }

    std::vector<Root> roots_;
    const Root* root_ = nullptr;
    const std::string* folder_ = nullptr;
    uint32_t depth_ = 0;  // of the current folder: 0 for a location
    std::string subfolder_;  // reserved once, so that MayEnter allocates nothing
};

}  // namespace tolvane
