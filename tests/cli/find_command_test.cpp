#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "cli/command_run.h"
#include "cli/filter_options.h"
#include "platform/text.h"
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

TEST(FindCommand, PrintsMatchesInWalkOrderAndTheStatusLinesAndIsStatusOneForNothing)
{
    TempFolder folder;
    folder.WriteFile("report.txt", "quarterly");
    folder.WriteFile("reports/old-report.txt", "annual");
    const CliRun run = Find(folder, {"--name", "report", "--target", "both"});
    EXPECT_EQ(run.status, 0);
    // Printed as found: a folder's entries (in the system's order) before those of its subfolders.
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], folder.PathOf("reports/old-report.txt"));
    EXPECT_EQ((std::set<std::string>{lines[0], lines[1]}), (std::set<std::string>{folder.PathOf("report.txt"), folder.PathOf("reports")}));
    EXPECT_THAT(run.err, ::testing::MatchesRegex("Search procedure finished in .*\n2 files and 1 folders matched your criteria\n"));
    const CliRun quiet = Find(folder, {"--name", "report", "--quiet", "--no-subfolders"});
    EXPECT_EQ(quiet.out + "|" + quiet.err, folder.PathOf("report.txt") + "\n|");
    const CliRun nothing = Find(folder, {"--ext", "jpg"});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.out, "");
    EXPECT_THAT(nothing.err, HasSubstr("Nothing matched your criteria"));
}

// Folders: name, path, modified; files: name, path, scaled size, modified. No
// rule applies to folders: that question is answered Yes, so every folder is listed.
TEST(FindCommand, LongFormShowsTheListColumns)
{
    TempFolder folder;
    folder.WriteFile("sub/data.bin", std::string(2048, 'x'));
    const CliRun run = Find(folder, {"--long", "--quiet", "--target", "both", "--size", "eq:2kB"});
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(Split(lines[0], '\t'), ::testing::ElementsAre("sub", folder.Path(), ::testing::_));
    EXPECT_THAT(Split(lines[1], '\t'), ::testing::ElementsAre("data.bin", folder.PathOf("sub/"), "2 kB", ::testing::_));
}

TEST(FindCommand, RulesPassThroughTheDialogsNormalisation)
{
    TempFolder folder;
    folder.WriteFile("photo.JPG", "x");
    folder.WriteFile("notes.txt", "Hello there");
    folder.WriteFile("empty.txt", "");
    EXPECT_EQ(Find(folder, {"--ext", ".JPG//", "--quiet"}).out, folder.PathOf("photo.JPG") + "\n");
    EXPECT_EQ(Find(folder, {"--content", "HELLO", "--quiet"}).out, folder.PathOf("notes.txt") + "\n");
    // A zero size overrides the content rule, with the dialog's message.
    const CliRun zero = Find(folder, {"--content", "Hello", "--size", "max:0", "--quiet"});
    EXPECT_EQ(zero.out, folder.PathOf("empty.txt") + "\n");
    EXPECT_THAT(zero.err, HasSubstr("Conflicting rules: You have selected files with zero size, which overrides"));
    // The extension option holds the list the dialog's edit would hold, lower-cased as names are when
    // they are matched, so a list always matches the names it names.
    EXPECT_EQ(cli::ParseExtensionOption(".JPG//Png/"), "jpg/png");
    EXPECT_EQ(cli::ParseExtensionOption("JP\xC4"), std::string("jp") + platform::LowerAnsi('\xC4'));
    FindData entry;
    std::strcpy(entry.cFileName, "photo.JP\xC4");
    EXPECT_TRUE(MatchExtensions(entry, cli::ParseExtensionOption("png/JP\xC4"), ExtensionRuleMode::IncludeTypes));
    // Running without rules is a choice made on purpose: the question is answered Yes, shown only with --verbose.
    EXPECT_THAT(Find(folder, {"--verbose"}).err, HasSubstr("No filters selected: Are you sure you want to continue? Yes."));
}

TEST(FindCommand, BadValuesNameTheirOptionAndAreStatusTwo)
{
    TempFolder folder;
    const std::string here = folder.Path();
    const struct { std::vector<std::string> arguments; const char* message; } cases[] = {
        {{here, "--size", "huge:5"}, "--size: unknown mode 'huge'"},
        {{here, "--size", "between:5"}, "--size: between and not-between take two bounds"},
        {{here, "--size", "min:5GB"}, "--size: unknown unit 'GB'"},
        {{here, "--date", "modified:on:2020-02-30"}, "--date: '2020-02-30' is not a date YYYY-MM-DD"},
        {{here, "--time", "created:at:24:00"}, "--time: '24:00' is not a time HH:MM"},
        {{here, "--attr", "include:shiny"}, "--attr: unknown attribute 'shiny'"},
        {{here, "--attr", "exclude:sparse", "--target", "folders"}, "--attr: sparse does not apply to --target folders"},
        {{here, "--attr", "include:hidden", "--attr", "exclude:system"}, "--attr: every --attr must take the same mode"},
        {{here, "--name", "a*b"}, "--name: names cannot contain any of"},
        {{here, "--ext", "./."}, "--ext: no extension given"},
        {{here, "--target", "folders", "--size", "min:1"}, "--size applies to files only"},
        {{here, "--target", "everything"}, "--target"},
        {{here, "--json", "--long"}, "excludes"},
        {{here + "missing"}, "is not an existing folder"},
        {{"--locations", folder.WriteFile("gone.txt", here + "gone\n")}, "no folder to search"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "find");
        const CliRun run = RunTolvane(arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
    }
}

// Sorted a, b, c (a/inner lies inside a), walked breadth-first: each file once;
// an unreadable folder is a row on the error stream.
TEST(FindCommand, LocationsAreNormalisedAndMayComeFromAListFileAndErrorsGoToTheErrorStream)
{
    TempFolder folder;
    for (const char* file : {"b/in-b.txt", "a/inner/in-inner.txt", "c/in-c.txt"}) folder.WriteFile(file, "1");
    const std::string list = folder.WriteFile("list.txt", folder.PathOf("c") + "\n" + folder.PathOf("missing") + "\n" + folder.PathOf("a/inner") + "\n");
    const CliRun run = RunTolvane({"find", folder.PathOf("b"), folder.PathOf("a"), "--locations", list, "--quiet"});
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(Lines(run.out), ::testing::ElementsAre(folder.PathOf("b/in-b.txt"), folder.PathOf("c/in-c.txt"),
                                                       folder.PathOf("a/inner/in-inner.txt")));
    if (!MakeUnreadable(folder.PathOf("c"))) GTEST_SKIP() << "folders cannot be made unreadable here";
    const CliRun closed = Find(folder, {"--name", "in-b", "--quiet"});
    EXPECT_EQ(closed.status, 0);
    EXPECT_EQ(closed.out, folder.PathOf("b/in-b.txt") + "\n");
    EXPECT_THAT(closed.err, HasSubstr(folder.PathOf("c/") + "\t"));
}

}  // namespace
}  // namespace tolvane::test
