#include "find/search_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/constants.h"
#include "common/size_date_text.h"
#include "find/find_status_text.h"
#include "find/search_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"

namespace tolvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

class SearchEngine : public SearchFixture {};

TEST_F(SearchEngine, WalksBreadthFirstIntoDotNamedFoldersButNotIntoLinks)
{
    for (const char* file : {"top.txt", "one/mid.txt", "one/two/deep.txt", "one/two/three/deeper.txt", ".a/dot-a.txt"})
        folder.WriteFile(file, "x");
    std::vector<std::string> expectedFiles = {"top.txt", "one/mid.txt", ".a/dot-a.txt", "one/two/deep.txt",
                                              "one/two/three/deeper.txt"};
    std::vector<std::string> expectedFolders = {"one", ".a", "one/two", "one/two/three"};
#ifndef _WIN32
    folder.WriteFile(".../dots.txt", "6");  // Windows drops the trailing dots of a name
    expectedFiles.push_back(".../dots.txt");
    expectedFolders.push_back("...");
#endif
    std::error_code linkError;
    std::filesystem::create_directory_symlink(folder.PathOf("one"), folder.PathOf("link"), linkError);
    if (!linkError) expectedFolders.push_back("link");  // listed like a folder, never entered
    state.criteria.searchTarget = SearchTarget::FilesAndFolders;

    ASSERT_EQ(Run(), SearchOutcome::Completed);
    const std::vector<std::string> found = Found(files);
    EXPECT_THAT(found, UnorderedElementsAreArray(expectedFiles));
    const auto depth = [](const std::string& path) { return std::count(path.begin(), path.end(), '/'); };
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), [&](auto& a, auto& b) { return depth(a) < depth(b); }));
    EXPECT_THAT(Found(folders), UnorderedElementsAreArray(expectedFolders));
    EXPECT_EQ(errors.RowCount(), 0);
}

// Without subfolders only the entries directly inside each location count;
// with them, each file is found once whatever the locations list holds.
TEST_F(SearchEngine, EachFileIsFoundOnceWhateverTheLocationsListHolds)
{
    folder.WriteFile("Data/a.txt", "1");
    folder.WriteFile("Data/Old/b.txt", "2");
    folder.WriteFile("Data Backup/c.txt", "3");
    const std::string data = folder.PathOf("Data");
    state.criteria.searchTarget = SearchTarget::FilesAndFolders;
    ASSERT_EQ(Run({data, folder.PathOf("Data Backup")}, false), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("Data/a.txt", "Data Backup/c.txt"));
    EXPECT_THAT(Found(folders), ElementsAre("Data/Old"));

    // Which roots are walked is the walk's own; here only that the search uses it.
    state.criteria.searchTarget = SearchTarget::Files;
    ASSERT_EQ(Rerun({folder.PathOf("Data Backup"), platform::WithTrailingSeparator(data), folder.PathOf("Data/Old"), data}),
              SearchOutcome::Completed);
    EXPECT_THAT(Found(files), UnorderedElementsAre("Data/a.txt", "Data/Old/b.txt", "Data Backup/c.txt"));
}

TEST_F(SearchEngine, RowsShowNamePathScaledSizeAndDateOfTheTargetOnly)
{
    const std::string path = folder.WriteFile("keep/report.txt", std::string(1536, 'x'));
    const FileTime modified = UtcFileTime(2009, 3, 9, 12, 30);
    ASSERT_TRUE(SetFileTimes(path, modified, modified));
    ASSERT_TRUE(SetFileTimes(folder.PathOf("keep"), modified, modified));
    state.criteria.nameRuleOn = true;
    state.criteria.nameText = "keep";
    state.criteria.searchTarget = SearchTarget::Folders;  // files are not tested, but the walk still descends
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_EQ(files.RowCount(), 0);
    ASSERT_EQ(folders.RowCount(), 1);
    EXPECT_EQ(folders.Cell(0, NameColumn), "keep");
    EXPECT_EQ(folders.Cell(0, PathColumn), folder.Path());
    EXPECT_EQ(folders.Cell(0, FolderModifiedColumn), FileTimeText(modified));

    state.criteria.nameText = "report";
    state.criteria.searchTarget = SearchTarget::Files;
    ASSERT_EQ(Rerun(), SearchOutcome::Completed);
    EXPECT_EQ(folders.RowCount(), 0);
    ASSERT_EQ(files.RowCount(), 1);
    EXPECT_EQ(files.Cell(0, NameColumn), "report.txt");
    EXPECT_EQ(files.Cell(0, PathColumn), folder.PathOf("keep/"));
    EXPECT_EQ(files.Cell(0, FileSizeColumn), "1.4 kB");
    EXPECT_EQ(files.Cell(0, FileModifiedColumn), FileTimeText(modified));
    EXPECT_EQ(state.fileRows, RowIndex{0});
}

