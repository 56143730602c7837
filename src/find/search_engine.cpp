#include "find/search_engine.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "common/constants.h"
#include "common/walk_roots.h"
#include "find/content_search.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/time.h"

namespace tolvane {
namespace {

constexpr const char* AbortedCaption = "Aborted";
constexpr const char* AllocationFailedText = "Memory allocation failed.";
constexpr const char* ReallocationFailedText = "Memory reallocation failed.";

enum class WalkEnd { Ended, AllocationFailed, ReallocationFailed };
// What examining one entry asks of the walk.
enum class Step { Next, EndWalk, AllocationFailed, ReallocationFailed };

bool AnyFolderRuleOn(const SearchCriteria& criteria)
{
    return criteria.dateRuleOn || criteria.nameRuleOn || criteria.timeRuleOn || criteria.attributeRuleOn;
}

// "%i.%i sec.": whole seconds and one truncated tenth.
std::string SecondsText(uint32_t elapsedMs)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u sec.", elapsedMs / 1000, elapsedMs % 1000 / 100);
    return text;
}

// The breadth-first walk of one search over the folder queue.
class Walk {
public:
    Walk(FindState& state, FindRunView& view, Prompter& prompter, FindLists& lists)
        : state_(state),
          criteria_(state.criteria),
          view_(view),
          prompter_(prompter),
          lists_(lists),
          content_(criteria_.contentText, criteria_.contentCaseSensitive),
          limits_(state.walkLimits)
    {
    }

    WalkEnd Run()
    {
        if (!limits_.Start(state_.folderQueue)) {
            prompter_.Message(AllocationFailedText, AbortedCaption, MbIconHand);
            return WalkEnd::AllocationFailed;
        }
        for (size_t index = 0; index < state_.folderQueue.Count(); ++index) {
            // Also seen after a folder that could not be listed, so that a run
            // of failures after "Too many errors!" asks nothing more.
            if (state_.stopRequested.load()) break;
            folder_ = state_.folderQueue[index];  // a copy: the queue grows while listing
            limits_.StartFolder(folder_);
            if (!listing_.Open(folder_)) {
                AddFindErrorEntry(state_, lists_, prompter_, folder_, platform::LastError());
                continue;
            }
            const Step step = ListFolder();
            listing_.Close();
            if (step == Step::AllocationFailed) return WalkEnd::AllocationFailed;
            if (step == Step::ReallocationFailed) return WalkEnd::ReallocationFailed;
            if (step == Step::EndWalk) break;
        }
        return WalkEnd::Ended;
    }

private:
    Step ListFolder()
    {
        while (listing_.Next(entry_, false)) {
            const Step step = entry_.IsDirectory() ? ExamineFolder() : ExamineFile();
            if (step != Step::Next) return step;
        }
        return Step::Next;
    }

    Step ExamineFolder()
    {
        if (IsDotEntry(entry_.cFileName) || limits_.Excludes(entry_.cFileName)) return Step::Next;
        // Queued before and whatever the tests; a link to a folder is tested
        // like any folder but never entered, as it may lead back up the tree.
        if (state_.locations.includeSubfolders && IsDescendableFolder(entry_) && limits_.MayEnter(entry_.cFileName) &&
            !state_.folderQueue.Append(folder_, entry_.cFileName))
            return Step::ReallocationFailed;
        if (criteria_.searchTarget == SearchTarget::Files || !limits_.Lists(entry_.cFileName)) return Step::Next;
        if (criteria_.nameRuleOn &&
            !MatchName(entry_, criteria_.nameText, criteria_.nameMode, criteria_.nameCaseSensitive))
            return Step::Next;
        if (!listing_.FillDetails(entry_)) return DetailsUnreadable();
        if (!PassesTimeAndAttributeRules()) return Step::Next;
        return Store(state_.foundFolders, state_.folderRows, state_.foundFolderCount, true,
                     "Too many folders found matching your criteria! Try to be more specific.");
    }

