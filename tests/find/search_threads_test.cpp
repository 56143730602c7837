// A suite named ...Threads: scripts/test also runs it built with ThreadSanitizer.
#include <gtest/gtest.h>

#include "support/search_test_support.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// A Find page whose search runs on its own thread, its calls to the lists
// carried out by the test's thread, which polls the counts as the page's timer
// does and requests a stop once the first error row is in. It must end as a
// stopped search, with whole rows in every list.
struct ThreadedSearch {
    ThreadedSearch(std::vector<std::string> locations, const SearchCriteria& rules)
    {
        state.locations = LocationList{locations, true, static_cast<int>(locations.size()), true};
        state.criteria = rules;
        state.criteria.filtersSpecified = true;
        int32_t lastCount = 0;
        bool countsGrew = true;
        ui.RunWorker([&] { outcome = SearchWorker(state, presenter, prompter, lists); },
                     [&] {
                         countsGrew = countsGrew && state.foundFileCount.load() >= lastCount;
                         lastCount = state.foundFileCount.load();
                         ticker.ProgressTick();
                         if (errors.RowCount() > 0) state.stopRequested.store(true);
                     });
        EXPECT_TRUE(countsGrew && outcome == SearchOutcome::Completed);
        EXPECT_EQ(page.indicator, IndicatorState::Indeterminate);
        EXPECT_FALSE(ticks.statusTexts.empty());
        EXPECT_EQ(files.RowCount(), state.foundFileCount.load());
        EXPECT_EQ(sentFiles.PartRows({NameColumn, PathColumn, FileSizeColumn, FileModifiedColumn}), 0);
        EXPECT_EQ(sentErrors.PartRows({ErrorLogObjectColumn, ErrorLogEventColumn}), 0);
        EXPECT_TRUE(errors.IsEnabled() && prompter.shown.empty());
    }

    FindState state;
    UiThread ui;
    RecordingControls page, ticks;  // ticks: what the page's timer shows
    MemoryResultList files, folders, errors{false};
    SentResultList sentFiles{ui, files}, sentFolders{ui, folders}, sentErrors{ui, errors};
    FindLists lists{sentFiles, sentFolders, sentErrors};
    FindPagePresenter presenter{state, lists, page}, ticker{state, lists, ticks};
    ScriptedPrompter prompter;
    SearchOutcome outcome = SearchOutcome::NotStarted;
};

// The walk lists "first", fails on "missing" and would then list "second" and the subfolders.
TEST(SearchThreads, CancelOnAnErrorRowOrAFileThatCannotBeOpenedEndsTheWalkThere)
{
    TempFolder folder;
    for (int n = 0; n < 10; ++n) {
        folder.WriteFile("first/top" + std::to_string(n) + ".txt", "top");
        folder.WriteFile("first/sub/deep" + std::to_string(n) + ".txt", "deep");
        folder.WriteFile("second/later" + std::to_string(n) + ".txt", "later");
    }
    SearchCriteria txt;
    txt.extensionRuleOn = true;
    txt.extensionList = "txt";
    ThreadedSearch search({folder.PathOf("first"), folder.PathOf("missing"), folder.PathOf("second")}, txt);
    ASSERT_EQ(search.files.RowCount(), 10);
    for (int row = 0; row < 10; ++row) EXPECT_TRUE(search.files.Cell(row, NameColumn).starts_with("top")) << row;
    ASSERT_EQ(search.errors.RowCount(), 1);

    // A Cancel, or "Too many errors!", while files of a folder cannot be opened
    // for the content rule ends the walk at once, rather than adding a row (or
    // one more "Too many errors!") for every further such file.
    for (int n = 0; n < 3; ++n) {
        if (!MakeUnreadable(folder.WriteFile("locked/locked" + std::to_string(n) + ".txt", "a")))
            GTEST_SKIP() << "this system cannot make a file unreadable for the test";
    }
    SearchCriteria content;
    content.contentRuleOn = true;
    content.contentText = "a";
    ThreadedSearch locked({folder.PathOf("locked")}, content);
    EXPECT_EQ(locked.files.RowCount(), 0);
    EXPECT_EQ(locked.errors.RowCount(), 1);
}

}  // namespace
}  // namespace tolvane::test
