// Limits shared by the engines.
#pragma once

#include <cstddef>

namespace tolvane {

// The most rows of the Find page's Files and Folders lists and of an error log.
inline constexpr int MaxListEntries = 32767;
// Entries added when a record array, its row index or the folder queue is full.
inline constexpr int ListGrowthStep = 100;
// The largest piece of a file read at once.
inline constexpr size_t ContentChunkSize = 10485760;

}  // namespace tolvane
