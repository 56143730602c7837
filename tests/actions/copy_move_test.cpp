#include "actions/copy_move.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_action_fixture.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

int EntryCount(const std::string& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Runs the action on the list with clashes answered by choices.
void Transfer(ActionList& t, ScriptedChoices& choices) { CopyMoveWorker(t.target, t.progress, choices, t.prompter); }

TEST(NumberedName, PutsTheNumberBeforeTheLastExtension)
{
    EXPECT_EQ(NumberedName("report.txt", 2), "report_2.txt");
    EXPECT_EQ(NumberedName("archive.tar.gz", 1), "archive.tar_1.gz");
    EXPECT_EQ(NumberedName("README", 1), "README_1");
    EXPECT_EQ(NumberedName(".profile", 1), ".profile_1");
    EXPECT_EQ(NumberedName(".config.old", 3), ".config_3.old");
}

TEST(CopyMoveWorker, CopyIntoItsOwnFolderRenamesAndKeepsTheOriginal)
{
    ActionList t({ListedFile{"a/report.txt", "original"}});
    const std::string folder = t.temp.PathOf("a");
    ScriptedChoices choices(folder);
    choices.Answer(ClashAnswer::Rename);
    choices.Answer(ClashAnswer::Rename);
    Transfer(t, choices);
    EXPECT_EQ(choices.pickTitle, "Select destination");
    EXPECT_EQ(t.progress.caption, " Copying...");
    EXPECT_EQ(t.progress.to, folder);
    EXPECT_EQ(t.progress.currentFiles, Names{"report.txt  (8 B)"});
    EXPECT_EQ(t.progress.from, Names{t.temp.PathOf("a/")});
    EXPECT_EQ(t.progress.counters, Names{"1 / 1"});

    Transfer(t, choices);
    for (const char* name : {"a/report.txt", "a/report_1.txt", "a/report_2.txt"})
        EXPECT_EQ(ReadWholeFile(t.temp.PathOf(name)), "original") << name;
    EXPECT_EQ(EntryCount(folder), 3);
    EXPECT_EQ(choices.clashNames, (Names{"report.txt", "report.txt"}));
    EXPECT_TRUE(t.prompter.shown.empty());
    EXPECT_TRUE(t.list.IsMarked(0));
    EXPECT_EQ(t.progress.finished, 2);
}

// Rows are handled from the bottom up; an answer for all lasts one run.
TEST(CopyMoveWorker, AnswersForAllAreRememberedForOneRunAndNothingIsReplaced)
{
    ActionList t({{"src/a.txt", "new a"}, {"src/b.txt", "new b"}, {"src/c.txt", "new c"}});
    for (const char* name : {"a", "b", "c"}) t.temp.WriteFile(std::string("dst/") + name + ".txt", std::string("old ") + name);
    ScriptedChoices choices(t.temp.PathOf("dst"));
    choices.Answer(ClashAnswer::Skip, true);
    Transfer(t, choices);
    EXPECT_EQ(choices.clashNames, Names{"c.txt"});
    EXPECT_EQ(t.progress.counters, (Names{"1 / 3", "2 / 3", "3 / 3"}));
    EXPECT_EQ(t.progress.positions, (std::vector<int>{0, 33, 66}));
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 3);

    t.temp.WriteFile("dst/a_1.txt", "old a_1");
    choices.Answer(ClashAnswer::Rename, true);
    Transfer(t, choices);
    EXPECT_EQ(choices.clashNames, (Names{"c.txt", "c.txt"}));
    const std::pair<const char*, const char*> expected[] = {{"a", "old a"},     {"a_1", "old a_1"}, {"a_2", "new a"},
                                                            {"b", "old b"},     {"b_1", "new b"},   {"c", "old c"},
                                                            {"c_1", "new c"}};
    for (const auto& [name, content] : expected)
        EXPECT_EQ(ReadWholeFile(t.temp.PathOf(std::string("dst/") + name + ".txt")), content) << name;
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 7);
    EXPECT_TRUE(t.prompter.shown.empty());
}

TEST(CopyMoveWorker, BreakOperationStopsAtTheClash)
{
    ActionList t(ThreeFiles(), ActionModeMove);
    t.temp.WriteFile("dst/c.txt", "old c");
    ScriptedChoices choices(t.temp.PathOf("dst"));
    choices.Answer(ClashAnswer::Break);
    Transfer(t, choices);
    EXPECT_EQ(t.progress.caption, " Moving...");
    EXPECT_EQ(t.target.ActionMode.load(), ActionModeStop);
    EXPECT_EQ(t.progress.currentFiles.size(), 1u);
    EXPECT_EQ(t.RowNames(), (Names{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 1);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/c.txt")), "old c");
}

// The middle file's name makes its destination path too long for the system,
// a failure outside the named codes. A move asks first and explains
// afterwards; a copy explains, then asks.
TEST(CopyMoveWorker, AFailingMiddleRowAsksWhetherToAbortAndKeepsItsRow)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder path near the limit of 32,767 UTF-16 units is beyond what Wine's host system takes";
#endif
    const std::string longName = std::string(150, 'm') + ".txt";
    for (const int32_t mode : {ActionModeMove, ActionModeCopy}) {
        ActionList t({{"src/a.txt", "a"}, {"src/" + longName, "m"}, {"src/c.txt", "c"}}, mode);
        // A folder whose path is MaxPath - 101 characters long.
        const size_t length = static_cast<size_t>(platform::MaxPath) - 101;
        std::string destination = t.temp.Path() + "d";
        while (destination.size() < length) {
            const size_t part = std::min<size_t>(length - destination.size() - 1, 200);
            destination += part == 0 ? std::string("d") : platform::PathSeparator + std::string(part, 'd');
        }
        fs::create_directories(destination);
        ScriptedChoices choices(destination);
        const Shown failed = SystemError("Operation failed", platform::ErrorFilenameTooLong);
        const Shown abort{"Do you want to abort?", "Error occured", MbQuestion};
        const std::string dst = destination + platform::PathSeparator;
        if (mode == ActionModeMove) {
            t.prompter.Answer(IdNo);
            Transfer(t, choices);
            EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{abort, failed}));
            EXPECT_EQ(t.RowNames(), Names{longName});
            EXPECT_EQ(t.index, (RowIndex{1}));
            EXPECT_TRUE(t.list.IsMarked(0));
            EXPECT_TRUE(t.list.IsEnabled());
            EXPECT_EQ(ReadWholeFile(dst + "a.txt"), "a");
            EXPECT_FALSE(fs::exists(t.temp.PathOf("src/a.txt")));
            EXPECT_EQ(ReadWholeFile(t.temp.PathOf("src/" + longName)), "m");
        } else {
            t.prompter.Answer(IdYes);
            Transfer(t, choices);
            EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{failed, abort}));
            EXPECT_FALSE(fs::exists(dst + "a.txt"));  // never tried after Yes
            EXPECT_EQ(t.list.RowCount(), 3);
        }
        EXPECT_EQ(ReadWholeFile(dst + "c.txt"), "c");
    }
}

