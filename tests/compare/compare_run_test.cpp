// Compare runs over real temporary trees, through the page's ports.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

#include "compare/compare_filter_normalisation.h"
#include "compare/compare_page_presenter.h"
#include "compare/compare_run.h"
#include "platform/path.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

class RecordingView : public ComparePageControls {
public:
    void SetStatusText(const std::string& text) override
    {
        statusTexts.push_back(text);
        if (onStatus) onStatus(text);
    }
    void SetButtonText(const std::string& text) override { buttonText = text; }
    void SetProgress(int percent) override { progress = percent; }
    void SetOptionControlsEnabled(bool enabled) override { optionsEnabled = enabled; }
    void SetActionsEnabled(bool enabled) override { actionsEnabled = enabled; }
    void ShowTab(CompareTab tab) override { shownTab = static_cast<int>(tab); }

    std::vector<std::string> statusTexts;
    std::string buttonText = "Compare";
    int progress = -1, shownTab = -1;
    bool optionsEnabled = true, actionsEnabled = false;
    std::function<void(const std::string&)> onStatus;
};

// Throws as soon as the grouping wants to read a file.
class ExhaustedSource : public ContentSource {
public:
    std::unique_ptr<ContentReader> Open(uint32_t, const std::string&, uint32_t&) override { throw std::bad_alloc(); }
};

struct Page {
    explicit Page(ContentSource* source = nullptr) : run(presenter, prompter, source ? *source : files, ResultListsOf(lists))
    {
    }

    MemoryResultList& List(CompareTab tab) { return lists[static_cast<int>(tab)]; }

    RecordingView view;
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    ComparePagePresenter presenter{ResultListsOf(lists), view};
    CompareRun run;
};

CompareRunSettings ContentRun(std::vector<std::string> locations)
{
    CompareRunSettings settings;
    settings.locationsSpecified = !locations.empty();
    settings.locationPaths = std::move(locations);
    settings.boxes.matchContent = true;
    return settings;
}

// Removes the trailing separator that TempFolder::Path carries.
std::string WithoutSeparator(std::string path)
{
    path.pop_back();
    return path;
}

TEST(CompareRun, RefusesToStartWithoutLocationsOrMatchOptions)
{
    Page page;
    page.run.Run(ContentRun({}));
    CompareRunSettings nothingToMatch = ContentRun({"/"});
    nothingToMatch.boxes.matchContent = false;
    page.run.Run(nothingToMatch);
    ASSERT_EQ(2u, page.prompter.shown.size());
    EXPECT_EQ("You must specify in which location(s) to search!", page.prompter.shown[0].text);
    EXPECT_EQ("You must specify what to compare (content, names and/or sizes)!", page.prompter.shown[1].text);
    EXPECT_EQ("Cannot continue", page.prompter.shown[1].caption);
    EXPECT_EQ(MbIconInformation, page.prompter.shown[1].style);
    EXPECT_EQ(CompareRunState::Idle, page.run.RunState());
    EXPECT_EQ("Compare", page.view.buttonText);
    EXPECT_TRUE(page.view.optionsEnabled);
}

