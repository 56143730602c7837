// The folders a walk starts from, derived from an accepted locations list so
// that every folder is listed at most once: the list a user sees may hold one
// folder twice (in two spellings) or, with subfolders included, a folder that
// lies inside another one, and a walk over both would collect the same files
// twice and pair each with itself as a duplicate.
#pragma once

#include <string>
#include <vector>

namespace tolvane {

// The locations in their list order, less every location that names the same
// folder as an earlier kept one and, with includeSubfolders, every location
// that lies inside another location, whatever their order.
std::vector<std::string> WalkRoots(const std::vector<std::string>& locations, bool includeSubfolders);

}  // namespace tolvane
