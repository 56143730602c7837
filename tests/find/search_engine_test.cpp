#include "find/search_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "common/constants.h"
#include "common/size_date_text.h"
#include "find/search_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"

namespace tolvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '/')); }

class SearchEngine : public SearchFixture {};

TEST_F(SearchEngine, WalksBreadthFirstIntoDotNamedFoldersButNotIntoLinks)
{
    folder.WriteFile("top.txt", "1");
    folder.WriteFile("one/mid.txt", "2");
    folder.WriteFile("one/two/deep.txt", "3");
    folder.WriteFile("one/two/three/deeper.txt", "4");
    folder.WriteFile(".a/dot-a.txt", "5");
#ifndef _WIN32
    folder.WriteFile(".../dots.txt", "6");  // Windows drops the trailing dots of a name
#endif
    std::error_code linkError;
    std::filesystem::create_directory_symlink(folder.PathOf("one"), folder.PathOf("link"), linkError);
    view.target = SearchTarget::FilesAndFolders;

    ASSERT_EQ(Run(), SearchOutcome::Completed);
    const std::vector<std::string> found = Found(files);
    std::vector<std::string> expectedFiles = {"top.txt", "one/mid.txt", ".a/dot-a.txt", "one/two/deep.txt",
                                              "one/two/three/deeper.txt"};
    std::vector<std::string> expectedFolders = {"one", ".a", "one/two", "one/two/three"};
#ifndef _WIN32
    expectedFiles.push_back(".../dots.txt");
    expectedFolders.push_back("...");
#endif
    EXPECT_THAT(found, ::testing::UnorderedElementsAreArray(expectedFiles));
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                               [](const std::string& a, const std::string& b) { return Depth(a) < Depth(b); }));
    if (!linkError) expectedFolders.push_back("link");  // listed like a folder, never entered
    EXPECT_THAT(Found(folders), ::testing::UnorderedElementsAreArray(expectedFolders));
    EXPECT_EQ(errors.RowCount(), 0);
}

TEST_F(SearchEngine, WithoutSubfoldersOnlyTheEntriesDirectlyInsideEachLocationCount)
{
    folder.WriteFile("a/in-a.txt", "1");
    folder.WriteFile("a/deeper/no.txt", "2");
    folder.WriteFile("b/in-b.txt", "3");
    view.target = SearchTarget::FilesAndFolders;
    ASSERT_EQ(Run({folder.PathOf("a"), folder.PathOf("b")}, false), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("a/in-a.txt", "b/in-b.txt"));
    EXPECT_THAT(Found(folders), ElementsAre("a/deeper"));
}

TEST_F(SearchEngine, OverlappingLocationsListEachFolderOnce)
{
    folder.WriteFile("a/b/x.txt", "1");
    ASSERT_EQ(Run({folder.PathOf("a/b"), folder.PathOf("a"), folder.PathOf("a")}), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("a/b/x.txt"));
}

TEST_F(SearchEngine, EachFileIsFoundOnceWhateverTheLocationsListHolds)
{
    folder.WriteFile("Data/a.txt", "1");
    folder.WriteFile("Data/Old/b.txt", "2");
    folder.WriteFile("Data Backup/c.txt", "3");
    const std::string data = folder.PathOf("Data");
    std::vector<std::vector<std::string>> locationLists = {
        {data, folder.PathOf("Data Backup"), folder.PathOf("Data/Old")},
        {folder.PathOf("Data Backup"), data, platform::WithTrailingSeparator(data)},
    };
#ifdef _WIN32
    std::string shouted = data;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    locationLists.push_back({data, folder.PathOf("Data Backup"), shouted});
#endif
    for (const std::vector<std::string>& locations : locationLists) {
        SetFindRunState(state, view, lists, SearchRunState::Idle);  // the page's Reset
        ASSERT_EQ(Run(locations), SearchOutcome::Completed);
        EXPECT_THAT(Found(files), UnorderedElementsAre("Data/a.txt", "Data/Old/b.txt", "Data Backup/c.txt"))
            << locations[2];
    }
}

TEST_F(SearchEngine, FoldersTargetTestsOnlyFoldersAndFilesTargetStillDescends)
{
    folder.WriteFile("keep/keep.txt", "x");
    state.criteria.nameRuleOn = true;
    state.criteria.nameText = "keep";
    view.target = SearchTarget::Folders;
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(folders), ElementsAre("keep"));
    EXPECT_EQ(files.RowCount(), 0);

    SetFindRunState(state, view, lists, SearchRunState::Idle);
    view.target = SearchTarget::Files;
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("keep/keep.txt"));
    EXPECT_EQ(folders.RowCount(), 0);
}

