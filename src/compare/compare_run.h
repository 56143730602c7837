// A compare run: the start checks, the walk that collects the files passing
// the Compare filters, the grouping, and the writing of the six lists, with
// the run states. Window-free: the page (compare_page_presenter.h) or the
// command line supplies a view of the run's events, a prompter and the
// result lists.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/error_log.h"
#include "common/file_records.h"
#include "common/folder_queue.h"
#include "common/list_operations.h"
#include "common/prompter.h"
#include "common/result_list.h"
#include "common/walk_limits.h"
#include "compare/compare_criteria.h"
#include "compare/compare_engine.h"

namespace tolvane {

enum class CompareRunState : int32_t { Idle = 0, Running = 1, Finished = 2 };

// The Compare page's tabs, in their order.
enum class CompareTab : int { Combined = 0, Content, Name, Size, Truncated, ZeroSize, ErrorLog };
inline constexpr int CompareTabCount = 7;

// What a run reports besides the rows it writes, from the thread it runs on.
// A front end overrides only what it shows.
class CompareRunView {
public:
    virtual ~CompareRunView() = default;
    // Running once the start checks have passed, Finished at every end after
    // them, Idle on a reset.
    virtual void RunStateChanged(CompareRunState /*state*/) {}
    // The steps of a run, in their order: collecting the files, each phase
    // of the grouping, writing the lists.
    virtual void CollectingFiles() {}
    virtual void PhaseEntered(ComparePhase /*phase*/) {}
    virtual void WritingLists() {}
    virtual void ReportProgress(const CompareProgress& /*progress*/) {}
};

// The seven lists of the page, in tab order. The run writes into those that
// are given; a caller that reads the engine's lists directly (the command
// line) may leave the six result lists out.
struct CompareResultLists {
    ResultList* lists[CompareTabCount] = {};

    ResultList* operator[](CompareTab tab) const { return lists[static_cast<int>(tab)]; }
};

// The ports of a caller that keeps one list per tab.
template <class List>
CompareResultLists ResultListsOf(List (&lists)[CompareTabCount])
{
    CompareResultLists ports;
    for (int tab = 0; tab < CompareTabCount; ++tab) ports.lists[tab] = &lists[tab];
    return ports;
}

struct CompareRunSettings {
    bool locationsSpecified = false;
    std::vector<std::string> locationPaths;
    bool includeSubfolders = true;
    CompareCriteria criteria;
    CompareOptions boxes;  // the check boxes as they stand when the run starts
    WalkLimits walkLimits;  // the command line's; the page sets none
};

// The checks that refuse a run before it starts (no location, nothing to
// compare by), each with its message. True when the run may start.
bool CompareRunMayStart(const CompareRunSettings& settings, Prompter& prompter);

class CompareRun;
// True when the groups of the run's list on tab are of equal content: Same
// content, and Combined when content was compared.
bool GroupsOfEqualContent(const CompareRun& run, CompareTab tab);

class CompareRun {
public:
    CompareRun(CompareRunView& view, Prompter& prompter, ContentSource& source, const CompareResultLists& lists);

    // The worker's body: returns when the run is refused (still Idle) or
    // finished (every end after the start checks).
    void Run(const CompareRunSettings& settings);
    // From the user-interface thread: ends the walk or a content-reading phase.
    void RequestStop() { stopRequested_.store(true); }
    std::atomic<bool>& StopFlag() { return stopRequested_; }

    // The page's Reset: frees the results, empties the lists and reports Idle.
    void Reset();
    CompareRunState RunState() const { return runState_.load(); }

    const FileRecords& Records() const { return records_; }
    // The options the last run was counted with.
    const CompareOptions& Options() const { return options_; }
    // The row indexes the result actions work on.
    CompareLists& Lists() { return lists_; }
    const CompareLists& Lists() const { return lists_; }
    int ErrorCount() const { return errorLog_.Count(); }
    // False when the run ended without lists (memory ran out).
    bool ListsWritten() const { return listsWritten_; }

    void AddCompareErrorEntry(const std::string& path, uint32_t errorCode);

    // For tests and benchmarks: the content phases' buffer limits.
    void SetContentLimits(const ContentLimits& limits) { limits_ = limits; }

private:
    enum class WalkOutcome { Completed, OutOfMemory };

    WalkOutcome CollectFiles(const CompareRunSettings& settings);
    void WriteLists();
    void Abort(const char* text);
    void Finish();

    CompareRunView& view_;
    Prompter& prompter_;
    ContentSource& source_;
    CompareResultLists resultLists_;
    MemoryResultList unusedErrorLog_;
    ErrorLog errorLog_;
    ContentLimits limits_;

    std::atomic<CompareRunState> runState_{CompareRunState::Idle};
    std::atomic<bool> stopRequested_{false};
    FolderQueue folderQueue_;
    FileRecords records_;
    CompareLists lists_;
    CompareOptions options_;
    bool listsWritten_ = false;
};

}  // namespace tolvane