// The content rule comes last: a file failing the size rule is never opened;
// one that cannot be opened gives one error row with its control bytes blanked.
TEST_F(SearchEngine, AFileIsOpenedOnlyWhenEveryOtherRulePasses)
{
    folder.WriteFile("seen.txt", "needle and more");
    const std::string locked = folder.WriteFile("locked.txt", "needle in here");
    if (!MakeUnreadable(locked)) GTEST_SKIP() << "files cannot be made unreadable here";
    state.criteria.contentRuleOn = state.criteria.sizeRuleOn = true;
    state.criteria.contentText = "needle";
    state.criteria.sizeMode = SizeRuleMode::Minimum;
    state.criteria.sizeFrom = 15;
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_EQ(errors.RowCount(), 0);

    state.criteria.sizeFrom = 1;
    ASSERT_EQ(Rerun(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("seen.txt"));
    ASSERT_EQ(errors.RowCount(), 1);
    EXPECT_EQ(errors.Cell(0, ErrorLogObjectColumn), locked);
    EXPECT_EQ(errors.Cell(0, ErrorLogEventColumn), BlankControlBytes(platform::SystemErrorText(platform::ErrorAccessDenied)));
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
    EXPECT_TRUE(state.stopRequested.load());
    EXPECT_EQ(view.indicator, IndicatorState::Indeterminate);
}

TEST_F(SearchEngine, StartChecksRefuseOrAskBeforeAnythingChanges)
{
    state.criteria.nameRuleOn = state.criteria.filtersSpecified = true;
    state.criteria.nameText = "x";
    EXPECT_EQ(SearchWorker(state, presenter, prompter, lists), SearchOutcome::NotStarted);
    state.locations.locationPaths = {folder.Path()};
    state.locations.locationCount = 1;
    state.locations.locationsSpecified = true;
    state.criteria = SearchCriteria{};
    EXPECT_EQ(SearchWorker(state, presenter, prompter, lists), SearchOutcome::NotStarted);  // answered No
    state.criteria.extensionRuleOn = state.criteria.filtersSpecified = true;  // applies to files only
    state.criteria.extensionList = "txt";
    state.criteria.searchTarget = SearchTarget::FilesAndFolders;
    EXPECT_EQ(SearchWorker(state, presenter, prompter, lists), SearchOutcome::NotStarted);
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].text, "You must specify in which location(s) to search!");
    EXPECT_EQ(prompter.shown[0].style, MbIconInformation);
    EXPECT_EQ(prompter.shown[1].caption, "No filters selected");
    EXPECT_EQ(prompter.shown[2].caption, "No filters selected that can apply to folders");
    EXPECT_EQ(prompter.shown[2].style, MbQuestion);
    EXPECT_EQ(view.calls, 0);
    EXPECT_EQ(state.runState.load(), SearchRunState::Idle);

    prompter.Answer(IdYes);
    EXPECT_EQ(SearchWorker(state, presenter, prompter, lists), SearchOutcome::Completed);
    EXPECT_EQ(state.runState.load(), SearchRunState::Finished);
}

TEST_F(SearchEngine, RunStatesDriveThePage)
{
    folder.WriteFile("only.txt", "1");
    state.criteria.nameRuleOn = true;
    state.criteria.nameText = "zzz";
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_EQ(view.selectedTab, -1);  // nothing found: the lists stay disabled
    EXPECT_FALSE(files.IsEnabled());
    EXPECT_THAT(view.statusTexts.back(), ::testing::MatchesRegex("Search procedure finished in .* sec.\nNothing matched your criteria"));

    state.criteria.nameText = "only";
    ASSERT_EQ(Rerun(), SearchOutcome::Completed);
    EXPECT_THAT(view.buttonTexts, ElementsAre("Cancel", "Wait...", "Reset", "Search", "Cancel", "Wait...", "Reset"));
    EXPECT_EQ(view.statusTexts.front(), "Starting...");
    EXPECT_FALSE(view.optionsShown || view.timerRunning || folders.IsEnabled() || state.traversalRunning.load());
    EXPECT_TRUE(view.statusShown && view.actionsEnabled && files.IsEnabled());
    EXPECT_EQ(view.indicator, IndicatorState::Checked);
    EXPECT_EQ(view.selectedTab, FilesTab);

    ResetFindRun(state, presenter, lists);
    EXPECT_EQ(files.RowCount(), 0);
    EXPECT_TRUE(state.foundFiles.Empty());
    EXPECT_EQ(view.optionsCaption, "Options");
    EXPECT_TRUE(view.optionsShown);
    EXPECT_FALSE(view.statusShown || view.actionsEnabled || files.IsEnabled());
    EXPECT_EQ(view.statusTexts.back(), "");
}

TEST(FindStatusText, LinesForEveryEventCountAndTarget)
{
    using enum FindStatusEvent;
    FindState state;
    const auto text = [&](FindStatusEvent event, int files, int folders, int ms) {
        state.foundFileCount.store(files);
        state.foundFolderCount.store(folders);
        state.elapsedMs.store(ms);
        return FindStatusText(state, event);
    };
    EXPECT_EQ(text(Progress, 0, 0, 1), "Searching...\nNothing matched your criteria");
    EXPECT_EQ(text(TraversalDone, 3, 2, 12345),
              "Search procedure finished in 12.3 sec.  Writing result...\n3 files matched your criteria");
    state.criteria.searchTarget = SearchTarget::FilesAndFolders;
    EXPECT_EQ(text(Final, 3, 2, 12345), "Search procedure finished in 12.3 sec.\n3 files and 2 folders matched your criteria");
    state.criteria.searchTarget = SearchTarget::Folders;
    state.stopRequested.store(true);
    EXPECT_EQ(text(TraversalDone, 3, 2, 999),
              "Search procedure aborted after 0.9 sec. Writing result...\n2 folders matched your criteria");
}

TEST(AddFindErrorEntry, AtTheLimitAsksForAStopAndAddsNoRow)
{
    FindState state;
    MemoryResultList files, folders, errors(false);
    FindLists lists(files, folders, errors);
    ScriptedPrompter prompter;
    for (int n = 0; n < MaxListEntries; ++n) AddFindErrorEntry(state, lists, prompter, "p", platform::ErrorAccessDenied);
    EXPECT_FALSE(state.stopRequested.load());
    AddFindErrorEntry(state, lists, prompter, "one more", platform::ErrorAccessDenied);
    EXPECT_EQ(errors.RowCount(), MaxListEntries);
    EXPECT_TRUE(state.stopRequested.load());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Too many errors!");
}

}  // namespace
}  // namespace tolvane::test
