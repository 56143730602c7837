#include "actions/delete.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_action_fixture.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

const Shown Confirm{"Do you really want to delete the selected items?", "Confirm", MbQuestion};
const Shown Abort{"Do you want to abort?", "Error occured", MbQuestion};

// Rows go from the bottom up. A file already gone is as good as deleted; a
// read-only one keeps its marked row, and Yes to the abort question stops
// before the next file.
TEST(DeleteWorker, DeletesTheMarkedFilesAfterYesAndAsksWhetherToAbortOnAFailure)
{
    const Shown denied = SystemError("Operation failed", platform::ErrorAccessDenied);
    const struct { const char* what; std::vector<int> answers; std::vector<Shown> said; const char *rows, *files; } cases[] = {
        {"no", {IdNo}, {Confirm}, "a.txt* b.txt c.txt*", "a.txt=a b.txt=b c.txt=c"},
        {"yes", {IdYes}, {Confirm}, "b.txt", "b.txt=b"},
        {"gone", {IdYes}, {Confirm}, "b.txt", "b.txt=b"},
        {"locked", {IdYes, IdNo}, {Confirm, denied, Abort}, "b.txt*", "b.txt=b"},
        {"locked, abort", {IdYes, IdYes}, {Confirm, denied, Abort}, "a.txt* b.txt*", "a.txt=a b.txt=b"},
    };
    for (const auto& c : cases) {
        ActionList t(ThreeFiles(), ActionModeMove);
        const std::string what = c.what;
        if (what == "gone") fs::remove(t.temp.PathOf("src/a.txt"));
        if (what.starts_with("locked")) ASSERT_TRUE(SetReadOnly(t.temp.PathOf("src/b.txt"), true));
        else t.Mark({0, 2});
        for (int answer : c.answers) t.prompter.Answer(answer);
        DeleteWorker(t.target, t.progress, t.prompter);
        EXPECT_EQ(Said(t.prompter), c.said) << what;
        EXPECT_EQ(t.Rows(), c.rows) << what;
        EXPECT_EQ(Contents(t.temp.PathOf("src")), c.files) << what;
        EXPECT_EQ(t.progress.finished, 1) << what;
        EXPECT_TRUE(t.list.IsEnabled()) << what;
        if (what == "yes") {
            EXPECT_EQ(t.progress.steps, (Names{"c.txt, 1 / 2, 0%", "a.txt, 2 / 2, 50%"}));
        }
    }
}

// Only the deleted file leaves the page's other list, not the row pruned with
// it here; that list then drops the group the deletion left with one row. An
// emptied list is disabled.
TEST(DeleteWorker, GroupsLeftWithOneRowGoAndADeletedFileLeavesTheOtherListsOfThePage)
{
    ActionList t({{"s/g1a", "1", 3}, {"s/g1b", "1", 3}, {"s/g2a", "2", 5}, {"s/g2b", "2", 5}, {"s/g2c", "2", 5}},
                 ActionModeMove);
    t.target.groupedList = true;
    TargetList other(Entries{});
    other.target.records = &t.records;
    other.target.groupedList = true;
    other.index = {0, 2, 1, 3, 4};
    for (const char* group : {"1", "1", "2", "2", "2"}) other.list.InsertRow(other.list.RowCount()), other.list.SetCellText(other.list.RowCount() - 1, GroupColumn, group);

    t.Mark({2});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.Rows(), "g1a/1 g1b/1 g2b/2 g2c/2");
    t.Mark({0});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.Rows(), "g2b/1 g2c/1");
    EXPECT_EQ(t.target.removedRecords, (std::vector<uint32_t>{2, 0}));
    DeleteRecordRows(other.target, t.target.removedRecords);
    EXPECT_EQ(other.Rows(), "g1b/1 g2b/1 g2c/1");

    t.Mark({0, 1});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.Rows() + Contents(t.temp.PathOf("s")), "g1b=1");
    EXPECT_FALSE(t.list.IsEnabled());
}

}  // namespace
}  // namespace tolvane
