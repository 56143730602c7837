#include "find/search_engine.h"

#include <algorithm>
#include <new>

#include "common/constants.h"
#include "common/folder_walk.h"
#include "common/size_date_text.h"
#include "find/content_search.h"
#include "platform/error.h"
#include "platform/time.h"

namespace tolvane {
namespace {

constexpr const char* AbortedCaption = "Aborted";
constexpr const char* AllocationFailedText = "Memory allocation failed.";
constexpr const char* ReallocationFailedText = "Memory reallocation failed.";

// What examining one entry asks of the walk.
enum class Step { Next, EndWalk, AllocationFailed, ReallocationFailed };

bool AnyFolderRuleOn(const SearchCriteria& criteria)
{
    return criteria.dateRuleOn || criteria.nameRuleOn || criteria.timeRuleOn || criteria.attributeRuleOn;
}

// Applies the Find rules to each entry of the walk and stores those that pass.
class FindVisitor : public WalkVisitor {
public:
    FindVisitor(FindState& state, FindRunView& view, Prompter& prompter, FindLists& lists)
        : state_(state),
          criteria_(state.criteria),
          view_(view),
          prompter_(prompter),
          lists_(lists),
          content_(criteria_.contentText, criteria_.contentCaseSensitive)
    {
    }

    // False when memory ran out (reported).
    bool Walk(FolderWalk& walk)
    {
        const WalkEnd end = walk.Run(*this, state_.stopRequested);
        if (end == WalkEnd::OutOfMemory) prompter_.Message(ReallocationFailedText, AbortedCaption, MbIconHand);
        return end != WalkEnd::OutOfMemory && !outOfMemory_;
    }

    WalkStep Visit(WalkEntry& entry) override
    {
        current_ = &entry;
        const Step step = entry.data.IsDirectory() ? ExamineFolder() : ExamineFile();
        if (step == Step::Next) return WalkStep::Continue;
        outOfMemory_ = step != Step::EndWalk;
        return WalkStep::Stop;
    }

    void FolderNotListed(const std::string& folder, uint32_t errorCode) override
    {
        AddFindErrorEntry(state_, lists_, prompter_, folder, errorCode);
    }

private:
    Step ExamineFolder()
    {
        // The walk has queued the folder whatever the tests.
        if (criteria_.searchTarget == SearchTarget::Files || !criteria_.PassesName(current_->data)) return Step::Next;
        if (!current_->FillDetails()) return DetailsUnreadable();
        if (!PassesTimeAndAttributeRules()) return Step::Next;
        return Store(state_.foundFolders, state_.folderRows, state_.foundFolderCount, true,
                     "Too many folders found matching your criteria! Try to be more specific.");
    }

    // The tests are pure, so the ones that need only the name go first: an
    // entry that fails them costs no status call. The content rule, the one
    // that opens the file, stays last.
    Step ExamineFile()
    {
        const FindData& entry = current_->data;
        if (criteria_.searchTarget == SearchTarget::Folders || !criteria_.PassesExtension(entry) ||
            !criteria_.PassesName(entry))
            return Step::Next;
        if (!current_->FillDetails()) return DetailsUnreadable();
        if (!criteria_.PassesSize(entry) || !PassesTimeAndAttributeRules()) return Step::Next;
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
        filePath_.assign(current_->folder).append(current_->data.cFileName);
        AddFindErrorEntry(state_, lists_, prompter_, filePath_, errorCode);
        return state_.stopRequested.load() ? Step::EndWalk : Step::Next;
    }

    bool PassesTimeAndAttributeRules() const
    {
        const FindData& entry = current_->data;
        return criteria_.PassesDate(entry) && criteria_.PassesTime(entry) && criteria_.PassesAttributes(entry);
    }

