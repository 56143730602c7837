#include "actions/copy_move.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_action_fixture.h"
#include "platform/error.h"
#include "platform/path.h"
#include "support/scripted_prompter.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ActionList;
using test::ListedFile;
using test::ReadWholeFile;
using test::RecordingProgress;
using test::ScriptedChoices;
using test::ScriptedPrompter;

int EntryCount(const std::string& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Creates a folder whose path (without a trailing separator) is exactly
// length characters long.
std::string FolderOfLength(const test::TempFolder& temp, size_t length)
{
    std::string path = temp.Path() + "d";
    while (path.size() < length) {
        const size_t part = std::min<size_t>(length - path.size() - 1, 200);
        if (part == 0) {
            path += 'd';
            continue;
        }
        path += platform::PathSeparator + std::string(part, 'd');
    }
    fs::create_directories(path);
    return path;
}

TEST(NumberedName, PutsTheNumberBeforeTheLastExtension)
{
    EXPECT_EQ(NumberedName("report.txt", 1), "report_1.txt");
    EXPECT_EQ(NumberedName("report.txt", 2), "report_2.txt");
    EXPECT_EQ(NumberedName("archive.tar.gz", 1), "archive.tar_1.gz");
    EXPECT_EQ(NumberedName("README", 1), "README_1");
    EXPECT_EQ(NumberedName(".profile", 1), ".profile_1");
    EXPECT_EQ(NumberedName(".config.old", 3), ".config_3.old");
}

TEST(CopyMoveWorker, CopyIntoItsOwnFolderRenamesAndKeepsTheOriginal)
{
    ActionList t({ListedFile{"a/report.txt", "original"}});
    t.Mark({0});
    const std::string folder = t.temp.PathOf("a");
    ScriptedChoices choices(folder);
    choices.Answer(ConfirmRename);
    choices.Answer(ConfirmRename);
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(choices.pickTitle, "Select destination");
    EXPECT_EQ(progress.caption, " Copying...");
    EXPECT_EQ(progress.to, folder);
    EXPECT_EQ(progress.currentFiles, std::vector<std::string>{"report.txt  (8 B)"});
    EXPECT_EQ(progress.from, std::vector<std::string>{t.temp.PathOf("a/")});
    EXPECT_EQ(progress.counters, std::vector<std::string>{"1 / 1"});
    EXPECT_EQ(progress.finished, 1);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("a/report_1.txt")), "original");

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("a/report_2.txt")), "original");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("a/report.txt")), "original");
    EXPECT_EQ(EntryCount(folder), 3);
    EXPECT_EQ(choices.clashNames, (std::vector<std::string>{"report.txt", "report.txt"}));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(t.MarkedRowsCount(), 1);
}

TEST(CopyMoveWorker, SkipForAllAsksOncePerRunAndLeavesTheDestinationAlone)
{
    ActionList t({{"src/a.txt", "new a"}, {"src/b.txt", "new b"}, {"src/c.txt", "new c"}});
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) t.temp.WriteFile(std::string("dst/") + name, std::string("old ") + name);
    t.Mark({0, 1, 2});
    ScriptedChoices choices(t.temp.PathOf("dst"));
    choices.Answer(ConfirmSkip, true);
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(choices.clashNames, std::vector<std::string>{"c.txt"});
    EXPECT_EQ(progress.counters, (std::vector<std::string>{"1 / 3", "2 / 3", "3 / 3"}));
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 33, 66}));

    // The answer lives for one run only.
    for (int i = 0; i < 3; ++i) choices.Answer(ConfirmSkip);
    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(choices.clashNames.size(), 4u);

    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 3);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/a.txt")), "old a.txt");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/c.txt")), "old c.txt");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(CopyMoveWorker, RenameForAllGivesEachFileTheFirstFreeNumber)
{
    ActionList t({{"src/a.txt", "new a"}, {"src/b.txt", "new b"}});
    t.temp.WriteFile("dst/a.txt", "old a");
    t.temp.WriteFile("dst/a_1.txt", "old a_1");
    t.temp.WriteFile("dst/b.txt", "old b");
    t.Mark({0, 1});
    ScriptedChoices choices(t.temp.PathOf("dst"));
    choices.Answer(ConfirmRename, true);
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(choices.clashNames, std::vector<std::string>{"b.txt"});
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/b_1.txt")), "new b");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/a_2.txt")), "new a");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/a.txt")), "old a");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/a_1.txt")), "old a_1");
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/b.txt")), "old b");
}

