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

// Rows are deleted from the bottom up; the row left between two deleted ones
// shows its own record.
TEST(DeleteWorker, DeletesTheMarkedFilesAndTheirRowsOnlyAfterYes)
{
    ActionList t(ThreeFiles(), ActionModeMove);
    t.Mark({0, 2});
    t.prompter.Answer(IdNo);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.list.RowCount(), 3);
    EXPECT_TRUE(fs::exists(t.temp.PathOf("src/a.txt")));

    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{Confirm, Confirm}));
    EXPECT_EQ(t.RowNames(), Names{"b.txt"});
    EXPECT_EQ(t.index, (RowIndex{1}));
    EXPECT_FALSE(fs::exists(t.temp.PathOf("src/a.txt")));
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("src/b.txt")), "b");
    EXPECT_FALSE(fs::exists(t.temp.PathOf("src/c.txt")));
    EXPECT_EQ(t.progress.currentFiles, (Names{"c.txt", "a.txt"}));
    EXPECT_EQ(t.progress.counters, (Names{"1 / 2", "2 / 2"}));
    EXPECT_EQ(t.progress.positions, (std::vector<int>{0, 50}));
    EXPECT_EQ(t.progress.finished, 2);
    EXPECT_TRUE(t.list.IsEnabled());
}

TEST(DeleteWorker, AFileAlreadyGoneLosesItsRowWithoutAMessage)
{
    ActionList t(ThreeFiles(), ActionModeMove);
    fs::remove(t.temp.PathOf("src/b.txt"));
    t.Mark({1});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(Said(t.prompter), std::vector<Shown>{Confirm});
    EXPECT_EQ(t.RowNames(), (Names{"a.txt", "c.txt"}));
    EXPECT_EQ(t.index, (RowIndex{0, 2}));
}

// A read-only file cannot be deleted: its row stays marked, and Yes to the
// abort question stops before the next file.
TEST(DeleteWorker, AFailureAsksWhetherToAbort)
{
    for (const bool abort : {false, true}) {
        ActionList t(ThreeFiles(), ActionModeMove);
        ASSERT_TRUE(SetReadOnly(t.temp.PathOf("src/b.txt"), true));
        t.prompter.Answer(IdYes);
        t.prompter.Answer(abort ? IdYes : IdNo);
        DeleteWorker(t.target, t.progress, t.prompter);
        EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{Confirm, SystemError("Operation failed", platform::ErrorAccessDenied), Abort}));
        EXPECT_EQ(t.RowNames(), (abort ? Names{"a.txt", "b.txt"} : Names{"b.txt"}));
        EXPECT_EQ(fs::exists(t.temp.PathOf("src/a.txt")), abort);
        EXPECT_EQ(ReadWholeFile(t.temp.PathOf("src/b.txt")), "b");
        EXPECT_TRUE(t.list.IsMarked(0));
    }
}

TEST(DeleteWorker, GroupsLeftWithOneRowGoAndAnEmptyListIsDisabled)
{
    ActionList t({{"s/g1a", "1", 3}, {"s/g1b", "1", 3}, {"s/g2a", "2", 5}, {"s/g2b", "2", 5}, {"s/g2c", "2", 5}},
                 ActionModeMove);
    t.target.groupedList = true;
    t.Mark({2});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.RowNames(), (Names{"g1a", "g1b", "g2b", "g2c"}));
    EXPECT_EQ(t.Groups(), (Names{"1", "1", "2", "2"}));

    t.Mark({0, 1, 2, 3});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.list.RowCount(), 0);
    EXPECT_TRUE(t.index.empty());
    EXPECT_FALSE(t.list.IsEnabled());
}

// Only the deleted file leaves the page's other list, not the row pruned with
// it here; that list then drops the group the deletion left with one row.
TEST(DeleteWorker, ADeletedFileLeavesTheOtherListsOfThePage)
{
    ActionList t({{"s/g1a", "1", 1}, {"s/g1b", "1", 1}, {"s/g2a", "2", 2}, {"s/g2b", "2", 2}, {"s/g2c", "2", 2}},
                 ActionModeMove);
    t.target.groupedList = true;
    MemoryResultList other;
    RowIndex otherIndex{0, 2, 1, 3, 4};
    for (const char* group : {"1", "1", "2", "2", "2"}) {
        other.InsertRow(other.RowCount());
        other.SetCellText(other.RowCount() - 1, GroupColumn, group);
    }
    ActionTarget otherTab;
    otherTab.list = &other;
    otherTab.records = &t.records;
    otherTab.rowIndex = &otherIndex;
    otherTab.groupedList = true;

    t.Mark({0});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    ASSERT_FALSE(fs::exists(std::string(t.records.FolderPath(0)) + "g1a"));
    EXPECT_EQ(t.RowNames(), (Names{"g2a", "g2b", "g2c"}));
    EXPECT_EQ(t.target.removedRecords, (std::vector<uint32_t>{0}));

    DeleteRecordRows(otherTab, t.target.removedRecords);
    EXPECT_EQ(otherIndex, (RowIndex{1, 3, 4}));
    EXPECT_EQ(other.RowCount(), 3);
    for (int row = 0; row < other.RowCount(); ++row) EXPECT_EQ(other.Cell(row, GroupColumn), "1") << row;
}

}  // namespace
}  // namespace tolvane