    // The tests are pure, so the ones that need only the name go first: an
    // entry that fails them costs no status call. The content rule, the one
    // that opens the file, stays last.
    Step ExamineFile()
    {
        if (criteria_.searchTarget == SearchTarget::Folders || limits_.Excludes(entry_.cFileName) ||
            !limits_.Lists(entry_.cFileName))
            return Step::Next;
        if (criteria_.extensionRuleOn && !MatchExtensions(entry_, criteria_.extensionList, criteria_.extensionMode))
            return Step::Next;
        if (criteria_.nameRuleOn &&
            !MatchName(entry_, criteria_.nameText, criteria_.nameMode, criteria_.nameCaseSensitive))
            return Step::Next;
        if (!listing_.FillDetails(entry_)) return DetailsUnreadable();
        if (criteria_.sizeRuleOn && !MatchSize(entry_, criteria_.sizeFrom, criteria_.sizeTo, criteria_.sizeMode))
            return Step::Next;
        if (!PassesTimeAndAttributeRules()) return Step::Next;
        if (criteria_.contentRuleOn) {
            bool passes = false;
            const Step step = SearchContent(passes);
            if (step != Step::Next || !passes) return step;
        }
        return Store(state_.foundFiles, state_.fileRows, state_.foundFileCount, false,
                     "Too many files found matching your criteria! Try to be more specific.");
    }

    // An entry listed by name whose details cannot be read is logged, unless
    // it is gone since it was listed.
    Step DetailsUnreadable()
    {
        const uint32_t errorCode = platform::LastError();
        if (platform::IsVanishedError(errorCode)) return Step::Next;
        filePath_.assign(folder_).append(entry_.cFileName);
        AddFindErrorEntry(state_, lists_, prompter_, filePath_, errorCode);
        return state_.stopRequested.load() ? Step::EndWalk : Step::Next;
    }

    bool PassesTimeAndAttributeRules() const
    {
        if (criteria_.dateRuleOn &&
            !MatchDate(entry_, criteria_.dateFrom, criteria_.dateTo, criteria_.dateKind, criteria_.dateRelation))
            return false;
        if (criteria_.timeRuleOn &&
            !MatchTime(entry_, criteria_.timeFrom, criteria_.timeTo, criteria_.timeKind, criteria_.timeRelation))
            return false;
        return !criteria_.attributeRuleOn ||
               MatchAttributes(entry_, criteria_.attributeFlags, criteria_.attributeMode);
    }

    Step SearchContent(bool& passes)
    {
        // A file shorter than the text holds no occurrence in either mode, so it
        // is not even opened (an empty file never passes a content rule).
        if (criteria_.contentText.size() > entry_.Size()) return Step::Next;
        filePath_.assign(folder_).append(entry_.cFileName);
        const ContentResult result = content_.SearchFile(filePath_, entry_.Size(), state_.stopRequested);
        switch (result) {
        case ContentResult::OutOfMemory:
            prompter_.Message(AllocationFailedText, AbortedCaption, MbIconHand);
            return Step::AllocationFailed;
        case ContentResult::OpenFailed:
        case ContentResult::ReadFailed:
            // Not listed: what the unread bytes hold is unknown in either mode.
            // A stop (a Cancel, or "Too many errors!") is looked at here too, so
            // that a folder of such files adds no row, and asks nothing, after it.
            AddFindErrorEntry(state_, lists_, prompter_, filePath_, content_.ErrorCode());
            return state_.stopRequested.load() ? Step::EndWalk : Step::Next;
        case ContentResult::Stopped: return Step::EndWalk;
        case ContentResult::Found:
        case ContentResult::NotFound: break;
        }
        if (state_.stopRequested.load()) return Step::EndWalk;
        passes = (result == ContentResult::Found) == (criteria_.contentMode == ContentRuleMode::Containing);
        return Step::Next;
    }

    Step Store(FileRecords& records, RowIndex& rows, std::atomic<int32_t>& count, bool folder, const char* limitText)
    {
        if (rows.size() == rows.capacity()) {
            try {
                // Without a row limit, steps of a fixed size would copy the index
                // over and over.
                rows.reserve(rows.capacity() + (state_.unlimitedRows ? std::max<size_t>(rows.capacity(), ListGrowthStep)
                                                                     : ListGrowthStep));
            } catch (const std::bad_alloc&) {
                prompter_.Message(ReallocationFailedText, AbortedCaption, MbIconHand);
                return Step::ReallocationFailed;
            }
        }
        if (!records.Add(folder_, entry_)) {
            prompter_.Message(ReallocationFailedText, AbortedCaption, MbIconHand);
            return Step::ReallocationFailed;
        }
        const uint32_t number = records.Count() - 1;
        rows.push_back(number);
        count.store(static_cast<int32_t>(number + 1));
        view_.EntryFound(records[number], folder);
        if (state_.unlimitedRows || number + 1 < static_cast<uint32_t>(MaxListEntries)) return Step::Next;
        prompter_.Message(limitText, AbortedCaption, MbIconHand);
        state_.stopRequested.store(true);
        return Step::EndWalk;
    }

