// Copy, move and delete over real files listed in a result list.
#include <gtest/gtest.h>

#include <filesystem>

#include "actions/copy_move.h"
#include "actions/delete.h"
#include "support/file_action_fixture.h"
#include "support/ui_thread.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

void Transfer(ActionList& t, ScriptedChoices& choices) { CopyMoveWorker(t.target, t.progress, choices, t.prompter); }

// Rows go from the bottom up; nothing is ever replaced and an answer for all lasts one run. The number goes
// before the last extension.
TEST(CopyMoveWorker, ClashesAreRenamedSkippedOrBreakTheRunAsAnswered)
{
    const std::string numbered = NumberedName("archive.tar.gz", 1) + " " + NumberedName("README", 2) + " " +
                                 NumberedName(".profile", 3) + " " + NumberedName(".config.old", 12);
    EXPECT_EQ(numbered, "archive.tar_1.gz README_2 .profile_3 .config_12.old");
    ActionList t({{"src/a.txt", "new a"}, {"src/b.txt", "new b"}, {"src/c.txt", "new c"}});
    for (const char* name : {"a", "b", "c", "a_1"})
        t.temp.WriteFile(std::string("dst/") + name + ".txt", std::string("old ") + name);
    const std::string dst = t.temp.PathOf("dst");
    ScriptedChoices choices(dst);
    choices.Answer(ClashAnswer::Skip, true);
    Transfer(t, choices);
    EXPECT_EQ(choices.pickTitle + ":" + t.progress.caption + " to " + t.progress.to, "Select destination: Copying... to " + dst);
    EXPECT_EQ(t.progress.steps,
              (Names{"c.txt  (5 B), 1 / 3, 0%", "b.txt  (5 B), 2 / 3, 33%", "a.txt  (5 B), 3 / 3, 66%"}));
    EXPECT_EQ(t.progress.from, Names(3, t.temp.PathOf("src/")));
    choices.Answer(ClashAnswer::Rename, true);
    Transfer(t, choices);
    EXPECT_EQ(choices.clashNames, (Names{"c.txt", "c.txt"}));
    EXPECT_EQ(FolderText(dst),
              "a.txt=old a a_1.txt=old a_1 a_2.txt=new a b.txt=old b b_1.txt=new b c.txt=old c c_1.txt=new c");
    EXPECT_EQ(t.Rows() + " " + std::to_string(t.progress.finished), "a.txt* b.txt* c.txt* 2");
    EXPECT_TRUE(t.prompter.shown.empty());

    ActionList moved(ThreeFiles(), ActionModeMove);
    moved.temp.WriteFile("dst/c.txt", "old c");
    ScriptedChoices breakOff(moved.temp.PathOf("dst"));
    breakOff.Answer(ClashAnswer::Break);
    Transfer(moved, breakOff);
    EXPECT_EQ(moved.Rows() + moved.progress.caption + " " + std::to_string(moved.progress.finished),
              "a.txt* b.txt* c.txt* Moving... 1");
    EXPECT_EQ(FolderText(moved.temp.PathOf("dst")), "c.txt=old c");
}