TEST_F(SearchEngine, RowsShowNamePathScaledSizeAndModifiedDate)
{
    const std::string path = folder.WriteFile("sub/report.txt", std::string(1536, 'x'));
    const FileTime modified = UtcFileTime(2009, 3, 9, 12, 30);
    ASSERT_TRUE(SetFileTimes(path, modified, modified));
    ASSERT_TRUE(SetFileTimes(folder.PathOf("sub"), modified, modified));
    view.target = SearchTarget::FilesAndFolders;
    ASSERT_EQ(Run(), SearchOutcome::Completed);

    ASSERT_EQ(files.RowCount(), 1);
    EXPECT_EQ(files.Cell(0, NameColumn), "report.txt");
    EXPECT_EQ(files.Cell(0, PathColumn), folder.PathOf("sub/"));
    EXPECT_EQ(files.Cell(0, FileSizeColumn), "1.4 kB");
    EXPECT_EQ(files.Cell(0, FileModifiedColumn), FileTimeText(modified));
    ASSERT_EQ(folders.RowCount(), 1);
    EXPECT_EQ(folders.Cell(0, NameColumn), "sub");
    EXPECT_EQ(folders.Cell(0, PathColumn), folder.Path());
    EXPECT_EQ(folders.Cell(0, FolderModifiedColumn), FileTimeText(modified));
    EXPECT_EQ(state.fileRows, RowIndex{0});
}

TEST_F(SearchEngine, AFileIsOpenedOnlyWhenEveryOtherRulePasses)
{
    const std::string locked = folder.WriteFile("locked.txt", "needle in here");
    if (!MakeUnreadable(locked)) GTEST_SKIP() << "files cannot be made unreadable here";
    state.criteria.contentRuleOn = true;
    state.criteria.contentText = "needle";
    state.criteria.sizeRuleOn = true;
    state.criteria.sizeMode = SizeRuleMode::Minimum;
    state.criteria.sizeFrom = 1000;  // the file is smaller: it must not be opened
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_EQ(errors.RowCount(), 0);

    SetFindRunState(state, view, lists, SearchRunState::Idle);
    state.criteria.sizeFrom = 1;
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    ASSERT_EQ(errors.RowCount(), 1);
    EXPECT_EQ(errors.Cell(0, ErrorLogObjectColumn), locked);
    EXPECT_EQ(files.RowCount(), 0);
}

TEST_F(SearchEngine, UnreadableFolderAndFileGiveOneBlankedErrorRowEach)
{
    folder.WriteFile("open/seen.txt", "text");
    const std::string lockedFile = folder.WriteFile("open/locked.txt", "text");
    folder.WriteFile("closed/hidden.txt", "text");
    if (!MakeUnreadable(lockedFile) || !MakeUnreadable(folder.PathOf("closed")))
        GTEST_SKIP() << "files cannot be made unreadable here";
    state.criteria.contentRuleOn = true;
    state.criteria.contentText = "text";
    ASSERT_EQ(Run(), SearchOutcome::Completed);

    EXPECT_THAT(Found(files), ElementsAre("open/seen.txt"));
    ASSERT_EQ(errors.RowCount(), 2);
    std::vector<std::string> objects = {errors.Cell(0, ErrorLogObjectColumn), errors.Cell(1, ErrorLogObjectColumn)};
    EXPECT_THAT(objects, UnorderedElementsAre(folder.PathOf("closed/"), lockedFile));
    const std::string expected = BlankControlBytes(platform::SystemErrorText(platform::ErrorAccessDenied));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(errors.Cell(row, ErrorLogEventColumn), expected);
        EXPECT_EQ(errors.Cell(row, 0), "");
    }
    EXPECT_TRUE(errors.IsEnabled());
    EXPECT_EQ(view.selectedTab, FilesTab);
}

