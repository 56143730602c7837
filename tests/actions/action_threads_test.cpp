// Copy, move and delete workers on their own thread, cancelled from the
// progress dialog's thread while it shows their progress. A suite named
// ...Threads in a program labelled "threads": scripts/test also runs it built
// with ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "actions/delete.h"
#include "file_action_fixture.h"
#include "support/ui_thread.h"

namespace tolvane::test {
namespace {

// The worker's calls to the progress dialog, carried out by the dialog's thread.
class SentProgress : public CopyMoveProgress {
public:
    SentProgress(UiThread& ui, RecordingProgress& dialog) : ui_(ui), dialog_(dialog) {}

    void SetCaption(const std::string& text) override { ui_.Send([&] { dialog_.SetCaption(text); }); }
    void SetTo(const std::string& folderPath) override { ui_.Send([&] { dialog_.SetTo(folderPath); }); }
    void SetCurrentFile(const std::string& text) override { ui_.Send([&] { dialog_.SetCurrentFile(text); }); }
    void SetFrom(const std::string& folderPath) override { ui_.Send([&] { dialog_.SetFrom(folderPath); }); }
    void SetCounter(const std::string& text) override { ui_.Send([&] { dialog_.SetCounter(text); }); }
    void SetPosition(int position) override { ui_.Send([&] { dialog_.SetPosition(position); }); }
    void Finish() override { ui_.Send([&] { dialog_.Finish(); }); }

private:
    UiThread& ui_;
    RecordingProgress& dialog_;
};

// The files a folder holds, each as "name=content".
Names FolderContents(const std::string& folder)
{
    Names contents;
    if (!std::filesystem::exists(folder)) return contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        contents.push_back(name + "=" + ReadWholeFile(folder + platform::PathSeparator + name));
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

Names Range(int first, int last)
{
    Names contents;
    for (int n = first; n <= last; ++n) contents.push_back("f" + std::to_string(n) + ".txt=content " + std::to_string(n));
    return contents;
}

TEST(ActionThreads, CancelAtTheThirdFileHandlesThreeFilesAndLosesNone)
{
    // The workers go from the last row up: files 7, 6 and 5 are handled, the
    // third still wholly, as a file begun is never broken off.
    enum class Kind { Copy, Move, Delete };
    const struct {
        Kind kind;
        Names source, destination, rows;
    } cases[] = {
        {Kind::Copy, Range(0, 7), Range(5, 7), Range(0, 7)},
        {Kind::Move, Range(0, 4), Range(5, 7), Range(0, 4)},
        {Kind::Delete, Range(0, 4), {}, Range(0, 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        std::vector<ListedFile> files;
        for (int n = 0; n < 8; ++n) files.push_back({"src/f" + std::to_string(n) + ".txt", "content " + std::to_string(n)});
        ActionList action(files, c.kind == Kind::Copy ? ActionModeCopy : ActionModeMove);
        const std::string destination = action.temp.MakeFolder("dest");
        UiThread ui;
        SentResultList list(ui, action.list);
        action.target.list = &list;
        SentProgress progress(ui, action.progress);
        ScriptedChoices choices(destination);
        action.prompter.Answer(IdYes);  // the delete's confirmation

        bool cancelled = false;
        ui.RunWorker(
            [&] {
                if (c.kind == Kind::Delete)
                    DeleteWorker(action.target, progress, action.prompter);
                else
                    CopyMoveWorker(action.target, progress, choices, action.prompter);
            },
            [&] {
                if (!cancelled && action.progress.counters.size() == 3) {
                    action.target.ActionMode.store(ActionModeStop);
                    cancelled = true;
                }
            });

        EXPECT_EQ(action.progress.finished, 1);
        EXPECT_EQ(action.progress.counters, (Names{"1 / 8", "2 / 8", "3 / 8"}));
        EXPECT_TRUE(std::is_sorted(action.progress.positions.begin(), action.progress.positions.end()));
        EXPECT_EQ(FolderContents(action.temp.PathOf("src")), c.source);
        EXPECT_EQ(FolderContents(destination), c.destination);
        // The list and its index agree, row for row.
        Names rows;
        for (const std::string& name : action.RowNames()) rows.push_back(name + "=content " + name.substr(1, 1));
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(action.index.size(), static_cast<size_t>(action.list.RowCount()));
        EXPECT_TRUE(action.list.IsEnabled());
    }
}

}  // namespace
}  // namespace tolvane::test