TEST(CopyMoveWorker, ASourceGoneSinceTheSearchIsSkippedSilently)
{
    ActionList t(ThreeFiles(), ActionModeMove);
    fs::remove(t.temp.PathOf("src/b.txt"));
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    Transfer(t, choices);
    EXPECT_TRUE(t.prompter.shown.empty());
    EXPECT_EQ(t.RowNames(), Names{"b.txt"});
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 2);
}

TEST(CopyMoveWorker, MovingFromAGroupedListPrunesLoneRowsAndRenumbers)
{
    ActionList t({{"s/g1a", "1", 4}, {"s/g1b", "1", 4}, {"s/g2a", "2", 9}, {"s/g2b", "2", 9}, {"s/g2c", "2", 9}},
                 ActionModeMove);
    t.target.groupedList = true;
    t.Mark({1});
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    Transfer(t, choices);
    EXPECT_EQ(t.RowNames(), (Names{"g2a", "g2b", "g2c"}));
    EXPECT_EQ(t.Groups(), (Names{"1", "1", "1"}));
    EXPECT_EQ(t.index, (RowIndex{2, 3, 4}));
    // The pruned row's file was not moved; only the marked one was.
    EXPECT_TRUE(fs::exists(t.temp.PathOf("s/g1a")));
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/g1b")), "1");
    EXPECT_TRUE(t.list.IsEnabled());

    t.Mark({0, 1, 2});
    Transfer(t, choices);
    EXPECT_EQ(t.list.RowCount(), 0);
    EXPECT_FALSE(t.list.IsEnabled());
}

TEST(CopyMoveWorker, NoDestinationOrAnIncompleteTargetTouchesNothing)
{
    ActionList t({ListedFile{"src/a.txt", "a"}}, ActionModeMove);
    ScriptedChoices none("");
    Transfer(t, none);
    EXPECT_EQ(t.progress.finished, 1);
    EXPECT_TRUE(t.progress.currentFiles.empty());
    EXPECT_EQ(t.RowNames(), Names{"a.txt"});
    EXPECT_TRUE(t.list.IsEnabled());

    t.index.clear();
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    Transfer(t, choices);
    EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{{"Invalid data.", "Error", MbIconHand}}));
    EXPECT_TRUE(choices.pickTitle.empty());
    EXPECT_EQ(t.progress.finished, 2);
    EXPECT_TRUE(fs::exists(t.temp.PathOf("src/a.txt")));
}

TEST(CopyMoveWorker, AccessDeniedEndsTheRun)
{
    ActionList t({{"src/a.txt", "a"}, {"src/b.txt", "b"}});
    // A folder where the file was: the system refuses to copy it as a file.
    fs::remove(t.temp.PathOf("src/b.txt"));
    fs::create_directory(t.temp.PathOf("src/b.txt"));
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    Transfer(t, choices);
    EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{SystemError("Operation aborted", platform::ErrorAccessDenied)}));
    EXPECT_EQ(t.target.ActionMode.load(), ActionModeStop);
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 0);
}

#ifdef _WIN32
// To another volume the system copies and then deletes; a read-only source
// cannot be deleted, and the move must then leave no copy and keep its row.
TEST(CopyMoveWorker, AMoveToAnotherVolumeThatCannotDeleteItsSourceLeavesEverythingAsItWas)
{
    const std::string otherVolume = "Z:\\dev\\shm";  // a memory volume of Wine's host
    if (!fs::is_directory(otherVolume)) GTEST_SKIP() << "no second volume here";
    ActionList t({ListedFile{"src/a.txt", "a"}}, ActionModeMove);
    ASSERT_TRUE(SetReadOnly(t.temp.PathOf("src/a.txt"), true));
    TempFolder destination(otherVolume);
    ScriptedChoices choices(destination.Path());
    Transfer(t, choices);
    EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{SystemError("Operation aborted", platform::ErrorAccessDenied)}));
    EXPECT_EQ(t.RowNames(), Names{"a.txt"});
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("src/a.txt")), "a");
    EXPECT_EQ(EntryCount(destination.Path()), 0);
}
#endif

}  // namespace
}  // namespace tolvane