TEST(CompareRun, WalksEveryLocationAndWritesTheGroupedRows)
{
    TempFolder tree;
    tree.WriteFile("one/a.txt", "same");
    tree.WriteFile("one/.hidden/b.txt", "same");  // a folder whose name starts with a dot is entered
    tree.WriteFile("one/.x/c.txt", "same");
    tree.WriteFile("one/d.txt", "different");
    tree.WriteFile("two/e.txt", "same");
    tree.WriteFile("two/empty", "");
    const std::string missing = tree.PathOf("missing");
    Page page;
    page.run.Run(ContentRun({WithoutSeparator(tree.PathOf("one/")), missing, tree.PathOf("two")}));

    ASSERT_EQ(CompareRunState::Finished, page.run.RunState());
    ASSERT_EQ(1, page.List(CompareTab::ErrorLog).RowCount());
    EXPECT_EQ(platform::WithTrailingSeparator(missing), page.List(CompareTab::ErrorLog).Cell(0, 1));
    EXPECT_FALSE(page.List(CompareTab::ErrorLog).Cell(0, 2).empty());

    // Breadth first: the files of the locations, then those of their subfolders.
    const MemoryResultList& content = page.List(CompareTab::Content);
    ASSERT_EQ(4, content.RowCount());
    EXPECT_EQ("a.txt", content.Cell(0, 2));
    EXPECT_EQ(tree.PathOf("one/"), content.Cell(0, 3));
    EXPECT_EQ("e.txt", content.Cell(1, 2));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ("1", content.Cell(row, GroupColumn));
        EXPECT_EQ("4", content.Cell(row, 4));
        EXPECT_EQ(17u, content.Cell(row, 5).size()) << content.Cell(row, 5);
    }
    ASSERT_EQ(1, page.List(CompareTab::ZeroSize).RowCount());
    EXPECT_EQ("empty", page.List(CompareTab::ZeroSize).Cell(0, 1));

    EXPECT_EQ(static_cast<int>(CompareTab::Content), page.view.shownTab);
    EXPECT_TRUE(content.IsEnabled());
    EXPECT_FALSE(page.List(CompareTab::Name).IsEnabled());
    EXPECT_EQ("Reset", page.view.buttonText);
    EXPECT_EQ("Done", page.view.statusTexts.back());
    EXPECT_TRUE(page.view.actionsEnabled);
    EXPECT_FALSE(page.view.optionsEnabled);

    page.run.Reset();
    EXPECT_EQ(0, content.RowCount());
    EXPECT_EQ(0, page.List(CompareTab::ErrorLog).RowCount());
    EXPECT_FALSE(content.IsEnabled());
    EXPECT_EQ("Compare", page.view.buttonText);
    EXPECT_EQ("Idle", page.view.statusTexts.back());
    EXPECT_EQ(0, page.view.progress);
    EXPECT_EQ(0u, page.run.Records().Count());

    // Without subfolders and with an extension filter, only a.txt, d.txt and e.txt.
    CompareRunSettings filtered = ContentRun({tree.PathOf("one"), tree.PathOf("two")});
    filtered.includeSubfolders = false;
    filtered.criteria.extensionRuleOn = true;
    filtered.criteria.extensionList = "txt";
    page.run.Run(filtered);
    EXPECT_EQ(3u, page.run.Records().Count());
    EXPECT_EQ(2, content.RowCount());
}

// Lists that name one folder twice, or a folder inside another where the
// sorted list does not put the two next to each other.
std::vector<std::vector<std::string>> OverlappingLocationLists(const TempFolder& tree)
{
    const std::string data = tree.PathOf("Data");
    std::vector<std::vector<std::string>> lists = {
        {data, tree.PathOf("Data Backup"), tree.PathOf("Data/Old")},
        {tree.PathOf("Data Backup"), data, platform::WithTrailingSeparator(data)},
    };
#ifdef _WIN32
    std::string shouted = data;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    lists.push_back({data, tree.PathOf("Data Backup"), shouted});
#endif
    return lists;
}

TEST(CompareRun, EachFileIsCollectedOnceWhateverTheLocationsListHolds)
{
    TempFolder tree;
    tree.WriteFile("Data/a.txt", "same");
    tree.WriteFile("Data/Old/b.txt", "same");
    tree.WriteFile("Data/Old/solo.txt", "solo");
    tree.WriteFile("Data Backup/c.txt", "same");
    for (const std::vector<std::string>& locations : OverlappingLocationLists(tree)) {
        Page page;
        page.run.Run(ContentRun(locations));
        EXPECT_EQ(4u, page.run.Records().Count()) << locations[2];
        // One group of three different files: none is its own duplicate.
        const MemoryResultList& content = page.List(CompareTab::Content);
        std::set<std::string> paths;
        for (int row = 0; row < content.RowCount(); ++row) paths.insert(content.Cell(row, 3) + content.Cell(row, 2));
        EXPECT_EQ(3, content.RowCount()) << locations[2];
        EXPECT_EQ(3u, paths.size()) << locations[2];
    }
}