    Step SearchContent(bool& passes)
    {
        // A file shorter than the text holds no occurrence in either mode, so it
        // is not even opened (an empty file never passes a content rule).
        if (criteria_.contentText.size() > current_->data.Size()) return Step::Next;
        filePath_.assign(current_->folder).append(current_->data.cFileName);
        const ContentResult result = content_.SearchFile(filePath_, current_->data.Size(), state_.stopRequested);
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
        if (!records.Add(current_->folder, current_->data)) {
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
    WalkEntry* current_ = nullptr;  // the entry being visited
    bool outOfMemory_ = false;
    std::string filePath_;
};

void WriteRows(const FindState& state, FindLists& lists)
{
    static const RecordColumns fileColumns{RecordCell::Name, RecordCell::Folder, RecordCell::Size, RecordCell::Modified};
    static const RecordColumns folderColumns{RecordCell::Name, RecordCell::Folder, RecordCell::Modified};
    lists.files.AppendRecordRows(state.foundFiles, state.fileRows, nullptr, fileColumns);
    lists.folders.AppendRecordRows(state.foundFolders, state.folderRows, nullptr, folderColumns);
}

void EnterRunning(FindState& state, FindRunView& view)
{
    state.runState.store(SearchRunState::Running);
    state.stopRequested.store(false);
    view.RunStateChanged(SearchRunState::Running);
}

void EnterFinished(FindState& state, FindRunView& view)
{
    state.runState.store(SearchRunState::Finished);
    state.folderQueue.Clear();
    view.RunStateChanged(SearchRunState::Finished);
}

// Ends a search that ran out of memory: Finished at once, no rows written.
SearchOutcome AbortForMemory(FindState& state, FindRunView& view)
{
    state.traversalRunning.store(false);
    EnterFinished(state, view);
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
    if (criteria.filtersSpecified && criteria.searchTarget != SearchTarget::Files && !AnyFolderRuleOn(criteria) &&
        prompter.Message("Are you sure you want to continue?", "No filters selected that can apply to folders",
                         MbQuestion) != IdYes)
        return SearchOutcome::NotStarted;

    EnterRunning(state, view);
    state.foundFileCount.store(0);
    state.foundFolderCount.store(0);
    const uint32_t startTick = platform::TickCount();
    try {
        FolderWalk walk(state.folderQueue, state.walkLimits, state.locations.includeSubfolders);
        if (!walk.Start(state.locations.locationPaths)) {
            prompter.Message(AllocationFailedText, AbortedCaption, MbIconHand);
            return AbortForMemory(state, view);
        }
        view.StatusChanged(FindStatusEvent::Progress);
        state.traversalRunning.store(true);
        const bool walked = FindVisitor(state, view, prompter, lists).Walk(walk);
        state.elapsedMs.store(platform::TickCount() - startTick);
        if (!walked) return AbortForMemory(state, view);
        state.traversalRunning.store(false);

        view.StatusChanged(FindStatusEvent::TraversalDone);
        WriteRows(state, lists);
    } catch (const std::bad_alloc&) {
        state.elapsedMs.store(platform::TickCount() - startTick);
        prompter.Message(AllocationFailedText, AbortedCaption, MbIconHand);
        lists.files.DeleteAllRows();
        lists.folders.DeleteAllRows();
        return AbortForMemory(state, view);
    }
    EnterFinished(state, view);
    return SearchOutcome::Completed;
}

void ResetFindRun(FindState& state, FindRunView& view, FindLists& lists)
{
    state.runState.store(SearchRunState::Idle);
    lists.errorLog.Clear();
    state.foundFiles.Clear();
    state.foundFolders.Clear();
    state.fileRows = RowIndex();
    state.folderRows = RowIndex();
    state.foundFileCount.store(0);
    state.foundFolderCount.store(0);
    for (ResultList* list : {&lists.files, &lists.folders, &lists.errors}) list->DeleteAllRows();
    view.RunStateChanged(SearchRunState::Idle);
}

void AddFindErrorEntry(FindState& state, FindLists& lists, Prompter& prompter, const std::string& path,
                       uint32_t errorCode)
{
    if (!lists.errorLog.Add(path, errorCode, prompter)) state.stopRequested.store(true);
}

}  // namespace tolvane
