// Checking a find or compare command line without running it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

using ::testing::HasSubstr;

// The check refuses what the run refuses, with the same message, and accepts
// what the run would start, without printing a found path; it shows help and
// never runs a tool.
TEST(CheckSearchCommandLine, AgreesWithTheRunButSearchesNothing)
{
    TempFolder folder;
    folder.WriteFile("notes.txt", "Hello");
    const std::string location = folder.Path();
    for (const std::vector<std::string>& commandLine : std::vector<std::vector<std::string>>{
             {"find", location, "--name", "notes"}, {"find", location, "--content", "Hello", "--size", "max:0"},
             {"find", location, "--size", "between:5"}, {"find", location, "--target", "folders", "--ext", "txt"},
             {"find", location, "--bogus"}, {"compare", "--content", location},
             {"compare", "--attr", "include:reparsepoint", location}, {"compare"}}) {
        SCOPED_TRACE(::testing::PrintToString(commandLine));
        const CliRun run = RunTolvane(commandLine), check = RunTolvane(commandLine, cli::CheckSearchCommandLine);
        EXPECT_EQ(check.out, "");
        EXPECT_EQ(check.status, run.status == 2 ? 2 : 0);
        if (run.status == 2) EXPECT_EQ(check.err, run.err);
        else EXPECT_EQ(check.err.find("Search procedure"), std::string::npos);
    }
    EXPECT_THAT(RunTolvane({"find", location, "--content", "Hello", "--size", "max:0"}, cli::CheckSearchCommandLine).err,
                HasSubstr("Conflicting rules"));

    const CliRun help = RunTolvane({"find", "--help"}, cli::CheckSearchCommandLine);
    EXPECT_TRUE(help.status == 0 && !help.out.empty() && help.err.empty());
    EXPECT_EQ(RunTolvane({"new-folders", location}, cli::CheckSearchCommandLine).status, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(location), {}), 1);  // notes.txt alone
}

}  // namespace
}  // namespace tolvane::test
