#include "compare/compare_run.h"

#include <new>
#include <utility>

#include "common/folder_walk.h"
#include "platform/error.h"

namespace tolvane {
namespace {

// Passes the engine's reports on to the page.
class RunHost : public CompareEngineHost {
public:
    RunHost(CompareRunView& view, CompareRun& run) : view_(view), run_(run) {}
    void PhaseEntered(ComparePhase phase) override { view_.PhaseEntered(phase); }
    void ReportProgress(const CompareProgress& progress) override { view_.ReportProgress(progress); }
    void AddCompareErrorEntry(const std::string& path, uint32_t errorCode) override
    {
        run_.AddCompareErrorEntry(path, errorCode);
    }

private:
    CompareRunView& view_;
    CompareRun& run_;
};

// Collects the files of the walk that pass the Compare filters.
class FileCollector : public WalkVisitor {
public:
    FileCollector(CompareRun& run, FileRecords& records, const CompareCriteria& criteria,
                  const std::atomic<bool>& stopRequested)
        : run_(run), records_(records), criteria_(criteria), stopRequested_(stopRequested)
    {
    }

    bool OutOfMemory() const { return outOfMemory_; }

    WalkStep Visit(WalkEntry& entry) override
    {
        FindData& data = entry.data;
        // A link to a file is left out as a link to a folder is left unwalked:
        // its own details say nothing of the file it names.
        if (data.IsDirectory() || data.IsReparsePoint()) return WalkStep::Continue;
        if (!entry.FillDetails()) {
            const uint32_t errorCode = platform::LastError();
            if (!platform::IsVanishedError(errorCode))
                run_.AddCompareErrorEntry(entry.folder + data.cFileName, errorCode);
            return stopRequested_.load() ? WalkStep::Stop : WalkStep::Continue;
        }
        if (data.IsDirectory() || !criteria_.Passes(data)) return WalkStep::Continue;  // became a folder
        if (records_.Add(entry.folder, data)) return WalkStep::Continue;
        outOfMemory_ = true;
        return WalkStep::Stop;
    }

