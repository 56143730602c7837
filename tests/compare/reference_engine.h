// The duplicate grouping written as plain pairwise anchor scans, phase by
// phase, with every file compared to every later one. Slow and obviously
// right: the tests hold the real engine to its lists.
#pragma once

#include <cstddef>

#include "compare/compare_engine.h"

namespace tolvane::test {

// chunkSize: the piece a full comparison reads; a few bytes reach chunk edges with small files.
void RunReferencePhases(const FileRecords& records, const CompareOptions& countedOptions, ContentSource& source,
                        CompareEngineHost& host, CompareLists& lists, size_t chunkSize);

}  // namespace tolvane::test
