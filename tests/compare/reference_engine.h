// The duplicate grouping written as plain pairwise anchor scans, phase by
// phase, with every file compared to every later one. Slow and obviously
// right: the tests hold the real engine to its lists.
#pragma once

#include "compare/compare_engine.h"

namespace tolvane::test {

void RunReferencePhases(const FileRecords& records, const CompareOptions& countedOptions, ContentSource& source,
                        CompareEngineHost& host, CompareLists& lists);

}  // namespace tolvane::test
