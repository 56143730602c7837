// A compare run on its own thread, cancelled from the page's thread while
// that thread polls the run state and the error count. A suite named
// ...Threads in a program labelled "threads": scripts/test also runs it built
// with ThreadSanitizer.
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

// The page's controls as the page's thread leaves them.
struct PageControls {
    std::vector<std::string> statusTexts;
    std::string buttonText = "Compare";
    bool actionsEnabled = false;
};

// The worker's calls to the page's controls, carried out by the page's thread.
class SentCompareView : public ComparePageControls {
public:
    SentCompareView(UiThread& ui, PageControls& page) : ui_(ui), page_(page) {}

    void SetStatusText(const std::string& text) override { ui_.Send([&] { page_.statusTexts.push_back(text); }); }
    void SetButtonText(const std::string& text) override { ui_.Send([&] { page_.buttonText = text; }); }
    void SetProgress(int) override { ui_.Send([] {}); }
    void SetOptionControlsEnabled(bool) override { ui_.Send([] {}); }
    void SetActionsEnabled(bool enabled) override { ui_.Send([&] { page_.actionsEnabled = enabled; }); }
    void ShowTab(CompareTab) override { ui_.Send([] {}); }

private:
    UiThread& ui_;
    PageControls& page_;
};

// A Compare page whose worker runs on its own thread, its calls to the
// controls and lists carried out by the test's thread.
struct ThreadedPage {
    ThreadedPage() : run(std::make_unique<CompareRun>(presenter, prompter, files, ResultListsOf(sent))) {}

    // Runs settings; the page's thread polls what the page polls and calls
    // cancelWhen after each of the worker's calls until it first returns true.
    void Run(const CompareRunSettings& settings, const std::function<bool()>& cancelWhen)
    {
        ui.RunWorker([&] { run->Run(settings); },
                     [&] {
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
    }

    // Ended Finished after Idle and Running, showing "Done" and "Reset".
    void ExpectFinished() const
    {
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(statesSeen.back(), CompareRunState::Finished);
        EXPECT_TRUE(std::is_sorted(statesSeen.begin(), statesSeen.end()));
        EXPECT_TRUE(errorsGrew);
        EXPECT_EQ(page.statusTexts.back(), "Done");
        EXPECT_EQ(page.buttonText, "Reset");
        EXPECT_TRUE(page.actionsEnabled);
        EXPECT_TRUE(run->ListsWritten());
        EXPECT_TRUE(prompter.shown.empty());
    }

    const MemoryResultList& List(CompareTab tab) const { return lists[static_cast<int>(tab)]; }

    UiThread ui;
    PageControls page;
    SentCompareView view{ui, page};
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    SentResultList sent[CompareTabCount] = {{ui, lists[0]}, {ui, lists[1]}, {ui, lists[2]}, {ui, lists[3]},
                                            {ui, lists[4]}, {ui, lists[5]}, {ui, lists[6]}};
    ComparePagePresenter presenter{ResultListsOf(sent), view};
    std::unique_ptr<CompareRun> run;
    std::vector<CompareRunState> statesSeen;
    int lastErrors = 0;
    bool errorsGrew = true;
    bool cancelled = false;
};

CompareRunSettings ContentNameAndSize(std::vector<std::string> locations)
{
    CompareRunSettings settings;
    settings.locationsSpecified = true;
    settings.locationPaths = std::move(locations);
    settings.boxes.matchContent = settings.boxes.matchName = settings.boxes.matchSize = true;
    return settings;
}

TEST(CompareThreads, CancelInTheContentPhaseEndsOnlyThatPhase)
{
    // x.txt twice with one content; y.txt and z.txt of one size, unlike.
    TempFolder folder;
    folder.WriteFile("a/x.txt", "same");
    folder.WriteFile("b/x.txt", "same");
    folder.WriteFile("a/y.txt", "12345");
    folder.WriteFile("b/z.txt", "abcde");
    ThreadedPage page;
    page.Run(ContentNameAndSize({folder.Path()}),
             [&] { return !page.page.statusTexts.empty() && page.page.statusTexts.back() == ComparePhaseText(ComparePhase::ContentGroups); });

    page.ExpectFinished();
    // The stop was taken up by the content phase and ended it there; the
    // phases before it kept all their groups.
    EXPECT_FALSE(page.run->StopFlag().load());
    EXPECT_EQ(page.List(CompareTab::Content).RowCount(), 0);
    EXPECT_EQ(page.List(CompareTab::Size).RowCount(), 4);
    EXPECT_EQ(page.List(CompareTab::Name).RowCount(), 2);
    for (CompareTab tab : {CompareTab::Size, CompareTab::Name}) {
        EXPECT_TRUE(page.List(tab).IsEnabled());
        EXPECT_EQ(page.sent[static_cast<int>(tab)].PartRows({GroupColumn, 2, 3, 4, 5}), 0);
    }
}

// A Cancel (or "Too many errors!") during a run of folders that cannot be
// listed ends the walk there, rather than after the next folder that can be.
TEST(CompareThreads, CancelAfterAFolderThatCannotBeListedEndsTheWalk)
{
    TempFolder folder;
    folder.WriteFile("present/x.txt", "same");
    folder.WriteFile("present/sub/x.txt", "same");
    ThreadedPage page;
    page.Run(ContentNameAndSize({folder.PathOf("missing1"), folder.PathOf("missing2"), folder.PathOf("present")}),
             [&] { return page.List(CompareTab::ErrorLog).RowCount() == 1; });

    page.ExpectFinished();
    EXPECT_EQ(page.List(CompareTab::ErrorLog).RowCount(), 1);
    EXPECT_EQ(page.sent[static_cast<int>(CompareTab::ErrorLog)].PartRows({ErrorLogObjectColumn, ErrorLogEventColumn}),
              0);
    EXPECT_EQ(page.run->Records().Count(), 0u);
    EXPECT_FALSE(page.run->StopFlag().load());
}

}  // namespace
}  // namespace tolvane::test