TEST(CompareRun, StopDuringTheWalkComparesTheFilesFoundSoFar)
{
    TempFolder tree;
    tree.WriteFile("a", "abc");
    tree.WriteFile("b", "abc");
    tree.WriteFile("sub/c", "abc");
    Page page;
    page.view.onStatus = [&](const std::string& text) {
        if (text == "Searching for files to compare...") page.run.RequestStop();
    };
    page.run.Run(ContentRun({tree.Path()}));
    EXPECT_EQ(2u, page.run.Records().Count()) << "the walk ends after the folder being listed";
    EXPECT_EQ(2, page.List(CompareTab::Content).RowCount());
    EXPECT_EQ(CompareRunState::Finished, page.run.RunState());
    EXPECT_FALSE(page.run.StopFlag().load());
}

TEST(CompareRun, RunWithNoFilesEndsWithEveryListEmpty)
{
    TempFolder tree;
    Page page;
    page.run.Run(ContentRun({tree.Path()}));
    for (const MemoryResultList& list : page.lists) {
        EXPECT_EQ(0, list.RowCount());
        EXPECT_FALSE(list.IsEnabled());
    }
    EXPECT_EQ(-1, page.view.shownTab) << "the current tab stays";
    EXPECT_TRUE(page.view.actionsEnabled);
    EXPECT_EQ("Done", page.view.statusTexts.back());
}

TEST(CompareRun, MemoryRunningOutEndsTheRunWithoutLists)
{
    TempFolder tree;
    tree.WriteFile("a", "abc");
    tree.WriteFile("b", "abc");
    ExhaustedSource source;
    Page page(&source);
    CompareRunSettings settings = ContentRun({tree.Path()});
    settings.boxes.matchSize = true;
    page.run.Run(settings);
    ASSERT_EQ(1u, page.prompter.shown.size());
    EXPECT_EQ("Memory allocation failed.", page.prompter.shown[0].text);
    EXPECT_EQ("Aborted", page.prompter.shown[0].caption);
    EXPECT_EQ(MbIconHand, page.prompter.shown[0].style);
    EXPECT_FALSE(page.run.ListsWritten());
    EXPECT_EQ(0, page.List(CompareTab::Size).RowCount()) << "no list is written, not even one that was ready";
    EXPECT_EQ(CompareRunState::Finished, page.run.RunState());
    EXPECT_EQ("Reset", page.view.buttonText);
}

