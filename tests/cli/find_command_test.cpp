#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "cli/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

using ::testing::HasSubstr;

CliRun Find(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "find");
    return RunTolvane(std::move(arguments));
}

// The location without its trailing separator, as a user would type it.
std::string Location(const TempFolder& folder) { return folder.Path().substr(0, folder.Path().size() - 1); }

TEST(FindCommand, PrintsMatchesInWalkOrderAndTheStatusLinesAndIsStatusOneForNothing)
{
    TempFolder folder;
    folder.WriteFile("report.txt", "quarterly");
    folder.WriteFile("reports/old-report.txt", "annual");
    const CliRun run = Find({Location(folder), "--name", "report", "--target", "both"});
    EXPECT_EQ(run.status, 0);
    // Printed as found: a folder's entries (in the system's order) before those of its subfolders.
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], folder.PathOf("reports/old-report.txt"));
    EXPECT_EQ((std::set<std::string>{lines[0], lines[1]}),
              (std::set<std::string>{folder.PathOf("report.txt"), folder.PathOf("reports")}));
    EXPECT_THAT(run.err, HasSubstr("Search procedure finished in "));
    EXPECT_THAT(run.err, HasSubstr("2 files and 1 folders matched your criteria\n"));

    const CliRun quiet = Find({Location(folder), "--name", "report", "--quiet", "--no-subfolders"});
    EXPECT_EQ(quiet.out, folder.PathOf("report.txt") + "\n");
    EXPECT_EQ(quiet.err, "");

    const CliRun nothing = Find({Location(folder), "--ext", "jpg"});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.out, "");
    EXPECT_THAT(nothing.err, HasSubstr("Nothing matched your criteria"));
}

TEST(FindCommand, LongFormShowsTheListColumns)
{
    TempFolder folder;
    folder.WriteFile("sub/data.bin", std::string(2048, 'x'));
    // No rule applies to folders: that question is answered Yes, so every folder is listed.
    const CliRun run = Find({Location(folder), "--long", "--quiet", "--target", "both", "--size", "eq:2kB"});
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], ::testing::StartsWith("sub\t" + folder.Path() + "\t"));
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 2);
    EXPECT_THAT(lines[1], ::testing::StartsWith("data.bin\t" + folder.PathOf("sub/") + "\t2 kB\t"));
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), '\t'), 3);
}

TEST(FindCommand, RulesPassThroughTheDialogsNormalisation)
{
    TempFolder folder;
    folder.WriteFile("photo.JPG", "x");
    folder.WriteFile("notes.txt", "Hello there");
    folder.WriteFile("empty.txt", "");
    EXPECT_EQ(Find({Location(folder), "--ext", ".JPG//", "--quiet"}).out, folder.PathOf("photo.JPG") + "\n");
    EXPECT_EQ(Find({Location(folder), "--content", "HELLO", "--quiet"}).out, folder.PathOf("notes.txt") + "\n");
    // A zero size overrides the content rule, with the dialog's message.
    const CliRun zero = Find({Location(folder), "--content", "Hello", "--size", "max:0", "--quiet"});
    EXPECT_EQ(zero.out, folder.PathOf("empty.txt") + "\n");
    EXPECT_THAT(zero.err, HasSubstr("Conflicting rules: You have selected files with zero size, which overrides"));
    // Running without rules is a choice made on purpose: the question is
    // answered Yes, and shown only with --verbose.
    EXPECT_THAT(Find({Location(folder), "--verbose"}).err,
                HasSubstr("No filters selected: Are you sure you want to continue? Yes."));
}

TEST(FindCommand, BadValuesNameTheirOptionAndAreStatusTwo)
{
    TempFolder folder;
    const std::string here = Location(folder);
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{here, "--size", "huge:5"}, "--size: unknown mode 'huge'"},
        {{here, "--size", "between:5"}, "--size: between and not-between take two bounds"},
        {{here, "--size", "min:5GB"}, "--size: unknown unit 'GB'"},
        {{here, "--date", "modified:on:2020-02-30"}, "--date: '2020-02-30' is not a date YYYY-MM-DD"},
        {{here, "--time", "created:at:24:00"}, "--time: '24:00' is not a time HH:MM"},
        {{here, "--attr", "include:shiny"}, "--attr: unknown attribute 'shiny'"},
        {{here, "--attr", "exclude:sparse", "--target", "folders"}, "--attr: sparse does not apply to --target folders"},
        {{here, "--name", "a*b"}, "--name: names cannot contain any of"},
        {{here, "--ext", "./."}, "--ext: no extension given"},
        {{here, "--target", "folders", "--size", "min:1"}, "--size applies to files only"},
        {{"--locations", folder.WriteFile("gone.txt", here + "/gone\n")}, "no folder to search"},
        {{here, "--attr", "include:hidden", "--attr", "exclude:system"}, "--attr: every --attr must take the same mode"},
        {{here, "--json", "--long"}, "excludes"},
        {{here + "-missing"}, "is not an existing folder"},
        {{here, "--target", "everything"}, "--target"},
    };
    for (const auto& c : cases) {
        const CliRun run = Find(c.arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
        EXPECT_EQ(run.out, "") << c.message;
    }
}

TEST(FindCommand, LocationsAreNormalisedAndMayComeFromAListFile)
{
    TempFolder folder;
    folder.WriteFile("b/in-b.txt", "1");
    folder.WriteFile("a/inner/in-inner.txt", "2");
    folder.WriteFile("c/in-c.txt", "3");
    const std::string list = folder.WriteFile(
        "list.txt", folder.PathOf("c") + "\n" + folder.PathOf("missing") + "\n" + folder.PathOf("a/inner") + "\n");
    // Sorted a, b, c (a/inner lies inside a), walked breadth-first: each file once.
    const CliRun run = Find({folder.PathOf("b"), folder.PathOf("a"), "--locations", list, "--quiet"});
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(Lines(run.out), ::testing::ElementsAre(folder.PathOf("b/in-b.txt"), folder.PathOf("c/in-c.txt"),
                                                       folder.PathOf("a/inner/in-inner.txt")));
}

TEST(FindCommand, ErrorRowsGoToTheErrorStream)
{
    TempFolder folder;
    folder.WriteFile("ok/a.txt", "1");
    folder.MakeFolder("closed");
    if (!MakeUnreadable(folder.PathOf("closed"))) GTEST_SKIP() << "folders cannot be made unreadable here";
    const CliRun run = Find({Location(folder), "--quiet"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, folder.PathOf("ok/a.txt") + "\n");
    EXPECT_THAT(run.err, HasSubstr(folder.PathOf("closed/") + "\t"));
}

}  // namespace
}  // namespace tolvane::test
