// Copy, move and delete workers on their own thread, cancelled from the
// progress dialog's thread (which carries out their calls to it) while it shows
// their progress. A suite named
// ...Threads in a program labelled "threads": scripts/test also runs it built
// with ThreadSanitizer.
#include <gtest/gtest.h>

#include "actions/delete.h"
#include "file_action_fixture.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// Files f<first>.txt to f<last>.txt, each holding "<n>", as Contents shows them.
std::string Range(int first, int last)
{
    std::string files;
    for (int n = first; n <= last; ++n) files += (files.empty() ? "" : " ") + ("f" + std::to_string(n) + ".txt=" + std::to_string(n));
    return files;
}

// The workers go from the last row up: files 7, 6 and 5 are handled, the third
// still wholly, as a file begun is never broken off.
TEST(ActionThreads, CancelAtTheThirdFileHandlesThreeFilesAndLosesNone)
{
    const struct { int32_t mode; bool remove; std::string source, destination; } cases[] = {
        {ActionModeCopy, false, Range(0, 7), Range(5, 7)},
        {ActionModeMove, false, Range(0, 4), Range(5, 7)},
        {ActionModeMove, true, Range(0, 4), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + (c.remove ? " delete" : ""));
        std::vector<ListedFile> files;
        for (int n = 0; n < 8; ++n) files.push_back({"src/f" + std::to_string(n) + ".txt", std::to_string(n)});
        ActionList action(files, c.mode);
        const std::string destination = action.temp.MakeFolder("dest");
        UiThread ui;
        SentResultList list(ui, action.list);
        action.target.list = &list;
        action.progress.send = [&](const std::function<void()>& call) { ui.Send(call); };
        ScriptedChoices choices(destination);
        action.prompter.Answer(IdYes);  // the delete's confirmation
        ui.RunWorker(
            [&] {
                if (c.remove) DeleteWorker(action.target, action.progress, action.prompter);
                else CopyMoveWorker(action.target, action.progress, choices, action.prompter);
            },
            [&] {
                if (action.progress.steps.size() == 3) action.target.ActionMode.store(ActionModeStop);
            });
        EXPECT_EQ(action.progress.finished, 1);
        ASSERT_EQ(action.progress.steps.size(), 3u);
        EXPECT_NE(action.progress.steps[2].find(", 3 / 8, 25%"), std::string::npos) << action.progress.steps[2];
        EXPECT_EQ(Contents(action.temp.PathOf("src")) + " > " + Contents(destination), c.source + " > " + c.destination);
        std::string rows;  // the rows left, marked, through an index in step with the list
        for (int n = 0; n <= (c.mode == ActionModeCopy ? 7 : 4); ++n) rows += (n ? " f" : "f") + std::to_string(n) + ".txt*";
        EXPECT_EQ(action.Rows(), rows);
        EXPECT_TRUE(action.list.IsEnabled());
    }
}

}  // namespace
}  // namespace tolvane::test
