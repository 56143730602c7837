#include "compare/compare_run.h"

#include <new>
#include <set>
#include <utility>
#include <unordered_set>

#include "common/walk_roots.h"
#include "platform/error.h"
#include "platform/file_identity.h"
#include "platform/folder_identity.h"
#include "platform/fs.h"
#include "platform/path.h"
#include "platform/text.h"

namespace tolvane {
namespace {

// Passes the engine's reports on to the page.
class RunHost : public CompareEngineHost {
public:
    RunHost(CompareRunView& view, CompareRun& run) : view_(view), run_(run) {}
    void EnterPhase(const char* statusText, const char* buttonText) override
    {
        view_.SetStatusText(statusText);
        view_.SetButtonText(buttonText);
    }
    void ReportProgress(int percent) override { view_.ReportProgress(percent); }
    void AddCompareErrorEntry(const std::string& path, uint32_t errorCode) override
    {
        run_.AddCompareErrorEntry(path, errorCode);
    }

private:
    CompareRunView& view_;
    CompareRun& run_;
};

// A queued folder's path as the file system tells folders apart: one
// separator character, and one letter case where names ignore case.
std::string ListedFolderKey(std::string folder)
{
    const bool ignoreCase = platform::FolderNamesIgnoreCase();
    for (char& c : folder) {
        if (c == '/') c = platform::PathSeparator;
        if (ignoreCase) c = platform::LowerAnsi(c);
    }
    return folder;
}

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
    SetCompareRunState(CompareRunState::Running);
    options_ = CountedOptions(settings.boxes);

    records_.Clear();
    lists_ = CompareLists{};
    listsWritten_ = false;
    errorLog_.Clear();

    if (CollectFiles(settings) == WalkOutcome::OutOfMemory) {
        SetCompareRunState(CompareRunState::Finished);
        return;
    }