TEST(CopyMoveWorker, BreakOperationStopsAtTheClash)
{
    ActionList t({{"src/a.txt", "a"}, {"src/b.txt", "b"}, {"src/c.txt", "c"}}, ActionModeMove);
    t.temp.WriteFile("dst/c.txt", "old c");
    t.Mark({0, 1, 2});
    ScriptedChoices choices(t.temp.PathOf("dst"));
    choices.Answer(ConfirmBreak);
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(progress.caption, " Moving...");
    EXPECT_EQ(t.target.ActionMode.load(), ActionModeStop);
    EXPECT_EQ(progress.currentFiles.size(), 1u);
    EXPECT_EQ(t.RowNames(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 1);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/c.txt")), "old c");
    EXPECT_EQ(progress.finished, 1);
}

// The middle file's name makes its destination path too long for the system,
// a failure outside the named codes.
struct MiddleFails {
    ActionList t;
    std::string destination;
    std::string longName = std::string(150, 'm') + ".txt";

    explicit MiddleFails(int32_t mode)
        : t({{"src/a.txt", "a"}, {"src/" + std::string(150, 'm') + ".txt", "m"}, {"src/c.txt", "c"}}, mode)
    {
        destination = FolderOfLength(t.temp, static_cast<size_t>(platform::MaxPath) - 101);
        t.Mark({0, 1, 2});
    }
};

TEST(CopyMoveWorker, AFailedMoveKeepsItsRowMarkedAndTheIndexInStep)
{
    MiddleFails m(ActionModeMove);
    ScriptedChoices choices(m.destination);
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdNo);

    CopyMoveWorker(m.t.target, progress, choices, prompter);
    // A move asks first and explains afterwards, with the move's own error.
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Do you want to abort?");
    EXPECT_EQ(prompter.shown[0].caption, "Error occured");
    EXPECT_EQ(prompter.shown[0].style, MbQuestion);
    EXPECT_EQ(prompter.shown[1].caption, "Operation failed");
    EXPECT_EQ(prompter.shown[1].text, platform::SystemErrorText(platform::ErrorFilenameTooLong));

    EXPECT_EQ(m.t.RowNames(), std::vector<std::string>{m.longName});
    EXPECT_EQ(m.t.index, (RowIndex{1}));
    EXPECT_TRUE(m.t.list.IsMarked(0));
    EXPECT_TRUE(m.t.list.IsEnabled());
    EXPECT_EQ(ReadWholeFile(m.destination + platform::PathSeparator + "a.txt"), "a");
    EXPECT_EQ(ReadWholeFile(m.destination + platform::PathSeparator + "c.txt"), "c");
    EXPECT_FALSE(fs::exists(m.t.temp.PathOf("src/a.txt")));
    EXPECT_EQ(ReadWholeFile(m.t.temp.PathOf("src/" + m.longName)), "m");
}

TEST(CopyMoveWorker, AFailedCopyExplainsThenAsksAndYesStops)
{
    MiddleFails m(ActionModeCopy);
    ScriptedChoices choices(m.destination);
    RecordingProgress progress;
    ScriptedPrompter prompter;
    prompter.Answer(IdYes);

    CopyMoveWorker(m.t.target, progress, choices, prompter);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].caption, "Operation failed");
    EXPECT_EQ(prompter.shown[0].style, MbIconHand);
    EXPECT_EQ(prompter.shown[1].text, "Do you want to abort?");
    EXPECT_EQ(EntryCount(m.destination), 1);  // c.txt, copied before the failure; a.txt never tried
    EXPECT_EQ(progress.currentFiles.size(), 2u);
    EXPECT_EQ(m.t.list.RowCount(), 3);
}

