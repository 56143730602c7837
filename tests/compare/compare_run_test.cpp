// Compare runs over real temporary trees, through the page's ports; the
// ...Threads suite runs them on a thread of their own (scripts/test also runs
// it under ThreadSanitizer).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>

#include "support/file_action_fixture.h"
#include "compare/compare_filter_normalisation.h"
#include "compare/compare_page_presenter.h"
#include "compare/compare_run.h"
#include "platform/path.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// The page's controls as its thread leaves them; given that thread, a worker's calls are carried out there.
struct RecordingView : ComparePageControls {
    explicit RecordingView(UiThread* thread = nullptr) : ui(thread) {}
    void SetStatusText(const std::string& text) override
    {
        Do([&] { statusTexts.push_back(text); });
        if (onStatus) onStatus(text);
    }
    void SetButtonText(const std::string& text) override { Do([&] { buttonText = text; }); }
    void SetProgress(int percent) override { Do([&] { progress = percent; }); }
    void SetOptionControlsEnabled(bool enabled) override { Do([&] { optionsEnabled = enabled; }); }
    void SetActionsEnabled(bool enabled) override { Do([&] { actionsEnabled = enabled; }); }
    void ShowTab(CompareTab tab) override { Do([&] { shownTab = static_cast<int>(tab); }); }
    void Do(const std::function<void()>& call) { ui ? ui->Send(call) : call(); }

    UiThread* ui;
    std::vector<std::string> statusTexts;
    std::string buttonText = "Compare";
    int progress = -1, shownTab = -1;
    bool optionsEnabled = true, actionsEnabled = false;
    std::function<void(const std::string&)> onStatus;
};

// Throws as soon as the grouping wants to read a file.
struct ExhaustedSource : ContentSource {
    std::unique_ptr<ContentReader> Open(uint32_t, const std::string&, uint32_t&) override { throw std::bad_alloc(); }
};

struct Page {
    explicit Page(ContentSource* source = nullptr)
        : run(presenter, prompter, source ? *source : files, ResultListsOf(lists))
    {
    }

    MemoryResultList& List(CompareTab tab) { return lists[static_cast<int>(tab)]; }
    // The page's state after a run: button, last status, actions, options, shown tab.
    std::string State() const
    {
        return view.buttonText + " " + view.statusTexts.back() + (view.actionsEnabled ? " actions" : "") +
               (view.optionsEnabled ? " options" : "") + " tab " + std::to_string(view.shownTab);
    }

    RecordingView view;
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    ComparePagePresenter presenter{ResultListsOf(lists), view};
    CompareRun run;
};

CompareRunSettings ContentRun(std::vector<std::string> locations)
{
    return {.locationsSpecified = !locations.empty(), .locationPaths = std::move(locations), .criteria = {},
            .boxes = {.matchContent = true}, .walkLimits = {}};
}

TEST(CompareRun, RefusesToStartWithoutLocationsOrMatchOptions)
{
    Page page;
    page.run.Run(ContentRun({}));
    CompareRunSettings nothingToMatch = ContentRun({"/"});
    nothingToMatch.boxes.matchContent = false;
    page.run.Run(nothingToMatch);
    ASSERT_EQ(page.prompter.shown.size(), 2u);
    EXPECT_NE(page.prompter.shown[0].text, page.prompter.shown[1].text) << "one refusal for each";
    EXPECT_EQ(CompareRunState::Idle, page.run.RunState());
    EXPECT_TRUE(page.view.statusTexts.empty() && page.view.optionsEnabled);
}

