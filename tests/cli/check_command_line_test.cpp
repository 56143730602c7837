// Checking a find or compare command line without running it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

using ::testing::HasSubstr;

CliRun Check(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "tolvane");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out, err;
    const int status = cli::CheckSearchCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

size_t EntryCount(const std::string& folder)
{
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

// The check refuses what the run refuses, with the same message, and accepts
// what the run would start, without printing a found path.
TEST(CheckSearchCommandLine, AgreesWithTheRunButSearchesNothing)
{
    TempFolder folder;
    folder.WriteFile("notes.txt", "Hello");
    const std::string location = folder.Path();
    const std::vector<std::vector<std::string>> commandLines = {
        {"find", location, "--name", "notes"},
        {"find", location, "--content", "Hello", "--size", "max:0"},
        {"find", location, "--size", "between:5"},
        {"find", location, "--target", "folders", "--ext", "txt"},
        {"find", location, "--bogus"},
        {"compare", "--content", location},
        {"compare", "--content", "--list", "groups", location},
        {"compare", "--attr", "include:reparsepoint", location},
        {"compare"},
    };
    for (const std::vector<std::string>& commandLine : commandLines) {
        SCOPED_TRACE(::testing::PrintToString(commandLine));
        const CliRun run = RunTolvane(commandLine);
        const CliRun check = Check(commandLine);
        EXPECT_EQ(check.out, "");
        if (run.status == 2) {
            EXPECT_EQ(check.status, 2);
            EXPECT_EQ(check.err, run.err);
        } else {
            EXPECT_EQ(check.status, 0);
            EXPECT_EQ(check.err.find("Search procedure"), std::string::npos);
        }
    }
    EXPECT_THAT(Check({"find", location, "--content", "Hello", "--size", "max:0"}).err,
                HasSubstr("Conflicting rules"));
}

TEST(CheckSearchCommandLine, ShowsHelpAndNeverRunsATool)
{
    const CliRun help = Check({"find", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("--name-mode"));
    EXPECT_EQ(help.err, "");

    TempFolder folder;
    const CliRun tool = Check({"new-folders", folder.Path()});
    EXPECT_EQ(tool.status, 2);
    EXPECT_THAT(tool.err, HasSubstr("Run 'tolvane --help'"));
    EXPECT_EQ(EntryCount(folder.Path()), 0u);
}

}  // namespace
}  // namespace tolvane::test
