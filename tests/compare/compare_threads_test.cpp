// A compare run on its own thread, cancelled from the page's thread as it polls
// the run. A ...Threads suite: scripts/test also runs it under ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "compare/compare_page_presenter.h"
#include "compare/compare_run.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// The worker's calls to the page's controls, carried out by the page's thread.
struct SentCompareView : ComparePageControls {
    explicit SentCompareView(UiThread& thread) : ui(thread) {}
    void SetStatusText(const std::string& text) override { ui.Send([&] { statusTexts.push_back(text); }); }
    void SetButtonText(const std::string& text) override { ui.Send([&] { buttonText = text; }); }
    void SetProgress(int) override { ui.Send([] {}); }
    void SetOptionControlsEnabled(bool) override { ui.Send([] {}); }
    void SetActionsEnabled(bool enabled) override { ui.Send([&] { actionsEnabled = enabled; }); }
    void ShowTab(CompareTab) override { ui.Send([] {}); }

    UiThread& ui;
    std::vector<std::string> statusTexts;  // as the page's thread leaves them
    std::string buttonText = "Compare";
    bool actionsEnabled = false;
};

// A Compare page whose worker runs on its own thread.
struct ThreadedPage {
    // By content, name and size; the page's thread polls as the page does and
    // requests a stop once cancelWhen first returns true.
    void Run(std::vector<std::string> locations, const std::function<bool()>& cancelWhen)
    {
        CompareRunSettings settings;
        settings.locationsSpecified = true;
        settings.locationPaths = std::move(locations);
        settings.boxes.matchContent = settings.boxes.matchName = settings.boxes.matchSize = true;
        ui.RunWorker([&] { run->Run(settings); }, [&] {
            const CompareRunState state = run->RunState();
            if (statesSeen.empty() || statesSeen.back() != state) statesSeen.push_back(state);
            const int errors = run->ErrorCount();
            errorsGrew = errorsGrew && errors >= lastErrors;
            lastErrors = errors;
            if (!cancelled && cancelWhen()) {
                run->RequestStop();
                cancelled = true;
            }
        });
        // Ended Finished after Idle and Running, showing "Done" and "Reset", the stop cleared.
        EXPECT_TRUE(cancelled && errorsGrew && view.actionsEnabled && run->ListsWritten() && prompter.shown.empty());
        EXPECT_EQ(statesSeen.back(), CompareRunState::Finished);
        EXPECT_TRUE(std::is_sorted(statesSeen.begin(), statesSeen.end()));
        EXPECT_EQ(view.statusTexts.back() + " " + view.buttonText, "Done Reset");
        EXPECT_FALSE(run->StopFlag().load());
    }

    const MemoryResultList& List(CompareTab tab) const { return lists[static_cast<int>(tab)]; }
    int PartRows(CompareTab tab, std::initializer_list<int> columns) const { return sent[static_cast<int>(tab)].PartRows(columns); }

    UiThread ui;
    SentCompareView view{ui};
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    SentResultList sent[CompareTabCount] = {{ui, lists[0]}, {ui, lists[1]}, {ui, lists[2]}, {ui, lists[3]},
                                            {ui, lists[4]}, {ui, lists[5]}, {ui, lists[6]}};
    ComparePagePresenter presenter{ResultListsOf(sent), view};
    std::unique_ptr<CompareRun> run = std::make_unique<CompareRun>(presenter, prompter, files, ResultListsOf(sent));
    std::vector<CompareRunState> statesSeen;
    int lastErrors = 0;
    bool errorsGrew = true, cancelled = false;
};

// The earlier phases keep their groups, written whole.
TEST(CompareThreads, CancelInTheContentPhaseEndsOnlyThatPhase)
{
    TempFolder folder;
    folder.WriteFile("a/x.txt", "same");
    folder.WriteFile("b/x.txt", "same");
    folder.WriteFile("a/y.txt", "12345");
    folder.WriteFile("b/z.txt", "abcde");
    ThreadedPage page;
    page.Run({folder.Path()}, [&] {
        return !page.view.statusTexts.empty() && page.view.statusTexts.back() == ComparePhaseText(ComparePhase::ContentGroups);
    });
    std::string shown;  // rows, whether enabled, and rows written in part
    for (CompareTab tab : {CompareTab::Content, CompareTab::Size, CompareTab::Name})
        shown += std::to_string(page.List(tab).RowCount()) + (page.List(tab).IsEnabled() ? "+" : "-") +
                 std::to_string(page.PartRows(tab, {GroupColumn, 2, 3, 4, 5})) + " ";
    EXPECT_EQ(shown, "0-0 4+0 2+0 ");
}

// A Cancel (or "Too many errors!") during a run of folders that cannot be
// listed ends the walk there, rather than after the next folder that can be.
TEST(CompareThreads, CancelAfterAFolderThatCannotBeListedEndsTheWalk)
{
    TempFolder folder;
    folder.WriteFile("present/x.txt", "same");
    folder.WriteFile("present/sub/x.txt", "same");
    ThreadedPage page;
    page.Run({folder.PathOf("missing1"), folder.PathOf("missing2"), folder.PathOf("present")},
             [&] { return page.List(CompareTab::ErrorLog).RowCount() == 1; });
    EXPECT_EQ(page.List(CompareTab::ErrorLog).RowCount(), 1);
    EXPECT_EQ(page.PartRows(CompareTab::ErrorLog, {ErrorLogObjectColumn, ErrorLogEventColumn}), 0);
    EXPECT_EQ(page.run->Records().Count(), 0u);
}

}  // namespace
}  // namespace tolvane::test