// The middle file's destination path is too long, a failure outside the named codes. A move asks first and
// explains afterwards; a copy explains, then asks, and Yes stops it before the next file.
TEST(CopyMoveWorker, AFailingMiddleRowAsksWhetherToAbortAndKeepsItsRow)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder path near the limit of 32,767 UTF-16 units is beyond what Wine's host system takes";
#endif
    const std::string longName = std::string(150, 'm') + ".txt";
    const Shown failed = SystemError("Operation failed", platform::ErrorFilenameTooLong);
    const struct { int32_t mode; int answer; std::vector<Shown> said; std::string rows, files; } cases[] = {
        {ActionModeMove, IdNo, {AbortQuestion, failed}, longName + "*", longName + "=m > a.txt=a c.txt=c"},
        {ActionModeCopy, IdYes, {failed, AbortQuestion}, "a.txt* " + longName + "* c.txt*",
         "a.txt=a c.txt=c " + longName + "=m > c.txt=c"},
    };
    for (const auto& c : cases) {
        ActionList t({{"src/a.txt", "a"}, {"src/" + longName, "m"}, {"src/c.txt", "c"}}, c.mode);
        std::string destination = t.temp.Path() + "d";  // MaxPath - 101 characters long
        for (const size_t length = static_cast<size_t>(platform::MaxPath) - 101; destination.size() < length;) {
            const size_t part = std::min<size_t>(length - destination.size() - 1, 200);
            destination += part == 0 ? std::string("d") : platform::PathSeparator + std::string(part, 'd');
        }
        fs::create_directories(destination);
        ScriptedChoices choices(destination);
        t.prompter.Answer(c.answer);
        Transfer(t, choices);
        EXPECT_EQ(Said(t.prompter), c.said);
        EXPECT_EQ(t.Rows(), c.rows);
        EXPECT_EQ(FolderText(t.temp.PathOf("src")) + " > " + FolderText(destination), c.files);
    }
}

// No destination, or an index out of step with the list, touches nothing; a gone source is skipped silently.
// (That access denied ends the run shows in the fault suite, on a read-only volume.)
TEST(CopyMoveWorker, AGoneSourceIsSkippedSilentlyAndNoDestinationOrAnIncompleteTargetTouchesNothing)
{
    ActionList t(ThreeFiles(), ActionModeMove);
    fs::remove(t.temp.PathOf("src/b.txt"));
    ScriptedChoices none(""), choices(t.temp.MakeFolder("dst")), unused(t.temp.PathOf("dst"));
    Transfer(t, none);
    const std::string enabled = std::to_string(t.list.IsEnabled());
    EXPECT_EQ(t.Rows() + " " + std::to_string(t.progress.finished) + " " + enabled, "a.txt* b.txt* c.txt* 1 1");
    Transfer(t, choices);
    EXPECT_EQ(t.Rows() + " > " + FolderText(t.temp.PathOf("dst")), "b.txt* > a.txt=a c.txt=c");
    t.index.clear();
    Transfer(t, unused);
    EXPECT_EQ(Said(t.prompter), (std::vector<Shown>{{"Invalid data.", "Error", MbIconHand}}));
    EXPECT_TRUE(unused.pickTitle.empty());
    EXPECT_EQ(t.progress.finished, 3);
}

#ifdef _WIN32
// To another volume a move copies, then deletes: a read-only source must leave no copy and keep its row.
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
    EXPECT_EQ(t.Rows() + " " + FolderText(t.temp.PathOf("src")) + " > " + FolderText(destination.Path()), "a.txt* a.txt=a > ");
}
#endif

// A file already gone is as good as deleted; a read-only one keeps its marked row, and Yes to the abort
// question stops before the next file.
TEST(DeleteWorker, DeletesTheMarkedFilesAfterYesAndAsksWhetherToAbortOnAFailure)
{
    const Shown denied = SystemError("Operation failed", platform::ErrorAccessDenied);
    const struct { std::string_view what; std::vector<int> answers; std::vector<Shown> said; const char* left; } cases[] = {
        {"no", {IdNo}, {ConfirmDelete}, "a.txt* b.txt c.txt* > a.txt=a b.txt=b c.txt=c"},
        {"gone", {IdYes}, {ConfirmDelete}, "b.txt > b.txt=b"},
        {"locked", {IdYes, IdNo}, {ConfirmDelete, denied, AbortQuestion}, "b.txt* > b.txt=b"},
        {"locked, abort", {IdYes, IdYes}, {ConfirmDelete, denied, AbortQuestion}, "a.txt* b.txt* > a.txt=a b.txt=b"},
    };
    for (const auto& c : cases) {
        ActionList t(ThreeFiles(), ActionModeMove);
        if (c.what == "gone") fs::remove(t.temp.PathOf("src/a.txt"));
        if (c.what.starts_with("locked")) ASSERT_TRUE(SetReadOnly(t.temp.PathOf("src/b.txt"), true));
        else t.Mark({0, 2});
        for (int answer : c.answers) t.prompter.Answer(answer);
        DeleteWorker(t.target, t.progress, t.prompter);
        EXPECT_EQ(Said(t.prompter), c.said) << c.what;
        EXPECT_EQ(t.Rows() + " > " + FolderText(t.temp.PathOf("src")), c.left) << c.what;
        EXPECT_EQ(t.progress.finished, 1) << c.what;
    }
}

