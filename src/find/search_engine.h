// The Find search: its state, the events it reports, and the worker that
// walks the locations breadth-first, applies the rules to every entry and
// writes the found files and folders into the result lists. Window-free: the
// Windows page shows the events on its controls (find_page_presenter.h) and
// starts the worker on a thread; the command line prints what it needs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/action_target.h"
#include "common/error_log.h"
#include "common/file_records.h"
#include "common/folder_queue.h"
#include "common/prompter.h"
#include "common/result_list.h"
#include "common/walk_limits.h"
#include "find/criteria.h"
#include "find/locations.h"

namespace tolvane {

enum class SearchRunState : int32_t { Idle = 0, Running = 1, Finished = 2 };
// Progress: the walk runs; TraversalDone: it has ended and the rows are being
// written; Final: the search has finished.
enum class FindStatusEvent : int32_t { Progress = 100, TraversalDone = 110, Final = 111 };

// Columns of the Files list (Name, Path, Size, Modified) and the Folders list
// (Name, Path, Modified).
inline constexpr int NameColumn = 0;
inline constexpr int PathColumn = 1;
inline constexpr int FileSizeColumn = 2;
inline constexpr int FileModifiedColumn = 3;
inline constexpr int FolderModifiedColumn = 2;

// The Find page's state. The user-interface thread writes the criteria (the
// search target among them) and the locations while no search runs, and during a search only stopRequested; it
// reads the run state, the counts and elapsedMs at any time.
struct FindState {
    SearchCriteria criteria;
    LocationList locations;
    // Set by the command line only: limits of the walk, and lists without the
    // window's MaxListEntries rows.
    WalkLimits walkLimits;
    bool unlimitedRows = false;

    FileRecords foundFiles;
    FileRecords foundFolders;
    RowIndex fileRows;
    RowIndex folderRows;
    FolderQueue folderQueue;

    std::atomic<SearchRunState> runState{SearchRunState::Idle};
    std::atomic<bool> stopRequested{false};
    // True while the walk runs: the page's timer refreshes the status then.
    std::atomic<bool> traversalRunning{false};
    // The walk's duration once it has ended.
    std::atomic<uint32_t> elapsedMs{0};
    std::atomic<int32_t> foundFileCount{0};
    std::atomic<int32_t> foundFolderCount{0};
};

// What a search reports besides the rows it writes, from the thread it runs
// on. A front end overrides only what it shows.
class FindRunView {
public:
    virtual ~FindRunView() = default;
    // Running once the start checks have passed, Finished at every end after
    // them (the rows written, or none when memory ran out), Idle on a reset.
    virtual void RunStateChanged(SearchRunState /*state*/) {}
    // Progress when the walk starts, TraversalDone when it has ended.
    virtual void StatusChanged(FindStatusEvent /*event*/) {}
    // A file or folder the walk has just found, long before the rows are
    // written: the command line prints it at once.
    virtual void EntryFound(const FileRecord& /*record*/, bool /*folder*/) {}
};

// The three lists a search fills; errors go to the Error log through errorLog.
struct FindLists {
    FindLists(ResultList& filesList, ResultList& foldersList, ResultList& errorList)
        : files(filesList), folders(foldersList), errors(errorList), errorLog(errorList)
    {
    }

    ResultList& files;
    ResultList& folders;
    ResultList& errors;
    ErrorLog errorLog;
};

enum class SearchOutcome {
    NotStarted,  // a start check refused or the user answered No: nothing changed
    Completed,   // the walk ended (fully, by a stop or at a limit) and the rows are written
    Aborted,     // memory ran out: Finished at once, no rows written
};

// Runs one search, for the target in state.criteria, from the start checks
// to the Finished state.
SearchOutcome SearchWorker(FindState& state, FindRunView& view, Prompter& prompter, FindLists& lists);

// The page's Reset: frees the results, empties the lists and reports Idle.
void ResetFindRun(FindState& state, FindRunView& view, FindLists& lists);
// Adds an Error log row for path; at the limit it shows "Too many errors!" and
// requests a stop instead.
void AddFindErrorEntry(FindState& state, FindLists& lists, Prompter& prompter, const std::string& path,
                       uint32_t errorCode);

}  // namespace tolvane