TEST_F(SearchEngine, TheFileLimitStopsTheWalkWithEveryStoredRowWritten)
{
#ifdef _WIN32
    GTEST_SKIP() << "creating 32,772 files under Wine takes many minutes; the native run covers this";
#endif
    const std::string many = folder.MakeFolder("many");
    for (int n = 0; n < MaxListEntries + 5; ++n) {
        platform::File file;
        ASSERT_TRUE(file.CreateForWriting(many + "f" + std::to_string(n)));
    }
    folder.WriteFile("many/later/never.txt", "");
    ASSERT_EQ(Run(), SearchOutcome::Completed);

    EXPECT_EQ(files.RowCount(), MaxListEntries);
    EXPECT_EQ(state.foundFileCount.load(), MaxListEntries);
    ASSERT_EQ(prompter.shown.size(), 2u);  // the "No filters selected" question, then the limit
    EXPECT_EQ(prompter.shown[1].text, "Too many files found matching your criteria! Try to be more specific.");
    EXPECT_EQ(prompter.shown[1].caption, "Aborted");
    EXPECT_EQ(prompter.shown[1].style, MbIconHand);
    EXPECT_TRUE(state.stopRequested.load());
    EXPECT_EQ(view.indicator, IndicatorState::Indeterminate);
}

// The Error log list asks for a stop when its first row arrives, as a Cancel
// click would during the walk.
class StoppingList : public MemoryResultList {
public:
    explicit StoppingList(FindState& state) : MemoryResultList(false), state_(state) {}
    void InsertRow(int row) override
    {
        MemoryResultList::InsertRow(row);
        state_.stopRequested.store(true);
    }

private:
    FindState& state_;
};

TEST_F(SearchEngine, AStopRequestEndsTheWalkWithTheRowsFoundSoFar)
{
    StoppingList stoppingErrors(state);
    FindLists stoppingLists(files, folders, stoppingErrors);
    folder.WriteFile("first/a.txt", "1");
    folder.WriteFile("third/c.txt", "3");
    state.locations.locationPaths = {folder.PathOf("first"), folder.PathOf("second-missing"), folder.PathOf("third")};
    state.locations.locationCount = 3;
    state.locations.locationsSpecified = true;
    state.locations.includeSubfolders = true;
    prompter.Answer(IdYes);
    ASSERT_EQ(SearchWorker(state, view, prompter, stoppingLists), SearchOutcome::Completed);

    EXPECT_THAT(Found(files), ElementsAre("first/a.txt"));
    EXPECT_EQ(stoppingErrors.RowCount(), 1);
    ASSERT_GE(view.statusTexts.size(), 2u);
    EXPECT_EQ(view.statusTexts[view.statusTexts.size() - 2].rfind("Search procedure aborted after ", 0), 0u);
    EXPECT_NE(view.statusTexts[view.statusTexts.size() - 2].find(" sec. Writing result...\n"), std::string::npos);
    EXPECT_EQ(view.statusTexts.back().rfind("Search procedure aborted after ", 0), 0u);
    EXPECT_NE(view.statusTexts.back().find(" sec.\n1 files matched your criteria"), std::string::npos);
    EXPECT_EQ(view.indicator, IndicatorState::Indeterminate);
}

TEST_F(SearchEngine, StartChecksRefuseOrAskBeforeAnythingChanges)
{
    state.criteria.nameRuleOn = true;
    state.criteria.nameText = "x";
    state.criteria.filtersSpecified = true;
    EXPECT_EQ(SearchWorker(state, view, prompter, lists), SearchOutcome::NotStarted);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(prompter.shown[0].caption, "Cannot continue");
    EXPECT_EQ(prompter.shown[0].style, MbIconInformation);

    state.locations.locationPaths = {folder.Path()};
    state.locations.locationCount = 1;
    state.locations.locationsSpecified = true;
    state.criteria = SearchCriteria{};
    EXPECT_EQ(SearchWorker(state, view, prompter, lists), SearchOutcome::NotStarted);  // answered No
    EXPECT_EQ(prompter.shown.back().caption, "No filters selected");
    EXPECT_EQ(prompter.shown.back().style, MbQuestion);

    state.criteria.extensionRuleOn = true;  // applies to files only
    state.criteria.extensionList = "txt";
    state.criteria.filtersSpecified = true;
    view.target = SearchTarget::FilesAndFolders;
    EXPECT_EQ(SearchWorker(state, view, prompter, lists), SearchOutcome::NotStarted);
    EXPECT_EQ(prompter.shown.back().caption, "No filters selected that can apply to folders");
    EXPECT_EQ(view.calls, 0);
    EXPECT_EQ(state.runState.load(), SearchRunState::Idle);

    prompter.Answer(IdYes);
    EXPECT_EQ(SearchWorker(state, view, prompter, lists), SearchOutcome::Completed);
    EXPECT_EQ(state.runState.load(), SearchRunState::Finished);
}

