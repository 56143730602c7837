// Marking by folder and saving the lists, over records of mere names.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "actions/marking.h"
#include "actions/saving.h"
#include "common/error_log.h"
#include "support/file_action_fixture.h"
#include "support/faulty_volume.h"

namespace tolvane {
namespace {

using namespace test;

using Folders = std::vector<std::string>;

// The rows show the folders as a grouped list would; earlier marks are replaced.
TEST(MarkByPath, OffersFoldersInRowOrderWithNeighbouringRepeatsOnceAndMarksTheirRows)
{
    TargetList t(Named({{"a\\", "1"}, {"a\\", "2"}, {"A\\", "3"}, {"b\\", "4"}, {"a\\sub\\", "5"}}), {0, 1, 3, 2, 3, 4, 0});
    EXPECT_EQ(FoldersToOffer(t.target), (Folders{"a\\", "b\\", "A\\", "b\\", "a\\sub\\", "a\\"}));
    EXPECT_TRUE(FoldersToOffer(TargetList(Entries{}).target).empty());
    t.list.SetStateImage(2, StateImageMarked);
    for (const auto& [chosen, rows] : {std::pair<Folders, const char*>{{"a\\"}, "1* 2* 4 3 4 5 1*"}, {{"A\\", "b\\"}, "1 2 4* 3* 4* 5 1"}, {{}, "1 2 4 3 4 5 1"}}) {
        MarkByPath(t.target, chosen);
        EXPECT_EQ(t.Rows(), rows);
    }
}

// Every row, marked or not, in row order; far more than one write buffer, with lines that straddle its end.
// An empty list opens nothing. A full volume fails the writes; a late one takes every write and fails the
// close: the data may not be there.
TEST(Saving, ListsAndLogsWriteEveryRowWithCrLfAndFailuresAreNeverReportedAsSaved)
{
    TempFolder temp;
    ScriptedPrompter prompter;
    EXPECT_EQ(SaveList(TargetList(Entries{}).target, temp.PathOf("list.txt"), prompter), SaveResult::NothingToSave);
    EXPECT_EQ(SaveLog(MemoryResultList(false), temp.PathOf("log.txt"), prompter), SaveResult::NothingToSave);
    EXPECT_EQ(FolderText(temp.Path()), "");

    const std::string path = temp.WriteFile("list.txt", "an older and much longer content than the new one");
    TargetList t(Named({{"C:\\b\\", "y.doc"}, {"C:\\a\\", "x.txt"}}), {1, 0});
    t.list.SetStateImage(1, StateImageMarked);
    EXPECT_EQ(SaveList(t.target, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), "C:\\a\\x.txt\r\nC:\\b\\y.doc\r\n");
    EXPECT_EQ(Said(prompter), (std::vector<Shown>{{"The file list successfully saved to\n" + path, "Done", MbOk}}));

    std::vector<std::pair<std::string, std::string>> files;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        files.emplace_back("/data/folder" + std::to_string(i % 7) + "/", std::string(static_cast<size_t>(i % 97), 'n') + std::to_string(i));
        expected += files.back().first + files.back().second + "\r\n";
    }
    ASSERT_EQ(SaveList(TargetList(Named(files)).target, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), expected);
    // Log cells are read through buffers of 260 and 500 characters.
    MemoryResultList log(false);
    const std::pair<std::string, std::string> rows[] = {{"C:\\locked\\", "Access is denied.  "},
                                                        {std::string(300, 'o'), std::string(600, 'e')}};
    for (const auto& [object, event] : rows) {
        log.InsertRow(log.RowCount());
        log.SetCellText(log.RowCount() - 1, ErrorLogObjectColumn, object);
        log.SetCellText(log.RowCount() - 1, ErrorLogEventColumn, event);
    }
    EXPECT_EQ(SaveLog(log, temp.PathOf("log.txt"), prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(temp.PathOf("log.txt")),
              "C:\\locked\\\tAccess is denied.  \r\n" + std::string(300, 'o') + "\t" + std::string(499, 'e') + "\r\n");

    EXPECT_EQ(SaveList(t.target, temp.PathOf("missing/list.txt"), prompter), SaveResult::CreateFailed);
    EXPECT_EQ(std::get<1>(Said(prompter).back()), "File creation failed");
#ifndef _WIN32
    FaultyVolume full(temp.MakeFolder("full"), VolumeFault::Full), late(temp.MakeFolder("late"), VolumeFault::LateClose);
    if (full.Mounted()) {
        EXPECT_EQ(SaveList(t.target, temp.PathOf("full/list.txt"), prompter), SaveResult::WriteFailed);
        EXPECT_EQ(Said(prompter).back(), SystemError("Operation failed", platform::ErrorDiskFull));
    }
    const Shown failed{std::strerror(EIO), "Operation failed", MbIconHand};
    for (bool list : {true, false}) {
        if (!late.Mounted()) break;
        EXPECT_EQ(list ? SaveList(t.target, temp.PathOf("late/list.txt"), prompter) : SaveLog(log, temp.PathOf("late/log.txt"), prompter),
                  SaveResult::WriteFailed);
        EXPECT_EQ(Said(prompter).back(), failed);
    }
#endif
}

}  // namespace
}  // namespace tolvane