    RunHost host(view_, *this);
    if (RunComparePhases(records_, options_, source_, host, stopRequested_, lists_, limits_) ==
        CompareOutcome::OutOfMemory) {
        lists_ = CompareLists{};
        Abort("Memory allocation failed.");
        SetCompareRunState(CompareRunState::Finished);
        return;
    }
    view_.SetButtonText(WaitButtonText);
    view_.SetStatusText("Writing result...");
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
    SetCompareRunState(CompareRunState::Finished);
}

bool CompareRun::Passes(const FindData& entry, const CompareCriteria& criteria) const
{
    if (criteria.sizeRuleOn && !MatchSize(entry, criteria.sizeFrom, criteria.sizeTo, criteria.sizeMode)) return false;
    if (criteria.dateRuleOn &&
        !MatchDate(entry, criteria.dateFrom, criteria.dateTo, criteria.dateKind, criteria.dateRelation)) {
        return false;
    }
    if (criteria.attributeRuleOn && !MatchAttributes(entry, criteria.attributeFlags, criteria.attributeMode)) {
        return false;
    }
    return !criteria.extensionRuleOn || MatchExtensions(entry, criteria.extensionList, criteria.extensionMode);
}

CompareRun::WalkOutcome CompareRun::CollectFiles(const CompareRunSettings& settings)
{
    view_.SetStatusText("Searching for files to compare...");
    if (!folderQueue_.Start(WalkRoots(settings.locationPaths, settings.includeSubfolders))) {
        Abort("Memory allocation failed.");
        return WalkOutcome::OutOfMemory;
    }
    LimitedWalk limits(settings.walkLimits);
    if (!limits.Start(folderQueue_)) {
        Abort("Memory allocation failed.");
        return WalkOutcome::OutOfMemory;
    }
    // The walk roots already list every folder once; these guards keep a file
    // that slipped through some other spelling, or a folder reached a second
    // time (mounted twice, or through a junction), from being collected twice
    // and then grouped with itself, where "Mark all but first" would mark its
    // only copy.
    std::unordered_set<std::string> listedFolders;
    std::set<platform::FileIdentity> listedIdentities;
    for (size_t q = 0; q < folderQueue_.Count(); ++q) {
        // A copy: appending to the queue may move its entries.
        const std::string folder = folderQueue_[q];
        try {
            if (!listedFolders.insert(ListedFolderKey(folder)).second) continue;
            platform::FileIdentity identity;
            if (platform::ReadFileIdentity(folder, identity) && !listedIdentities.insert(identity).second) continue;
        } catch (const std::bad_alloc&) {
            Abort("Memory reallocation failed.");
            return WalkOutcome::OutOfMemory;
        }
        platform::FolderListing listing;
        limits.StartFolder(folder);
        if (!listing.Open(folder))
            AddCompareErrorEntry(folder, platform::LastError());
        else if (!CollectFolder(listing, folder, settings, limits))
            return WalkOutcome::OutOfMemory;
        // Also looked at after a folder that could not be listed: a Cancel, or
        // "Too many errors!", amid a run of such folders ends the walk there
        // instead of after the next folder that can be listed (or of one more
        // "Too many errors!" for each folder that cannot).
        if (stopRequested_.load()) {
            stopRequested_.store(false);
            break;
        }
    }
    folderQueue_.Clear();
    return WalkOutcome::Completed;
}

bool CompareRun::CollectFolder(platform::FolderListing& listing, const std::string& folder,
                               const CompareRunSettings& settings, LimitedWalk& limits)
{
    bool folderStarted = false;
    FindData entry;
    while (listing.Next(entry, false)) {
        if (limits.Excludes(entry.cFileName)) continue;
        if (entry.IsDirectory()) {
            if (IsDotEntry(entry.cFileName) || !settings.includeSubfolders || !IsDescendableFolder(entry) ||
                !limits.MayEnter(entry.cFileName))
                continue;
            if (!folderQueue_.Append(folder, entry.cFileName)) {
                Abort("Memory reallocation failed.");
                return false;
            }
            continue;
        }
        if (!limits.Lists(entry.cFileName)) continue;
        // A link to a file is left out as a link to a folder is left unwalked:
        // its own details say nothing of the file it names.
        if (entry.IsReparsePoint()) continue;
        if (!listing.FillDetails(entry)) {
            const uint32_t errorCode = platform::LastError();
            if (!platform::IsVanishedError(errorCode)) AddCompareErrorEntry(folder + entry.cFileName, errorCode);
            if (stopRequested_.load()) return true;
            continue;
        }
        if (entry.IsDirectory()) continue;  // became a folder
        if (!Passes(entry, settings.criteria)) continue;
        if (!folderStarted) {
            if (!records_.AddFolder(folder)) {
                Abort("Memory reallocation failed.");
                return false;
            }
            folderStarted = true;
        }
        if (!records_.Add(entry)) {
            Abort("Memory reallocation failed.");
            return false;
        }
    }
    return true;
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

void CompareRun::SetCompareRunState(CompareRunState state)
{
    runState_.store(state);
    switch (state) {
    case CompareRunState::Running:
        stopRequested_.store(false);
        view_.SetOptionControlsEnabled(false);
        view_.SetButtonText(CancelButtonText);
        break;
    case CompareRunState::Finished: {
        folderQueue_.Clear();
        view_.SetButtonText("Reset");
        bool shown = false;
        for (int tab = 0; tab < CompareTabCount; ++tab) {
            ResultList* list = resultLists_.lists[tab];
            if (!list || list->RowCount() == 0) continue;
            list->SetEnabled(true);
            if (!shown) {
                view_.ShowTab(static_cast<CompareTab>(tab));
                shown = true;
            }
        }
        view_.SetActionsEnabled(true);
        view_.SetStatusText("Done");
        break;
    }
    case CompareRunState::Idle:
        records_.Clear();
        lists_ = CompareLists{};
        listsWritten_ = false;
        view_.SetOptionControlsEnabled(true);
        view_.SetButtonText("Compare");
        view_.SetActionsEnabled(false);
        for (ResultList* list : resultLists_.lists) {
            if (!list) continue;
            list->DeleteAllRows();
            list->SetEnabled(false);
        }
        errorLog_.Clear();
        view_.SetStatusText("Idle");
        view_.ReportProgress(0);
        break;
    }
}

}  // namespace tolvane