TEST_F(SearchEngine, RunStatesDriveThePage)
{
    folder.WriteFile("only.txt", "1");
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(view.buttonTexts, ElementsAre("Cancel", "Wait...", "Reset"));
    EXPECT_EQ(view.statusTexts.front(), "Starting...");
    EXPECT_EQ(view.optionsCaption, "");
    EXPECT_FALSE(view.optionsShown);
    EXPECT_TRUE(view.statusShown);
    EXPECT_FALSE(view.timerRunning);
    EXPECT_TRUE(view.actionsEnabled);
    EXPECT_EQ(view.indicator, IndicatorState::Checked);
    EXPECT_TRUE(files.IsEnabled());
    EXPECT_FALSE(folders.IsEnabled());
    EXPECT_FALSE(errors.IsEnabled());
    EXPECT_EQ(view.selectedTab, FilesTab);
    EXPECT_FALSE(state.traversalRunning.load());

    SetFindRunState(state, view, lists, SearchRunState::Idle);
    EXPECT_EQ(state.runState.load(), SearchRunState::Idle);
    EXPECT_EQ(files.RowCount(), 0);
    EXPECT_FALSE(files.IsEnabled());
    EXPECT_TRUE(state.foundFiles.Empty());
    EXPECT_EQ(view.optionsCaption, "Options");
    EXPECT_TRUE(view.optionsShown);
    EXPECT_FALSE(view.statusShown);
    EXPECT_EQ(view.buttonTexts.back(), "Search");
    EXPECT_FALSE(view.actionsEnabled);
    EXPECT_EQ(view.statusTexts.back(), "");
}

TEST_F(SearchEngine, NothingFoundLeavesTheListsDisabledAndTheTabUnchanged)
{
    folder.WriteFile("a.txt", "1");
    state.criteria.nameRuleOn = true;
    state.criteria.nameText = "zzz";
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_EQ(view.selectedTab, -1);
    EXPECT_FALSE(files.IsEnabled());
    EXPECT_FALSE(errors.IsEnabled());
    const std::string& last = view.statusTexts.back();
    EXPECT_EQ(last.rfind("Search procedure finished in ", 0), 0u);
    EXPECT_NE(last.find(" sec.\nNothing matched your criteria"), std::string::npos);
}

TEST(FindStatusText, LinesForEveryEventCountAndTarget)
{
    FindState state;
    state.elapsedMs.store(12345);
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::Progress), "Searching...\nNothing matched your criteria");
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::TraversalDone),
              "Search procedure finished in 12.3 sec.\nNothing matched your criteria");
    state.foundFileCount.store(3);
    state.foundFolderCount.store(2);
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::TraversalDone),
              "Search procedure finished in 12.3 sec.  Writing result...\n3 files matched your criteria");
    state.criteria.searchTarget = SearchTarget::FilesAndFolders;
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::Final),
              "Search procedure finished in 12.3 sec.\n3 files and 2 folders matched your criteria");
    state.criteria.searchTarget = SearchTarget::Folders;
    state.stopRequested.store(true);
    state.elapsedMs.store(999);
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::TraversalDone),
              "Search procedure aborted after 0.9 sec. Writing result...\n2 folders matched your criteria");
    state.elapsedMs.store(50);
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::Final),
              "Search procedure aborted after 0.0 sec.\n2 folders matched your criteria");
    state.foundFileCount.store(0);
    state.foundFolderCount.store(0);
    EXPECT_EQ(FindStatusText(state, FindStatusEvent::TraversalDone),
              "Search procedure aborted after 0.0 sec.\nNothing matched your criteria");
}

TEST(AddFindErrorEntry, AtTheLimitAsksForAStopAndAddsNoRow)
{
    FindState state;
    MemoryResultList files, folders, errors(false);
    FindLists lists(files, folders, errors);
    ScriptedPrompter prompter;
    for (int n = 0; n < MaxListEntries; ++n) AddFindErrorEntry(state, lists, prompter, "p", platform::ErrorAccessDenied);
    EXPECT_FALSE(state.stopRequested.load());
    EXPECT_TRUE(prompter.shown.empty());
    AddFindErrorEntry(state, lists, prompter, "one more", platform::ErrorAccessDenied);
    EXPECT_EQ(errors.RowCount(), MaxListEntries);
    EXPECT_TRUE(state.stopRequested.load());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Too many errors!");
}

}  // namespace
}  // namespace tolvane::test
