// The Find search: its state, the run view it drives, and the worker that
// walks the locations breadth-first, applies the rules to every entry and
// writes the found files and folders into the result lists. Window-free: the
// Windows page implements the run view on its controls and starts the worker
// on a thread; the command line implements it on its error stream.
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
enum class FindStatusEvent : int32_t { Progress = 100, TraversalDone = 110, Final = 111 };
// The three states of the status indicator (a three-state check box).
enum class IndicatorState : int32_t { Unchecked = 0, Checked = 1, Indeterminate = 2 };

// Tabs of the result lists, in the tab control's order.
inline constexpr int FilesTab = 0;
inline constexpr int FoldersTab = 1;
inline constexpr int ErrorLogTab = 2;

// Columns of the Files list (Name, Path, Size, Modified) and the Folders list
// (Name, Path, Modified).
inline constexpr int NameColumn = 0;
inline constexpr int PathColumn = 1;
inline constexpr int FileSizeColumn = 2;
inline constexpr int FileModifiedColumn = 3;
inline constexpr int FolderModifiedColumn = 2;

// The Find page's state. The user-interface thread writes the criteria and the
// locations while no search runs, and during a search only stopRequested; it
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

// What a search does to the Find page besides its lists.
class FindRunView {
public:
    virtual ~FindRunView() = default;

    // The search target chosen on the page when the search starts.
    virtual SearchTarget SelectedTarget() const = 0;
    // The caption of the options group box ("Options", or empty while running).
    virtual void SetOptionsCaption(const std::string& caption) = 0;
    // The target choice and the filters and locations buttons.
    virtual void ShowOptions(bool shown) = 0;
    // The status indicator and the status text.
    virtual void ShowStatus(bool shown) = 0;
    virtual void SetIndicator(IndicatorState state) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The main button: "Search", "Cancel", "Wait..." or "Reset".
    virtual void SetSearchButtonText(const std::string& text) = 0;
    // The 300 ms timer that calls UpdateFindStatus(Progress) during the walk.
    virtual void StartProgressTimer() = 0;
    virtual void StopProgressTimer() = 0;
    virtual void EnableActions(bool enabled) = 0;
    virtual void SelectTab(int tab) = 0;
    // A file or folder the walk has just found, long before the rows are
    // written: the command line prints it at once, the page has no use for it.
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

// Runs one search from the start checks to the Finished state.
SearchOutcome SearchWorker(FindState& state, FindRunView& view, Prompter& prompter, FindLists& lists);

void SetFindRunState(FindState& state, FindRunView& view, FindLists& lists, SearchRunState mode);
void UpdateFindStatus(const FindState& state, FindRunView& view, FindStatusEvent event);
// The two status lines for an event, joined by a line break.
std::string FindStatusText(const FindState& state, FindStatusEvent event);
// Adds an Error log row for path; at the limit it shows "Too many errors!" and
// requests a stop instead.
void AddFindErrorEntry(FindState& state, FindLists& lists, Prompter& prompter, const std::string& path,
                       uint32_t errorCode);

}  // namespace tolvane