TEST(CompareRun, WalksEveryLocationAndWritesTheGroupedRows)
{
    TempFolder tree;
    for (const char* file : {"one/a.txt", "one/.hidden/b.txt", "one/.x/c.txt", "two/e.txt"})
        tree.WriteFile(file, "same");
    tree.WriteFile("one/d.txt", "different");  // folders whose names start with a dot are entered
    tree.WriteFile("two/empty", "");
    const std::string missing = tree.PathOf("missing");
    Page page;
    page.run.Run(ContentRun({tree.PathOf("one"), missing, tree.PathOf("two")}));  // no trailing separators

    const MemoryResultList& errors = page.List(CompareTab::ErrorLog);
    ASSERT_EQ(1, errors.RowCount());
    EXPECT_EQ(platform::WithTrailingSeparator(missing), errors.Cell(0, 1));
    // Breadth first: the files of the locations, then those of their subfolders.
    const MemoryResultList& content = page.List(CompareTab::Content);
    std::string rows;  // group, size and the length of the date of each row
    for (int row = 0; row < content.RowCount(); ++row)
        rows += content.Cell(row, GroupColumn) + " " + content.Cell(row, 4) + " " +
                std::to_string(content.Cell(row, 5).size()) + ", ";
    EXPECT_EQ(rows, "1 4 17, 1 4 17, 1 4 17, 1 4 17, ");
    EXPECT_EQ(content.Cell(0, 3) + content.Cell(0, 2) + " " + content.Cell(1, 3) + content.Cell(1, 2),
              tree.PathOf("one/") + "a.txt " + tree.PathOf("two/") + "e.txt");
    const MemoryResultList& zero = page.List(CompareTab::ZeroSize);
    EXPECT_EQ(zero.Cell(0, 1) + " " + std::to_string(zero.RowCount()), "empty 1");
    EXPECT_EQ("Reset Done actions tab " + std::to_string(static_cast<int>(CompareTab::Content)), page.State());

    page.run.Reset();
    EXPECT_EQ(0, content.RowCount() + errors.RowCount() + static_cast<int>(page.run.Records().Count()));
    EXPECT_FALSE(content.IsEnabled());
    EXPECT_EQ("Compare Idle", page.view.buttonText + " " + page.view.statusTexts.back());
    EXPECT_EQ(0, page.view.progress);

    // A run that finds no files enables no list and leaves the current tab shown.
    TempFolder empty;
    page.run.Run(ContentRun({empty.Path()}));
    for (const MemoryResultList& list : page.lists) EXPECT_FALSE(list.RowCount() > 0 || list.IsEnabled());
    EXPECT_EQ("Reset Done actions tab " + std::to_string(static_cast<int>(CompareTab::Content)), page.State());
}

// A list that names one folder twice, and a folder inside another that the
// sorted list does not put next to it: each file is collected once.
TEST(CompareRun, EachFileIsCollectedOnceWhateverTheLocationsListHolds)
{
    TempFolder tree;
    for (const char* file : {"Data/a.txt", "Data/Old/b.txt", "Data Backup/c.txt"}) tree.WriteFile(file, "same");
    tree.WriteFile("Data/Old/solo.txt", "solo");
    const std::string data = tree.PathOf("Data");
    std::string shouted = data;  // another spelling where names ignore case
#ifdef _WIN32
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
#endif
    Page page;
    page.run.Run(ContentRun(
        {tree.PathOf("Data/Old"), data, tree.PathOf("Data Backup"), platform::WithTrailingSeparator(data), shouted}));
    EXPECT_EQ(4u, page.run.Records().Count());
    EXPECT_EQ(3, page.List(CompareTab::Content).RowCount()) << "one group of three different files";
}

TEST(CompareRun, StopDuringTheWalkComparesTheFilesFoundSoFar)
{
    TempFolder tree;
    for (const char* file : {"a", "b", "sub/c"}) tree.WriteFile(file, "abc");
    Page page;
    page.view.onStatus = [&](const std::string& text) {
        if (text == "Searching for files to compare...") page.run.RequestStop();
    };
    page.run.Run(ContentRun({tree.Path()}));
    EXPECT_EQ(2u, page.run.Records().Count()) << "the walk ends after the folder being listed";
    EXPECT_EQ(2, page.List(CompareTab::Content).RowCount()) << "and the stop does not end the compare";
}

