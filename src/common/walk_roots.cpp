#include "common/walk_roots.h"

#include <algorithm>
#include <string_view>

#include "platform/folder_identity.h"
#include "platform/path.h"
#include "platform/text.h"

namespace tolvane {
namespace {

bool IsSeparator(char c) { return c == platform::PathSeparator || c == '/'; }

// The key under which the file system knows a folder: its canonical path when
// it resolves, else its text; separators unified, no trailing separator except
// at a root, lower-cased where names ignore case. Keys of a folder and of a
// folder inside it differ by a separator and more names.
std::string FolderKey(const std::string& location)
{
    std::string key = platform::CanonicalFolderPath(location);
    if (key.empty()) key = location;
    for (char& c : key) {
        if (IsSeparator(c)) c = platform::PathSeparator;
    }
    while (key.size() > 1 && key.back() == platform::PathSeparator && !(key.size() == 3 && key[1] == ':'))
        key.pop_back();
    if (platform::FolderNamesIgnoreCase()) {
        for (char& c : key) c = platform::LowerAnsi(c);
    }
    return key;
}

bool LiesInside(std::string_view inner, std::string_view outer)
{
    if (inner.size() <= outer.size() || !inner.starts_with(outer)) return false;
    return outer.back() == platform::PathSeparator || inner[outer.size()] == platform::PathSeparator;
}

}  // namespace

std::vector<std::string> WalkRoots(const std::vector<std::string>& locations, bool includeSubfolders)
{
    std::vector<std::string> keys;
    keys.reserve(locations.size());
    for (const std::string& location : locations) keys.push_back(FolderKey(location));

    std::vector<std::string> roots;
    for (size_t i = 0; i < locations.size(); ++i) {
        bool covered = false;
        for (size_t j = 0; j < locations.size() && !covered; ++j) {
            if (j == i) continue;
            // Of two equal keys the earlier location stays.
            if (keys[j] == keys[i]) covered = j < i;
            else covered = includeSubfolders && LiesInside(keys[i], keys[j]);
        }
        if (!covered) roots.push_back(locations[i]);
    }
    return roots;
}

}  // namespace tolvane
