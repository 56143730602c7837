#include "compare/content_phase.h"

#include "compare/anchor_replay.h"
#include "compare/content_sort.h"

namespace tolvane {

void GroupSetsByContent(const FileRecords& records, const CompareOptions& options, ContentSource& source,
                        CompareEngineHost& host, std::atomic<bool>& stopRequested, const ContentLimits& limits,
                        const Classes& sets, CompareLists& lists, GroupList& list)
{
    uint64_t totalBytes = 0;
    for (uint32_t record : sets.members) totalBytes += records.Size(record);
    ContentProgress progress(host, sets.members.size(), totalBytes);
    ContentSorter sorter(records, source, host, stopRequested, limits, progress);
    AnchorReplay replay(options.dontGroupTruncated, lists);
    bool completed = true;
    for (size_t s = 0; s < sets.Count(); ++s) {
        const uint32_t begin = sets.Begin(s);
        uint64_t setBytes = 0;
        for (uint32_t m = begin; m < sets.ends[s]; ++m) setBytes += records.Size(sets.members[m]);
        progress.BeginSet(sets.ends[s] - begin, setBytes);
        const bool sorted = sorter.Sort(&sets.members[begin], sets.ends[s] - begin);
        replay.Replay(sorter);
        sorter.Clear();
        if (!sorted) {
            stopRequested.store(false);
            completed = false;
            break;
        }
        progress.EndSet();
    }
    if (completed) progress.Finish();
    replay.WriteGroups(list);
}

}  // namespace tolvane
