#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "support/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

using ::testing::HasSubstr;

// `tolvane find` on the folder given without its trailing separator, as a user types it.
CliRun Find(const TempFolder& folder, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"find", folder.Path().substr(0, folder.Path().size() - 1)});
    return RunTolvane(std::move(arguments));
}

// Printed as found: a folder's entries (in the system's order) before those of its subfolders.
TEST(FindCommand, PrintsMatchesInWalkOrderLongFormColumnsAndErrorsOnTheErrorStream)
{
    TempFolder folder;
    folder.WriteFile("report.txt", "quarterly");
    folder.WriteFile("reports/old-report.txt", std::string(2048, 'x'));
    const std::vector<std::string> lines = Lines(Find(folder, {"--name", "report", "--target", "both"}).out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], folder.PathOf("reports/old-report.txt"));
    EXPECT_EQ((std::set<std::string>{lines[0], lines[1]}),
              (std::set<std::string>{folder.PathOf("report.txt"), folder.PathOf("reports")}));
    const CliRun quiet = Find(folder, {"--name", "report", "--quiet", "--no-subfolders"});
    EXPECT_EQ(quiet.out + "|" + quiet.err, folder.PathOf("report.txt") + "\n|");
    const CliRun nothing = Find(folder, {"--ext", "jpg"});
    EXPECT_EQ(std::to_string(nothing.status) + nothing.out, "1");

    // Folders: name, path, modified; files: name, path, scaled size, modified.
    const std::vector<std::string> longForm =
        Lines(Find(folder, {"--long", "-q", "--target", "both", "--size", "eq:2kB"}).out);
    ASSERT_EQ(longForm.size(), 2u);
    EXPECT_THAT(Split(longForm[0], '\t'), ::testing::ElementsAre("reports", folder.Path(), ::testing::_));
    EXPECT_THAT(Split(longForm[1], '\t'),
                ::testing::ElementsAre("old-report.txt", folder.PathOf("reports/"), "2 kB", ::testing::_));

    if (!MakeUnreadable(folder.PathOf("reports"))) GTEST_SKIP() << "folders cannot be made unreadable here";
    const CliRun closed = Find(folder, {"--quiet"});
    EXPECT_EQ(std::to_string(closed.status) + closed.out, "0" + folder.PathOf("report.txt") + "\n");
    EXPECT_THAT(closed.err, HasSubstr(folder.PathOf("reports/") + "\t"));
}

// One row per reader; compare's rows are the readers find does not use. A line only checked is refused alike.
TEST(CommandLines, BadValuesNameTheirOptionAndAreStatusTwoWhenRunOrChecked)
{
    TempFolder folder;
    const std::string here = folder.Path();
    const struct { std::vector<std::string> arguments; const char* message; } cases[] = {
        {{"find", here, "--size", "between:5"}, "--size: between and not-between take two bounds"},
        {{"find", here, "--date", "modified:on:2020-02-30"}, "--date: '2020-02-30' is not a date YYYY-MM-DD"},
        {{"find", here, "--time", "created:at:24:00"}, "--time: '24:00' is not a time HH:MM"},
        {{"find", here, "--attr", "include:shiny"}, "--attr: unknown attribute 'shiny'"},
        {{"find", here, "--name", "a*b"}, "--name: names cannot contain any of"},
        {{"find", here, "--ext", "./."}, "--ext: no extension given"},
        {{"find", here, "--target", "folders", "--size", "min:1"}, "--size applies to files only"},
        {{"find", here + "missing"}, "is not an existing folder"},
        {{"find", "--locations", folder.WriteFile("gone.txt", here + "gone\n")}, "no folder to search"},
        {{"compare", "--json", "--tsv", here}, "--json excludes --tsv"},
        {{"compare", "--max-depth", "0", here}, "--max-depth"},
        {{"compare", "--exclude", "", here}, "the pattern is empty"},
        {{"compare", "--size-filter=eq:4294967296", here}, "--size-filter"},
        {{"compare", "--attr=include:reparsepoint", here}, "--attr"},
        {{"compare", "--list=other", here}, "--list"},
        {{"compare", "--ext-mode=sometimes", here}, "--ext-mode"},
        {{"compare", "--locations", "", here}, "--locations"},  // empty, not left out
    };
    for (const auto& c : cases) {
        const CliRun run = RunTolvane(c.arguments), check = RunTolvane(c.arguments, cli::CheckSearchCommandLine);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.out + check.out, "") << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
        EXPECT_EQ(std::pair(check.status, check.err), std::pair(run.status, run.err)) << "checked only: " << c.message;
    }

    // Only checked, a line the run would start searches nothing (notes.txt is no zero-size file) and a tool's
    // line is refused.
    folder.WriteFile("notes.txt", "Hello");
    const CliRun check =
        RunTolvane({"find", here, "--content", "Hello", "--size", "max:0"}, cli::CheckSearchCommandLine);
    EXPECT_EQ(std::to_string(check.status) + check.out, "0");
    EXPECT_THAT(check.err, HasSubstr("Conflicting rules"));
    EXPECT_EQ(RunTolvane({"new-folders", here}, cli::CheckSearchCommandLine).status, 2);
}

}  // namespace
}  // namespace tolvane::test