// Only the deleted file leaves the page's other list, not the row pruned with it here; that list then drops
// the group the deletion left with one row. An emptied list is disabled.
TEST(DeleteWorker, GroupsLeftWithOneRowGoAndADeletedFileLeavesTheOtherListsOfThePage)
{
    ActionList t({{"s/g1a", "1", 3}, {"s/g1b", "1", 3}, {"s/g2a", "2", 5}, {"s/g2b", "2", 5}, {"s/g2c", "2", 5}},
                 ActionModeMove);
    t.target.groupedList = true;
    TargetList other(Entries{}, {0, 2, 1, 3, 4});
    other.target.records = &t.records;
    other.target.groupedList = true;
    for (int row = 0; row < 5; ++row) other.list.SetCellText(row, GroupColumn, row < 2 ? "1" : "2");

    t.Mark({0, 2});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.Rows(), "g2b/1 g2c/1");
    DeleteRecordRows(other.target, t.target.removedRecords);
    EXPECT_EQ(other.Rows(), "g1b/1 g2b/1 g2c/1");

    t.Mark({0, 1});
    t.prompter.Answer(IdYes);
    DeleteWorker(t.target, t.progress, t.prompter);
    EXPECT_EQ(t.Rows() + FolderText(t.temp.PathOf("s")), "g1b=1");
    EXPECT_FALSE(t.list.IsEnabled());
}

// Cancelled from the progress dialog's thread while it shows the third file (from the last row up): a file
// begun is never broken off. Suites named ...Threads: scripts/test also runs them under ThreadSanitizer.
TEST(ActionThreads, CancelAtTheThirdFileHandlesThreeFilesAndLosesNone)
{
    // A move or a delete; each leaves f0.txt to f4.txt in place, and their rows. (A copy stops in the same
    // loop; its stop shows in the failing-row test.)
    for (const bool remove : {false, true}) {
        SCOPED_TRACE(remove ? "delete" : "move");
        std::vector<ListedFile> files;
        for (int n = 0; n < 8; ++n) files.push_back({"src/f" + std::to_string(n) + ".txt", std::to_string(n)});
        ActionList action(files, ActionModeMove);
        const std::string destination = action.temp.MakeFolder("dest");
        UiThread ui;
        SentResultList list(ui, action.list);
        action.target.list = &list;
        action.progress.send = [&](const std::function<void()>& call) { ui.Send(call); };
        ScriptedChoices choices(destination);
        action.prompter.Answer(IdYes);  // the delete's confirmation
        ui.RunWorker(
            [&] {
                if (remove) DeleteWorker(action.target, action.progress, action.prompter);
                else CopyMoveWorker(action.target, action.progress, choices, action.prompter);
            },
            [&] {
                if (action.progress.steps.size() == 3) action.target.ActionMode.store(ActionModeStop);
            });
        EXPECT_EQ(action.progress.steps.back(), remove ? "f5.txt, 3 / 8, 25%" : "f5.txt  (1 B), 3 / 8, 25%");  // and no more
        EXPECT_EQ(FolderText(action.temp.PathOf("src")), "f0.txt=0 f1.txt=1 f2.txt=2 f3.txt=3 f4.txt=4");
        EXPECT_EQ(FolderText(destination), remove ? "" : "f5.txt=5 f6.txt=6 f7.txt=7");
        EXPECT_EQ(action.Rows(), "f0.txt* f1.txt* f2.txt* f3.txt* f4.txt*");  // through an index in step with the list
    }
}

}  // namespace
}  // namespace tolvane
