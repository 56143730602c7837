// A search on its own thread, cancelled from the page's thread while that
// thread polls the counts as its timer does. The suite ends in "Threads":
// scripts/test also runs it built with ThreadSanitizer.
#include <gtest/gtest.h>

#include "search_test_support.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// The worker's calls to the page's controls, carried out by the page's thread.
class SentFindView : public FindRunView {
public:
    SentFindView(UiThread& ui, RecordingRunView& page) : ui_(ui), page_(page) {}

    SearchTarget SelectedTarget() const override
    {
        SearchTarget target{};
        ui_.Send([&] { target = page_.SelectedTarget(); });
        return target;
    }
    void SetOptionsCaption(const std::string& caption) override { Send([&] { page_.SetOptionsCaption(caption); }); }
    void ShowOptions(bool shown) override { Send([&] { page_.ShowOptions(shown); }); }
    void ShowStatus(bool shown) override { Send([&] { page_.ShowStatus(shown); }); }
    void SetIndicator(IndicatorState state) override { Send([&] { page_.SetIndicator(state); }); }
    void SetStatusText(const std::string& text) override { Send([&] { page_.SetStatusText(text); }); }
    void SetSearchButtonText(const std::string& text) override { Send([&] { page_.SetSearchButtonText(text); }); }
    void StartProgressTimer() override { Send([&] { page_.StartProgressTimer(); }); }
    void StopProgressTimer() override { Send([&] { page_.StopProgressTimer(); }); }
    void EnableActions(bool enabled) override { Send([&] { page_.EnableActions(enabled); }); }
    void SelectTab(int tab) override { Send([&] { page_.SelectTab(tab); }); }

private:
    void Send(const std::function<void()>& call) { ui_.Send(call); }

    UiThread& ui_;
    RecordingRunView& page_;
};

TEST(SearchThreads, CancelOnAnErrorRowEndsTheWalkAfterThatFolderWithWholeRows)
{
    // The walk lists "first", fails on "missing" and would then list "second"
    // and the subfolders.
    TempFolder folder;
    for (int n = 0; n < 10; ++n) {
        folder.WriteFile("first/top" + std::to_string(n) + ".txt", "top");
        folder.WriteFile("first/sub/deep" + std::to_string(n) + ".txt", "deep");
        folder.WriteFile("second/later" + std::to_string(n) + ".txt", "later");
    }
    FindState state;
    state.criteria.filtersSpecified = state.criteria.extensionRuleOn = true;
    state.criteria.extensionList = "txt";
    state.locations.locationsSpecified = state.locations.includeSubfolders = true;
    state.locations.locationPaths = {folder.PathOf("first"), folder.PathOf("missing"), folder.PathOf("second")};
    state.locations.locationCount = 3;

    UiThread ui;
    RecordingRunView page;
    RecordingRunView ticks;  // what the page's timer shows
    MemoryResultList files, folders, errors(false);
    SentResultList sentFiles(ui, files), sentFolders(ui, folders), sentErrors(ui, errors);
    FindLists lists{sentFiles, sentFolders, sentErrors};
    SentFindView view(ui, page);
    ScriptedPrompter prompter;

    SearchOutcome outcome = SearchOutcome::NotStarted;
    int32_t lastCount = 0;
    bool countsGrew = true;
    bool cancelled = false;
    ui.RunWorker([&] { outcome = SearchWorker(state, view, prompter, lists); },
                 [&] {
                     const int32_t count = state.foundFileCount.load();
                     countsGrew = countsGrew && count >= lastCount;
                     lastCount = count;
                     if (page.timerRunning) UpdateFindStatus(state, ticks, FindStatusEvent::Progress);
                     // Cancel while the worker waits for its first error row.
                     if (!cancelled && errors.RowCount() == 1) {
                         state.stopRequested.store(true);
                         cancelled = true;
                     }
                 });

    EXPECT_EQ(outcome, SearchOutcome::Completed);
    EXPECT_EQ(state.runState.load(), SearchRunState::Finished);
    EXPECT_EQ(page.buttonTexts.back(), "Reset");
    EXPECT_EQ(page.indicator, IndicatorState::Indeterminate);
    EXPECT_EQ(page.statusTexts.back().rfind("Search procedure aborted after ", 0), 0u) << page.statusTexts.back();
    EXPECT_FALSE(ticks.statusTexts.empty());
    EXPECT_TRUE(countsGrew);
    // The walk ends after the folder it was on: nothing later is listed.
    ASSERT_EQ(files.RowCount(), 10);
    EXPECT_EQ(state.foundFileCount.load(), 10);
    for (int row = 0; row < files.RowCount(); ++row) EXPECT_EQ(files.Cell(row, NameColumn).rfind("top", 0), 0u);
    EXPECT_EQ(sentFiles.PartRows({NameColumn, PathColumn, FileSizeColumn, FileModifiedColumn}), 0);
    EXPECT_TRUE(files.IsEnabled());
    EXPECT_EQ(folders.RowCount(), 0);
    ASSERT_EQ(errors.RowCount(), 1);
    EXPECT_EQ(errors.Cell(0, ErrorLogObjectColumn), folder.PathOf("missing/"));
    EXPECT_EQ(sentErrors.PartRows({ErrorLogObjectColumn, ErrorLogEventColumn}), 0);
}

}  // namespace
}  // namespace tolvane::test