    void FolderNotListed(const std::string& folder, uint32_t errorCode) override
    {
        run_.AddCompareErrorEntry(folder, errorCode);
    }

private:
    CompareRun& run_;
    FileRecords& records_;
    const CompareCriteria& criteria_;
    const std::atomic<bool>& stopRequested_;
    bool outOfMemory_ = false;
};

// The columns of the four grouped lists, of Truncated and of Zero size.
const RecordColumns GroupListColumns{RecordCell::Empty, RecordCell::Group, RecordCell::Name,
                                     RecordCell::Folder, RecordCell::SizeBytes, RecordCell::Modified};
const RecordColumns TruncatedColumns{RecordCell::Empty, RecordCell::Name, RecordCell::Folder, RecordCell::SizeBytes,
                                     RecordCell::Modified};
const RecordColumns ZeroSizeColumns{RecordCell::Empty, RecordCell::Name, RecordCell::Folder, RecordCell::Created};

void WriteList(const RowIndex& rows, const std::vector<uint32_t>* groups, const FileRecords& records,
               const RecordColumns& columns, ResultList* target)
{
    if (target) target->AppendRecordRows(records, rows, groups, columns);
}

}  // namespace

CompareRun::CompareRun(CompareRunView& view, Prompter& prompter, ContentSource& source,
                       const CompareResultLists& lists)
    : view_(view), prompter_(prompter), source_(source), resultLists_(lists),
      errorLog_(lists[CompareTab::ErrorLog] ? *lists[CompareTab::ErrorLog] : unusedErrorLog_)
{
}

bool CompareRunMayStart(const CompareRunSettings& settings, Prompter& prompter)
{
    if (!settings.locationsSpecified) {
        prompter.Message("You must specify in which location(s) to search!", "Cannot continue", MbIconInformation);
        return false;
    }
    const CompareOptions& boxes = settings.boxes;
    if (!boxes.matchContent && !boxes.matchName && !boxes.matchSize) {
        prompter.Message("You must specify what to compare (content, names and/or sizes)!", "Cannot continue",
                         MbIconInformation);
        return false;
    }
    return true;
}

void CompareRun::AddCompareErrorEntry(const std::string& path, uint32_t errorCode)
{
    if (!errorLog_.Add(path, errorCode, prompter_)) stopRequested_.store(true);
}

bool GroupsOfEqualContent(const CompareRun& run, CompareTab tab)
{
    return tab == CompareTab::Content || (tab == CompareTab::Combined && run.Options().matchContent);
}

void CompareRun::Abort(const char* text) { prompter_.Message(text, "Aborted", MbIconHand); }

void CompareRun::Run(const CompareRunSettings& settings)
{
    if (!CompareRunMayStart(settings, prompter_)) return;
    runState_.store(CompareRunState::Running);
    stopRequested_.store(false);
    view_.RunStateChanged(CompareRunState::Running);
    options_ = CountedOptions(settings.boxes);

    records_.Clear();
    lists_ = CompareLists{};
    listsWritten_ = false;
    errorLog_.Clear();

    if (CollectFiles(settings) == WalkOutcome::OutOfMemory) {
        Finish();
        return;
    }

    RunHost host(view_, *this);
    if (RunComparePhases(records_, options_, source_, host, stopRequested_, lists_, limits_) ==
        CompareOutcome::OutOfMemory) {
        lists_ = CompareLists{};
        Abort("Memory allocation failed.");
        Finish();
        return;
    }
    view_.WritingLists();
    try {
        WriteLists();
        listsWritten_ = true;
    } catch (const std::bad_alloc&) {
        for (int tab = 0; tab < static_cast<int>(CompareTab::ErrorLog); ++tab) {
            if (resultLists_.lists[tab]) resultLists_.lists[tab]->DeleteAllRows();
        }
        lists_ = CompareLists{};
        Abort("Memory allocation failed.");
    }
    Finish();
}

CompareRun::WalkOutcome CompareRun::CollectFiles(const CompareRunSettings& settings)
{
    view_.CollectingFiles();
    FolderWalk walk(folderQueue_, settings.walkLimits, settings.includeSubfolders);
    if (!walk.Start(settings.locationPaths)) {
        Abort("Memory allocation failed.");
        return WalkOutcome::OutOfMemory;
    }
    FileCollector collector(*this, records_, settings.criteria, stopRequested_);
    const WalkEnd end = walk.Run(collector, stopRequested_);
    if (end == WalkEnd::OutOfMemory || collector.OutOfMemory()) {
        Abort("Memory reallocation failed.");
        return WalkOutcome::OutOfMemory;
    }
    // A stop ends the walk only: the comparison runs on the files collected.
    if (end == WalkEnd::Stopped) stopRequested_.store(false);
    folderQueue_.Clear();
    return WalkOutcome::Completed;
}

void CompareRun::WriteLists()
{
    const std::pair<CompareTab, const GroupList*> groupLists[] = {{CompareTab::Combined, &lists_.combined},
                                                                  {CompareTab::Content, &lists_.content},
                                                                  {CompareTab::Name, &lists_.name},
                                                                  {CompareTab::Size, &lists_.size}};
    for (const auto& [tab, list] : groupLists)
        WriteList(list->rows, &list->groups, records_, GroupListColumns, resultLists_[tab]);
    WriteList(lists_.truncatedRows, nullptr, records_, TruncatedColumns, resultLists_[CompareTab::Truncated]);
    WriteList(lists_.zeroSizeRows, nullptr, records_, ZeroSizeColumns, resultLists_[CompareTab::ZeroSize]);
}

void CompareRun::Finish()
{
    folderQueue_.Clear();
    runState_.store(CompareRunState::Finished);
    view_.RunStateChanged(CompareRunState::Finished);
}

void CompareRun::Reset()
{
    runState_.store(CompareRunState::Idle);
    records_.Clear();
    lists_ = CompareLists{};
    listsWritten_ = false;
    for (ResultList* list : resultLists_.lists) {
        if (list) list->DeleteAllRows();
    }
    errorLog_.Clear();
    view_.RunStateChanged(CompareRunState::Idle);
}

}  // namespace tolvane
