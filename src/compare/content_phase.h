// The content phases: every candidate set sorted by content, in the order of
// its lowest record, and the anchor scan replayed on it.
#pragma once

#include <atomic>

#include "common/file_records.h"
#include "compare/compare_engine.h"
#include "compare/key_grouping.h"

namespace tolvane {

// Groups the files of every set and writes the groups in anchor order into
// list; marks the truncated copies found in lists. A stop request ends the
// phase (and is cleared) with the groups confirmed so far.
void GroupSetsByContent(const FileRecords& records, const CompareOptions& options, ContentSource& source,
                        CompareEngineHost& host, std::atomic<bool>& stopRequested, const ContentLimits& limits,
                        const Classes& sets, CompareLists& lists, GroupList& list);

}  // namespace tolvane