    FindState& state_;
    const SearchCriteria& criteria_;
    FindRunView& view_;
    Prompter& prompter_;
    FindLists& lists_;
    ContentSearch content_;
    LimitedWalk limits_;
    platform::FolderListing listing_;
    FindData entry_;
    std::string folder_;
    std::string filePath_;
};

void WriteRows(const FindState& state, FindLists& lists)
{
    static const RecordColumns fileColumns{RecordCell::Name, RecordCell::Folder, RecordCell::Size, RecordCell::Modified};
    static const RecordColumns folderColumns{RecordCell::Name, RecordCell::Folder, RecordCell::Modified};
    lists.files.AppendRecordRows(state.foundFiles, state.fileRows, nullptr, fileColumns);
    lists.folders.AppendRecordRows(state.foundFolders, state.folderRows, nullptr, folderColumns);
}

// Ends a search that ran out of memory: Finished at once, no rows written.
SearchOutcome AbortForMemory(FindState& state, FindRunView& view, FindLists& lists)
{
    state.traversalRunning.store(false);
    SetFindRunState(state, view, lists, SearchRunState::Finished);
    return SearchOutcome::Aborted;
}

}  // namespace

SearchOutcome SearchWorker(FindState& state, FindRunView& view, Prompter& prompter, FindLists& lists)
{
    SearchCriteria& criteria = state.criteria;
    if (!state.locations.locationsSpecified) {
        prompter.Message("You must specify in which location(s) to search!", "Cannot continue", MbIconInformation);
        return SearchOutcome::NotStarted;
    }
    if (!criteria.filtersSpecified &&
        prompter.Message("Are you sure you want to continue?", "No filters selected", MbQuestion) != IdYes)
        return SearchOutcome::NotStarted;
    criteria.searchTarget = view.SelectedTarget();
    if (criteria.filtersSpecified && criteria.searchTarget != SearchTarget::Files && !AnyFolderRuleOn(criteria) &&
        prompter.Message("Are you sure you want to continue?", "No filters selected that can apply to folders",
                         MbQuestion) != IdYes)
        return SearchOutcome::NotStarted;

    SetFindRunState(state, view, lists, SearchRunState::Running);
    state.foundFileCount.store(0);
    state.foundFolderCount.store(0);
    const uint32_t startTick = platform::TickCount();
    try {
        // Each folder once, however the locations overlap.
        if (!state.folderQueue.Start(WalkRoots(state.locations.locationPaths, state.locations.includeSubfolders))) {
            prompter.Message(AllocationFailedText, AbortedCaption, MbIconHand);
            return AbortForMemory(state, view, lists);
        }
        UpdateFindStatus(state, view, FindStatusEvent::Progress);
        state.traversalRunning.store(true);
        const WalkEnd end = Walk(state, view, prompter, lists).Run();
        state.elapsedMs.store(platform::TickCount() - startTick);
        if (end != WalkEnd::Ended) return AbortForMemory(state, view, lists);
        state.traversalRunning.store(false);

        UpdateFindStatus(state, view, FindStatusEvent::TraversalDone);
        view.SetSearchButtonText("Wait...");
        WriteRows(state, lists);
    } catch (const std::bad_alloc&) {
        state.elapsedMs.store(platform::TickCount() - startTick);
        prompter.Message(AllocationFailedText, AbortedCaption, MbIconHand);
        lists.files.DeleteAllRows();
        lists.folders.DeleteAllRows();
        return AbortForMemory(state, view, lists);
    }
    SetFindRunState(state, view, lists, SearchRunState::Finished);
    return SearchOutcome::Completed;
}

