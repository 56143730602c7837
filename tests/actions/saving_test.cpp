#include "actions/saving.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error_log.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"
#include "target_list.h"

namespace tolvane {
namespace {

using test::ReadWholeFile;
using test::ScriptedPrompter;
using test::TargetList;
using test::TempFolder;

TEST(SaveList, WritesEveryRowsFullPathWithCrLfAndReplacesTheFile)
{
    TempFolder temp;
    const std::string path = temp.WriteFile("list.txt", "an older and much longer content than the new one");
    // Rows show records 1 and 0; only row 1 is marked.
    TargetList t({{"C:\\b\\", "y.doc"}, {"C:\\a\\", "x.txt"}}, {1, 0});
    t.list.SetStateImage(1, StateImageMarked);

    ScriptedPrompter prompter;
    EXPECT_EQ(SaveList(t.target, path, prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(path), "C:\\a\\x.txt\r\nC:\\b\\y.doc\r\n");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "The file list successfully saved to\n" + path);
    EXPECT_EQ(prompter.shown[0].caption, "Done");
    EXPECT_EQ(prompter.shown[0].style, MbOk);
}

TEST(SaveList, ManyRowsComeOutWholeAndInOrder)
{
    // Far more than one write buffer, with lines that straddle its end.
    std::vector<std::pair<std::string, std::string>> files;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        files.emplace_back("/data/folder" + std::to_string(i % 7) + "/", std::string(static_cast<size_t>(i % 97), 'n') + std::to_string(i));
        expected += files.back().first + files.back().second + "\r\n";
    }
    TargetList t(files);
    TempFolder temp;
    ScriptedPrompter prompter;
    ASSERT_EQ(SaveList(t.target, temp.PathOf("many.txt"), prompter), SaveResult::Saved);
    EXPECT_EQ(ReadWholeFile(temp.PathOf("many.txt")), expected);
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
    EXPECT_EQ(ReadWholeFile(path), "C:\\locked\\\tAccess is denied.  \r\n" + std::string(259, 'o') + "\t" +
                                       std::string(499, 'e') + "\r\n");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "The log successfully saved to\n" + path);
    EXPECT_EQ(prompter.shown[0].caption, "Done");
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
    EXPECT_TRUE(prompter.shown.empty());

    TargetList t({{"C:\\a\\", "x.txt"}}, {0});
    EXPECT_EQ(SaveList(t.target, temp.PathOf("missing/list.txt"), prompter), SaveResult::CreateFailed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "File creation failed");
    EXPECT_EQ(prompter.shown[0].style, MbIconHand);
    EXPECT_FALSE(prompter.shown[0].text.empty());

    // A device that is always full: the write fails after the file was created.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(SaveList(t.target, "/dev/full", prompter), SaveResult::WriteFailed);
        ASSERT_EQ(prompter.shown.size(), 2u);
        EXPECT_EQ(prompter.shown[1].caption, "Operation failed");
        EXPECT_EQ(prompter.shown[1].style, MbIconHand);
        EXPECT_FALSE(prompter.shown[1].text.empty());
    }
}

}  // namespace
}  // namespace tolvane