TEST(CopyMoveWorker, ASourceGoneSinceTheSearchIsSkippedSilently)
{
    ActionList t({{"src/a.txt", "a"}, {"src/b.txt", "b"}, {"src/c.txt", "c"}}, ActionModeMove);
    fs::remove(t.temp.PathOf("src/b.txt"));
    t.Mark({0, 1, 2});
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(t.RowNames(), std::vector<std::string>{"b.txt"});
    EXPECT_TRUE(t.list.IsMarked(0));
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 2);
}

TEST(CopyMoveWorker, MovingFromAGroupedListPrunesLoneRowsAndRenumbers)
{
    ActionList t({{"s/g1a", "1", 4}, {"s/g1b", "1", 4}, {"s/g2a", "2", 9}, {"s/g2b", "2", 9}, {"s/g2c", "2", 9}},
                 ActionModeMove);
    t.target.groupedList = true;
    t.Mark({1});
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(t.RowNames(), (std::vector<std::string>{"g2a", "g2b", "g2c"}));
    EXPECT_EQ(t.Groups(), (std::vector<std::string>{"1", "1", "1"}));
    EXPECT_EQ(t.index, (RowIndex{2, 3, 4}));
    // The pruned row's file was not moved; only the marked one was.
    EXPECT_TRUE(fs::exists(t.temp.PathOf("s/g1a")));
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/g1b")), "1");
    EXPECT_TRUE(t.list.IsEnabled());

    t.target.ActionMode = ActionModeMove;
    t.Mark({0, 1, 2});
    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(t.list.RowCount(), 0);
    EXPECT_FALSE(t.list.IsEnabled());
}

TEST(CopyMoveWorker, NoDestinationChosenTouchesNothing)
{
    ActionList t({ListedFile{"src/a.txt", "a"}}, ActionModeMove);
    t.Mark({0});
    ScriptedChoices choices("");
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(progress.finished, 1);
    EXPECT_TRUE(progress.currentFiles.empty());
    EXPECT_EQ(t.RowNames(), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(t.list.IsMarked(0));
    EXPECT_TRUE(t.list.IsEnabled());
}

TEST(CopyMoveWorker, CancelTakesEffectBeforeTheNextFile)
{
    ActionList t({{"src/a.txt", "a"}, {"src/b.txt", "b"}, {"src/c.txt", "c"}}, ActionModeMove);
    t.Mark({0, 1, 2});
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    RecordingProgress progress;
    progress.onFile = [&t] { t.target.ActionMode.store(ActionModeStop); };
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    EXPECT_EQ(ReadWholeFile(t.temp.PathOf("dst/c.txt")), "c");
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 1);
    EXPECT_EQ(t.RowNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(t.index.size(), 2u);
}

TEST(CopyMoveWorker, AccessDeniedEndsTheRun)
{
    ActionList t({{"src/a.txt", "a"}, {"src/b.txt", "b"}});
    // A folder where the file was: the system refuses to copy it as a file.
    fs::remove(t.temp.PathOf("src/b.txt"));
    fs::create_directory(t.temp.PathOf("src/b.txt"));
    t.Mark({0, 1});
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Operation aborted");
    EXPECT_EQ(prompter.shown[0].style, MbIconHand);
    EXPECT_EQ(t.target.ActionMode.load(), ActionModeStop);
    EXPECT_EQ(EntryCount(t.temp.PathOf("dst")), 0);
}

TEST(CopyMoveWorker, AnIncompleteTargetIsRefused)
{
    ActionList t({ListedFile{"src/a.txt", "a"}});
    t.Mark({0});
    t.index.clear();
    ScriptedChoices choices(t.temp.MakeFolder("dst"));
    RecordingProgress progress;
    ScriptedPrompter prompter;

    CopyMoveWorker(t.target, progress, choices, prompter);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Invalid data.");
    EXPECT_EQ(prompter.shown[0].caption, "Error");
    EXPECT_TRUE(choices.pickTitle.empty());
    EXPECT_EQ(progress.finished, 1);
}

}  // namespace
}  // namespace tolvane