void SetFindRunState(FindState& state, FindRunView& view, FindLists& lists, SearchRunState mode)
{
    switch (mode) {
    case SearchRunState::Running:
        state.runState.store(SearchRunState::Running);
        state.stopRequested.store(false);
        view.SetOptionsCaption("");
        view.ShowOptions(false);
        view.SetStatusText("Starting...");
        view.ShowStatus(true);
        view.SetSearchButtonText("Cancel");
        view.StartProgressTimer();
        break;
    case SearchRunState::Finished: {
        state.runState.store(SearchRunState::Finished);
        state.folderQueue.Clear();
        view.StopProgressTimer();
        view.SetSearchButtonText("Reset");
        UpdateFindStatus(state, view, FindStatusEvent::Final);
        view.EnableActions(true);
        const bool anyFiles = lists.files.RowCount() > 0;
        const bool anyFolders = lists.folders.RowCount() > 0;
        const bool anyErrors = lists.errorLog.Count() > 0;
        if (anyFiles) lists.files.SetEnabled(true);
        if (anyFolders) lists.folders.SetEnabled(true);
        if (anyErrors) lists.errors.SetEnabled(true);
        if (anyFiles)
            view.SelectTab(FilesTab);
        else if (anyFolders)
            view.SelectTab(FoldersTab);
        else if (anyErrors)
            view.SelectTab(ErrorLogTab);
        break;
    }
    case SearchRunState::Idle:
        state.runState.store(SearchRunState::Idle);
        lists.errorLog.Clear();
        state.foundFiles.Clear();
        state.foundFolders.Clear();
        state.fileRows = RowIndex();
        state.folderRows = RowIndex();
        state.foundFileCount.store(0);
        state.foundFolderCount.store(0);
        view.SetOptionsCaption("Options");
        view.ShowOptions(true);
        view.ShowStatus(false);
        view.SetSearchButtonText("Search");
        view.EnableActions(false);
        view.SetStatusText("");
        for (ResultList* list : {&lists.files, &lists.folders, &lists.errors}) {
            list->DeleteAllRows();
            list->SetEnabled(false);
        }
        break;
    }
}

std::string FindStatusText(const FindState& state, FindStatusEvent event)
{
    const int32_t files = state.foundFileCount.load();
    const int32_t folders = state.foundFolderCount.load();
    const bool somethingFound = files != 0 || folders != 0;
    const bool stopped = state.stopRequested.load();
    const std::string seconds = SecondsText(state.elapsedMs.load());

    std::string text;
    switch (event) {
    case FindStatusEvent::Progress: text = "Searching..."; break;
    case FindStatusEvent::TraversalDone:
        if (stopped)
            text = "Search procedure aborted after " + seconds + (somethingFound ? " Writing result..." : "");
        else
            text = "Search procedure finished in " + seconds + (somethingFound ? "  Writing result..." : "");
        break;
    case FindStatusEvent::Final:
        text = (stopped ? "Search procedure aborted after " : "Search procedure finished in ") + seconds;
        break;
    }
    text += '\n';

    char counts[96];
    if (!somethingFound)
        std::snprintf(counts, sizeof counts, "Nothing matched your criteria");
    else if (state.criteria.searchTarget == SearchTarget::Folders)
        std::snprintf(counts, sizeof counts, "%i folders matched your criteria", folders);
    else if (state.criteria.searchTarget == SearchTarget::FilesAndFolders)
        std::snprintf(counts, sizeof counts, "%i files and %i folders matched your criteria", files, folders);
    else
        std::snprintf(counts, sizeof counts, "%i files matched your criteria", files);
    return text + counts;
}

void UpdateFindStatus(const FindState& state, FindRunView& view, FindStatusEvent event)
{
    if (event == FindStatusEvent::Final)
        view.SetIndicator(state.stopRequested.load() ? IndicatorState::Indeterminate : IndicatorState::Checked);
    view.SetStatusText(FindStatusText(state, event));
}

void AddFindErrorEntry(FindState& state, FindLists& lists, Prompter& prompter, const std::string& path,
                       uint32_t errorCode)
{
    if (!lists.errorLog.Add(path, errorCode, prompter)) state.stopRequested.store(true);
}

}  // namespace tolvane
