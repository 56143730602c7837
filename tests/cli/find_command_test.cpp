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
    EXPECT_EQ(Find({Location(folder), "--content", "HELLO", "--content-case", "--quiet"}).status, 1);
    // A zero size overrides the content rule, with the dialog's message.
    const CliRun zero = Find({Location(folder), "--content", "Hello", "--size", "max:0", "--quiet"});
    EXPECT_EQ(zero.out, folder.PathOf("empty.txt") + "\n");
    EXPECT_THAT(zero.err, HasSubstr("Conflicting rules: You have selected files with zero size, which overrides"));
    // Running without rules is a choice made on purpose: the question is
    // answered Yes, and shown only with --verbose.
    const CliRun all = Find({Location(folder)});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(Lines(all.out).size(), 3u);
    EXPECT_THAT(all.err, ::testing::Not(HasSubstr("No filters selected")));
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
        {{here, "--size", "min:5:6"}, "--size: only between and not-between take a second bound"},
        {{here, "--size", "min:5GB"}, "--size: unknown unit 'GB'"},
        {{here, "--size", "min:99999999999999999MB"}, "--size: '99999999999999999MB' is too large"},
        {{here, "--date", "modified:on:2020-02-30"}, "--date: '2020-02-30' is not a date YYYY-MM-DD"},
        {{here, "--date", "changed:on:2020-02-03"}, "--date: unknown kind 'changed'"},
        {{here, "--time", "created:at:24:00"}, "--time: '24:00' is not a time HH:MM"},
        {{here, "--time", "created:between:10:00"}, "--time: between and not-between take two bounds"},
        {{here, "--attr", "include:shiny"}, "--attr: unknown attribute 'shiny'"},
        {{here, "--attr", "include:reparsepoint"}, "--attr: reparsepoint applies to folders"},
        {{here, "--attr", "exclude:sparse", "--target", "folders"}, "--attr: sparse does not apply to --target folders"},
        {{here, "--name", "a*b"}, "--name: names cannot contain any of"},
        {{here, "--name", ""}, "--name: the name pattern is empty"},
        {{here, "--ext", "./."}, "--ext: no extension given"},
        {{here, "--content", ""}, "--content: the text is empty"},
        {{here, "--target", "folders", "--size", "min:1"}, "--size applies to files only"},
        {{"--locations", folder.WriteFile("gone.txt", here + "/gone\n")}, "no folder to search"},
        {{here, "--attr", "include:hidden", "--attr", "exclude:system"}, "--attr: every --attr must take the same mode"},
        {{here, "--glob", ""}, "the pattern is empty"},
        {{here, "--json", "--long"}, "excludes"},
        {{"--locations", here + "/no-such-list.txt"}, "--locations: cannot read"},
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

#ifndef _WIN32

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(FindCommand, SelectsWhatGnuFindSelectsForNameSizeAndDateRules)
{
    if (std::system("find / -maxdepth 0 >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU find is not here";
    TempFolder folder;
    const char* names[] = {"Alpha.txt", "beta.log", "ALPHABET.md", "gamma", "delta.alp", "x/alpha2.txt",
                           "x/y/zeta.bin", "x/y/Alp.txt", "x/.hid/alpine.txt", "x/y/z/omega"};
    int index = 0;
    for (const char* name : names) {
        const std::string path = folder.WriteFile(name, std::string(static_cast<size_t>(index * 700), 'x'));
        // Noon UTC on days years apart, so no time zone moves a file across a bound.
        const FileTime time = UtcFileTime(2010 + index, 6, 15, 12);
        ASSERT_TRUE(SetFileTimes(path, time, time));
        ++index;
    }
    const std::string here = Location(folder);
    const struct {
        std::vector<std::string> ours;
        std::string theirs;
    } cases[] = {
        {{"--name", "alp"}, "-iname '*alp*'"},
        {{"--name", "alp", "--name-case"}, "-name '*alp*'"},
        {{"--name", "gamma", "--name-mode", "matches"}, "-iname 'gamma'"},
        {{"--name", "a", "--name-mode", "not-contains", "--name-case"}, "! -name '*a*'"},
        {{"--size", "min:2kB"}, "-size +2047c"},
        {{"--size", "max:1400"}, "-size -1401c"},
        {{"--size", "between:700:2800"}, "-size +700c -size -2800c"},
        {{"--date", "modified:before:2014-01-01"}, "! -newermt '2014-01-01 00:00:00'"},
        {{"--date", "modified:after:2015-06-15"}, "-newermt '2015-06-15 23:59:59'"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {here, "--quiet"};
        arguments.insert(arguments.end(), c.ours.begin(), c.ours.end());
        const std::vector<std::string> theirs = Sorted(CommandLines("find '" + here + "' -type f " + c.theirs));
        ASSERT_FALSE(theirs.empty()) << c.theirs;
        EXPECT_EQ(Sorted(Lines(Find(arguments).out)), theirs) << c.theirs;
    }
}

#endif

}  // namespace
}  // namespace tolvane::test
