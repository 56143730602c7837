#include "actions/saving.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/error_log.h"
#include "support/faulty_volume.h"
#include "file_action_fixture.h"
#include "target_list.h"

namespace tolvane {
namespace {

using namespace test;

TEST(SaveList, WritesEveryRowsFullPathWithCrLfAndReplacesTheFile)
{
    TempFolder temp;
    const std::string path = temp.WriteFile("list.txt", "an older and much longer content than the new one");
    // Rows show records 1 and 0; only row 1 is marked, and marks do not count.
    TargetList t({{"C:\\b\\", "y.doc"}, {"C:\\a\\", "x.txt"}}, {1, 0});
    t.list.SetStateImage(1, StateImageMarked);
    ScriptedPrompter prompter;
    EXPECT_EQ(SaveList(t.target, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), "C:\\a\\x.txt\r\nC:\\b\\y.doc\r\n");
    EXPECT_EQ(Said(prompter), (std::vector<Shown>{{"The file list successfully saved to\n" + path, "Done", MbOk}}));

    // Far more than one write buffer, with lines that straddle its end.
    std::vector<std::pair<std::string, std::string>> files;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        files.emplace_back("/data/folder" + std::to_string(i % 7) + "/", std::string(static_cast<size_t>(i % 97), 'n') + std::to_string(i));
        expected += files.back().first + files.back().second + "\r\n";
    }
    TargetList many(files);
    ASSERT_EQ(SaveList(many.target, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST(SaveLog, WritesObjectTabEventCutToTheCellLimits)
{
    MemoryResultList log(false);
    for (int r = 0; r < 2; ++r) log.InsertRow(r);
    log.SetCellText(0, 0, "hidden");
    log.SetCellText(0, ErrorLogObjectColumn, "C:\\locked\\");
    log.SetCellText(0, ErrorLogEventColumn, "Access is denied.  ");
    log.SetCellText(1, ErrorLogObjectColumn, std::string(300, 'o'));
    log.SetCellText(1, ErrorLogEventColumn, std::string(600, 'e'));

    TempFolder temp;
    const std::string path = temp.PathOf("log.txt");
    ScriptedPrompter prompter;
    EXPECT_EQ(SaveLog(log, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), "C:\\locked\\\tAccess is denied.  \r\n" + std::string(300, 'o') + "\t" +
                                       std::string(499, 'e') + "\r\n");
    EXPECT_EQ(Said(prompter), (std::vector<Shown>{{"The log successfully saved to\n" + path, "Done", MbOk}}));
}

TEST(Saving, AnEmptyListOpensNothingAndFailuresAreNeverReportedAsSaved)
{
    TempFolder temp;
    ScriptedPrompter prompter;
    TargetList empty({});
    EXPECT_EQ(SaveList(empty.target, temp.PathOf("list.txt"), prompter), SaveResult::NothingToSave);
    EXPECT_EQ(SaveLog(MemoryResultList(false), temp.PathOf("log.txt"), prompter), SaveResult::NothingToSave);
    EXPECT_FALSE(std::filesystem::exists(temp.PathOf("list.txt")));
    EXPECT_FALSE(std::filesystem::exists(temp.PathOf("log.txt")));

    TargetList t({{"C:\\a\\", "x.txt"}}, {0});
    EXPECT_EQ(SaveList(t.target, temp.PathOf("missing/list.txt"), prompter), SaveResult::CreateFailed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "File creation failed");
#ifndef _WIN32
    // A full volume: the write fails after the file was created.
    FaultyVolume full(temp.MakeFolder("full"), VolumeFault::Full);
    if (full.Mounted()) {
        EXPECT_EQ(SaveList(t.target, temp.PathOf("full/list.txt"), prompter), SaveResult::WriteFailed);
        EXPECT_EQ(Said(prompter).back(), SystemError("Operation failed", platform::ErrorDiskFull));
    }
    // Every write is taken, and the close then fails: the data may not be there.
    FaultyVolume late(temp.MakeFolder("late"), VolumeFault::LateClose);
    if (late.Mounted()) {
        const Shown failed{std::strerror(EIO), "Operation failed", MbIconHand};
        EXPECT_EQ(SaveList(t.target, temp.PathOf("late/list.txt"), prompter), SaveResult::WriteFailed);
        EXPECT_EQ(Said(prompter).back(), failed);
        MemoryResultList log(false);
        log.InsertRow(0);
        log.SetCellText(0, ErrorLogObjectColumn, "C:\\a.txt");
        EXPECT_EQ(SaveLog(log, temp.PathOf("late/log.txt"), prompter), SaveResult::WriteFailed);
        EXPECT_EQ(Said(prompter).back(), failed);
    }
#endif
}

}  // namespace
}  // namespace tolvane
