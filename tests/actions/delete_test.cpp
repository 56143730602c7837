#include "actions/delete.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_action_fixture.h"
#include "support/scripted_prompter.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ActionList;
using test::RecordingProgress;
using test::ScriptedPrompter;

ActionList ThreeFiles() { return ActionList({{"f/a.txt", "a"}, {"f/b.txt", "b"}, {"f/c.txt", "c"}}, ActionModeMove); }

TEST(DeleteWorker, NoToTheQuestionChangesNothing)
{
    ActionList t({{"f/a.txt", "a"}, {"f/b.txt", "b"}}, ActionModeMove);
    t.Mark({0, 1});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdNo);

    DeleteWorker(t.target, progress, prompter);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Do you really want to delete the selected items?");
    EXPECT_EQ(prompter.shown[0].caption, "Confirm");
    EXPECT_EQ(prompter.shown[0].style, MbQuestion);
    EXPECT_EQ(progress.finished, 1);
    EXPECT_TRUE(fs::exists(t.temp.PathOf("f/a.txt")));
    EXPECT_TRUE(fs::exists(t.temp.PathOf("f/b.txt")));
    EXPECT_EQ(t.MarkedRowsCount(), 2);
}

TEST(DeleteWorker, TheRowLeftBetweenDeletedRowsShowsItsOwnRecord)
{
    ActionList t = ThreeFiles();
    t.Mark({0, 2});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);

    DeleteWorker(t.target, progress, prompter);
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(t.RowNames(), std::vector<std::string>{"b.txt"});
    EXPECT_EQ(t.index, (RowIndex{1}));
    EXPECT_FALSE(fs::exists(t.temp.PathOf("f/a.txt")));
    EXPECT_TRUE(fs::exists(t.temp.PathOf("f/b.txt")));
    EXPECT_FALSE(fs::exists(t.temp.PathOf("f/c.txt")));
    EXPECT_EQ(progress.currentFiles, (std::vector<std::string>{"c.txt", "a.txt"}));
    EXPECT_EQ(progress.counters, (std::vector<std::string>{"1 / 2", "2 / 2"}));
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 50}));
    EXPECT_TRUE(t.list.IsEnabled());
}

TEST(DeleteWorker, AFileAlreadyGoneLeavesTheListWithoutAMessage)
{
    ActionList t = ThreeFiles();
    fs::remove(t.temp.PathOf("f/b.txt"));
    t.Mark({1});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);

    DeleteWorker(t.target, progress, prompter);
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(t.RowNames(), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(t.index, (RowIndex{0, 2}));
}

TEST(DeleteWorker, AReadOnlyFileAsksWhetherToAbortAndStays)
{
    ActionList t = ThreeFiles();
    ASSERT_TRUE(test::SetReadOnly(t.temp.PathOf("f/b.txt"), true));
    t.Mark({0, 1, 2});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);
    prompter.Answer(IdNo);

    DeleteWorker(t.target, progress, prompter);
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[1].caption, "Operation failed");
    EXPECT_EQ(prompter.shown[1].style, MbIconHand);
    EXPECT_EQ(prompter.shown[2].text, "Do you want to abort?");
    EXPECT_EQ(prompter.shown[2].caption, "Error occured");
    EXPECT_EQ(t.RowNames(), std::vector<std::string>{"b.txt"});
    EXPECT_TRUE(t.list.IsMarked(0));
    EXPECT_EQ(test::ReadWholeFile(t.temp.PathOf("f/b.txt")), "b");
    EXPECT_FALSE(fs::exists(t.temp.PathOf("f/a.txt")));
}

TEST(DeleteWorker, YesToAbortStopsBeforeTheNextFile)
{
    ActionList t = ThreeFiles();
    ASSERT_TRUE(test::SetReadOnly(t.temp.PathOf("f/c.txt"), true));
    t.Mark({0, 1, 2});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);
    prompter.Answer(IdYes);

    DeleteWorker(t.target, progress, prompter);
    EXPECT_EQ(t.target.ActionMode.load(), ActionModeStop);
    EXPECT_EQ(t.list.RowCount(), 3);
    EXPECT_TRUE(fs::exists(t.temp.PathOf("f/a.txt")));
    EXPECT_EQ(progress.finished, 1);
}

TEST(DeleteWorker, GroupsLeftWithOneRowGoAndAnEmptyListIsDisabled)
{
    ActionList t({{"s/g1a", "1", 3}, {"s/g1b", "1", 3}, {"s/g2a", "2", 5}, {"s/g2b", "2", 5}, {"s/g2c", "2", 5}},
                 ActionModeMove);
    t.target.groupedList = true;
    t.Mark({2});
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);

    DeleteWorker(t.target, progress, prompter);
    EXPECT_EQ(t.RowNames(), (std::vector<std::string>{"g1a", "g1b", "g2b", "g2c"}));
    EXPECT_EQ(t.Groups(), (std::vector<std::string>{"1", "1", "2", "2"}));

    t.Mark({0, 1, 2, 3});
    prompter.Answer(IdYes);
    DeleteWorker(t.target, progress, prompter);
    EXPECT_EQ(t.list.RowCount(), 0);
    EXPECT_TRUE(t.index.empty());
    EXPECT_FALSE(t.list.IsEnabled());
}

}  // namespace
}  // namespace tolvane