TEST(CompareRun, MemoryRunningOutEndsTheRunWithoutLists)
{
    TempFolder tree;
    for (const char* file : {"a", "b"}) tree.WriteFile(file, "abc");
    ExhaustedSource source;
    Page page(&source);
    CompareRunSettings settings = ContentRun({tree.Path()});
    settings.boxes.matchSize = true;
    page.run.Run(settings);
    EXPECT_EQ(page.prompter.shown.size(), 1u);
    EXPECT_FALSE(page.run.ListsWritten());
    EXPECT_EQ(0, page.List(CompareTab::Size).RowCount()) << "no list is written, not even one that was ready";
    EXPECT_TRUE(page.run.RunState() == CompareRunState::Finished && page.view.buttonText == "Reset");
}

// A Compare page whose worker runs on its own thread.
struct ThreadedPage {
    // By content, name and size; the page's thread polls as the page does and
    // requests a stop once cancelWhen first returns true.
    void Run(std::vector<std::string> locations, const std::function<bool()>& cancelWhen)
    {
        CompareRunSettings settings = ContentRun(std::move(locations));
        settings.boxes.matchName = settings.boxes.matchSize = true;
        ui.RunWorker([&] { run.Run(settings); }, [&] {
            const CompareRunState state = run.RunState();
            if (statesSeen.empty() || statesSeen.back() != state) statesSeen.push_back(state);
            const int errors = run.ErrorCount();
            errorsGrew = errorsGrew && errors >= lastErrors;
            lastErrors = errors;
            if (!cancelled && cancelWhen()) {
                run.RequestStop();
                cancelled = true;
            }
        });
        // Ended Finished after Idle and Running, showing "Done" and "Reset", the stop cleared.
        EXPECT_TRUE(cancelled && errorsGrew && view.actionsEnabled && run.ListsWritten() && prompter.shown.empty());
        EXPECT_EQ(statesSeen.back(), CompareRunState::Finished);
        EXPECT_TRUE(std::is_sorted(statesSeen.begin(), statesSeen.end()));
        EXPECT_EQ(view.statusTexts.back() + " " + view.buttonText, "Done Reset");
        EXPECT_FALSE(run.StopFlag().load());
    }

    const MemoryResultList& List(CompareTab tab) const { return lists[static_cast<int>(tab)]; }
    int PartRows(CompareTab tab, std::initializer_list<int> columns) const { return sent[static_cast<int>(tab)].PartRows(columns); }

    UiThread ui;
    RecordingView view{&ui};  // as the page's thread leaves it
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    SentResultList sent[CompareTabCount] = {{ui, lists[0]}, {ui, lists[1]}, {ui, lists[2]}, {ui, lists[3]},
                                            {ui, lists[4]}, {ui, lists[5]}, {ui, lists[6]}};
    ComparePagePresenter presenter{ResultListsOf(sent), view};
    CompareRun run{presenter, prompter, files, ResultListsOf(sent)};
    std::vector<CompareRunState> statesSeen;
    int lastErrors = 0;
    bool errorsGrew = true, cancelled = false;
};

// The earlier phases keep their groups, written whole.
TEST(CompareThreads, CancelInTheContentPhaseEndsOnlyThatPhase)
{
    TempFolder folder;
    for (const char* file : {"a/x.txt", "b/x.txt"}) folder.WriteFile(file, "same");
    folder.WriteFile("a/y.txt", "12345");
    folder.WriteFile("b/z.txt", "abcde");
    ThreadedPage page;
    const std::vector<std::string>& texts = page.view.statusTexts;
    page.Run({folder.Path()},
             [&] { return !texts.empty() && texts.back() == ComparePhaseText(ComparePhase::ContentGroups); });
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
    for (const char* file : {"present/x.txt", "present/sub/x.txt"}) folder.WriteFile(file, "same");
    ThreadedPage page;
    page.Run({folder.PathOf("missing1"), folder.PathOf("missing2"), folder.PathOf("present")},
             [&] { return page.List(CompareTab::ErrorLog).RowCount() == 1; });
    EXPECT_EQ(page.List(CompareTab::ErrorLog).RowCount(), 1);
    EXPECT_EQ(page.PartRows(CompareTab::ErrorLog, {ErrorLogObjectColumn, ErrorLogEventColumn}), 0);
    EXPECT_EQ(page.run.Records().Count(), 0u);
}