TEST(CompareFilters, SizeRowNormalisation)
{
    const struct {
        SizeRuleMode mode;
        uint32_t from;
        SizeUnit fromUnit;
        uint32_t to;
        SizeUnit toUnit;
        bool ruleOn;
        SizeRuleMode storedMode;
        uint64_t storedFrom, storedTo;
    } cases[] = {
        {SizeRuleMode::EqualTo, 0, SizeUnit::Bytes, 0, SizeUnit::Bytes, false, SizeRuleMode::EqualTo, 0, 0},
        {SizeRuleMode::Maximum, 0, SizeUnit::Bytes, 0, SizeUnit::Bytes, false, SizeRuleMode::Maximum, 0, 0},
        {SizeRuleMode::NotBetween, 0, SizeUnit::Bytes, 5, SizeUnit::Kilobytes, false, SizeRuleMode::NotBetween, 0, 5120},
        {SizeRuleMode::Between, 0, SizeUnit::Bytes, 0, SizeUnit::Kilobytes, true, SizeRuleMode::EqualTo, 0, 0},
        // Bounds given the wrong way round are swapped, units with them.
        {SizeRuleMode::Between, 5, SizeUnit::Megabytes, 100, SizeUnit::Kilobytes, true, SizeRuleMode::Between, 102400,
         5242880},
        {SizeRuleMode::Between, 7, SizeUnit::Kilobytes, 7, SizeUnit::Kilobytes, true, SizeRuleMode::EqualTo, 7168, 7168},
        // Equal bounds in different units leave no size between them either.
        {SizeRuleMode::Between, 1024, SizeUnit::Bytes, 1, SizeUnit::Kilobytes, true, SizeRuleMode::EqualTo, 1024, 1024},
        {SizeRuleMode::Between, 1, SizeUnit::Megabytes, 1024, SizeUnit::Kilobytes, true, SizeRuleMode::EqualTo, 1048576,
         1048576},
        {SizeRuleMode::Minimum, 9999, SizeUnit::Megabytes, 0, SizeUnit::Bytes, true, SizeRuleMode::Minimum,
         9999ull * 1048576, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " " << c.from);
        CompareFilterRows rows;
        rows.sizeChecked = true;
        rows.sizeMode = c.mode;
        rows.sizeFromNumber = c.from;
        rows.sizeFromUnit = c.fromUnit;
        rows.sizeToNumber = c.to;
        rows.sizeToUnit = c.toUnit;
        CompareCriteria criteria;
        EXPECT_EQ(c.ruleOn ? "Specified filters" : "Specify filters", AcceptCompareFilters(rows, criteria));
        EXPECT_EQ(c.ruleOn, criteria.sizeRuleOn);
        EXPECT_EQ(c.storedMode, criteria.sizeMode);
        EXPECT_EQ(c.storedFrom, criteria.sizeFrom);
        if (c.mode == SizeRuleMode::Between || c.mode == SizeRuleMode::NotBetween) {
            EXPECT_EQ(c.storedTo, criteria.sizeTo);
            EXPECT_EQ(c.storedFrom == 102400 ? SizeUnit::Kilobytes : c.fromUnit, criteria.sizeFromUnit);
        }
    }
}

TEST(CompareFilters, OtherRowsAndTheCaption)
{
    CompareCriteria criteria;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::Hidden)] = 1;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    CompareFilterRows rows;
    rows.extensionChecked = true;
    rows.extensionText = "jpg/png/";
    rows.attributesChecked = true;
    rows.attributeMode = AttributeRuleMode::Exclude;
    rows.dateChecked = true;
    rows.dateRelation = DateRelation::Between;
    rows.dateFrom = SystemTime{2024, 5, 0, 20, 18, 0, 0, 0};
    rows.dateTo = SystemTime{2024, 5, 0, 2, 9, 0, 0, 0};
    EXPECT_EQ("Specified filters", AcceptCompareFilters(rows, criteria));
    EXPECT_EQ("jpg/png", criteria.extensionList);
    EXPECT_TRUE(criteria.extensionRuleOn);
    EXPECT_TRUE(criteria.attributeRuleOn);
    EXPECT_EQ(AttributeRuleMode::Exclude, criteria.attributeMode);
    EXPECT_EQ(0, criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)]);
    EXPECT_EQ(2, criteria.dateFrom.wDay) << "the earlier date becomes the first bound";
    EXPECT_EQ(DateRelation::Between, criteria.dateRelation);

    rows.dateTo = SystemTime{2024, 5, 0, 20, 7, 30, 0, 0};  // the same day at another hour
    AcceptCompareFilters(rows, criteria);
    EXPECT_EQ(DateRelation::On, criteria.dateRelation);

    CompareFilterRows nothing;
    nothing.extensionChecked = true;  // checked, but the list is empty
    nothing.sizeChecked = false;
    EXPECT_EQ("Specify filters", AcceptCompareFilters(nothing, criteria));
    EXPECT_FALSE(criteria.extensionRuleOn || criteria.sizeRuleOn || criteria.dateRuleOn || criteria.attributeRuleOn);
    EXPECT_EQ(0, criteria.attributeFlags[static_cast<int>(AttributeFlag::Hidden)]) << "unchecked row clears its flags";
}

}  // namespace
}  // namespace tolvane::test