TEST(CompareFilters, SizeRowNormalisation)
{
    using enum SizeRuleMode;
    using enum SizeUnit;
    const struct {
        SizeRuleMode mode;
        uint32_t from;
        SizeUnit fromUnit;
        uint32_t to;
        SizeUnit toUnit;
        const char* stored;  // rule on, mode, bounds and units as kept
    } cases[] = {
        {EqualTo, 0, Bytes, 0, Bytes, "off 0 0"},
        {NotBetween, 0, Bytes, 5, Kilobytes, "off 4 0 5120 0 1"},
        {Between, 0, Bytes, 0, Kilobytes, "on 0 0 0 0 1"},
        // Bounds given the wrong way round are swapped, units with them.
        {Between, 5, Megabytes, 100, Kilobytes, "on 3 102400 5242880 1 2"},
        // Equal bounds in different units leave no size between them either.
        {Between, 1024, Bytes, 1, Kilobytes, "on 0 1024 1024 0 1"},
        {Minimum, 9999, Megabytes, 0, Bytes, "on 1 10484711424"},
    };
    for (const auto& c : cases) {
        const CompareFilterRows rows{.sizeChecked = true, .sizeMode = c.mode, .sizeFromNumber = c.from,
                                     .sizeFromUnit = c.fromUnit, .sizeToNumber = c.to, .sizeToUnit = c.toUnit};
        CompareCriteria criteria;
        const std::string caption = AcceptCompareFilters(rows, criteria);
        std::string stored = criteria.sizeRuleOn ? "on" : "off";
        const uint64_t fields[] = {uint64_t(criteria.sizeMode), criteria.sizeFrom, criteria.sizeTo,
                                   uint64_t(criteria.sizeFromUnit), uint64_t(criteria.sizeToUnit)};
        const bool range = c.mode == Between || c.mode == NotBetween;  // only a range keeps its upper bound
        for (size_t f = 0; f < (range ? 5u : 2u); ++f) stored += " " + std::to_string(fields[f]);
        EXPECT_EQ(c.stored, stored) << static_cast<int>(c.mode) << " " << c.from;
        EXPECT_EQ(criteria.sizeRuleOn ? "Specified filters" : "Specify filters", caption);
    }
}

TEST(CompareFilters, OtherRowsAndTheCaption)
{
    CompareCriteria criteria;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::Hidden)] = 1;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    CompareFilterRows rows{.extensionChecked = true, .extensionText = "jpg/png/", .dateChecked = true,
                           .dateRelation = DateRelation::Between, .dateFrom = SystemTime{2024, 5, 0, 20, 18, 0, 0, 0},
                           .dateTo = SystemTime{2024, 5, 0, 2, 9, 0, 0, 0}, .attributesChecked = true,
                           .attributeMode = AttributeRuleMode::Exclude};
    EXPECT_EQ("Specified filters", AcceptCompareFilters(rows, criteria));
    EXPECT_EQ("jpg/png", criteria.extensionList);
    EXPECT_TRUE(criteria.extensionRuleOn && criteria.attributeRuleOn);
    EXPECT_EQ(AttributeRuleMode::Exclude, criteria.attributeMode);
    EXPECT_EQ(0, criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)]);
    EXPECT_EQ(2, criteria.dateFrom.wDay) << "the earlier date becomes the first bound";
    EXPECT_EQ(DateRelation::Between, criteria.dateRelation);

    CompareFilterRows nothing;
    nothing.extensionChecked = true;  // checked, but the list is empty
    EXPECT_EQ("Specify filters", AcceptCompareFilters(nothing, criteria));
    EXPECT_FALSE(criteria.extensionRuleOn || criteria.sizeRuleOn || criteria.dateRuleOn || criteria.attributeRuleOn);
    EXPECT_EQ(0, criteria.attributeFlags[static_cast<int>(AttributeFlag::Hidden)]) << "unchecked row clears its flags";
}

}  // namespace
}  // namespace tolvane::test
