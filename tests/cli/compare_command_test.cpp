// `tolvane compare` run in-process on temporary trees.
#include <gtest/gtest.h>

#include <set>

#include "cli/command_run.h"
#include "cli/compare_command.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

CliRun Compare(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "compare");
    return RunTolvane(std::move(arguments));
}

std::vector<std::vector<std::string>> TsvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(text)) rows.push_back(Split(line, '\t'));
    return rows;
}

TEST(CompareCommand, ListsGroupsAndExitsByWhatItFound)
{
    TempFolder tree;
    const std::string a = tree.WriteFile("a.txt", "abc");
    const std::string b = tree.WriteFile("sub/a.txt", "abc");
    const std::string c = tree.WriteFile("sub/c.txt", "abcdef");
    const std::string empty = tree.WriteFile("empty", "");

    const CliRun plain = Compare({"--content", "--quiet", tree.Path()});
    EXPECT_EQ(0, plain.status);
    EXPECT_EQ("[Same content]\n" + a + "\n" + b + "\n\n[Zero size]\n" + empty + "\n\n", plain.out);
    EXPECT_EQ("", plain.err);

    const CliRun tsv = Compare({"--content", "--truncated", "--group-truncated", "--name", "--tsv", "--quiet",
                                tree.Path()});
    const auto rows = TsvRows(tsv.out);
    ASSERT_EQ(8u, rows.size()) << tsv.out;
    EXPECT_EQ((std::vector<std::string>{"content", "1", c, "6"}), std::vector<std::string>(rows[0].begin(), rows[0].begin() + 4));
    EXPECT_EQ("name", rows[3][0]);
    EXPECT_EQ("truncated", rows[5][0]);
    EXPECT_EQ("", rows[5][1]) << "no group in the plain lists";
    EXPECT_EQ("zero", rows[7][0]);
    EXPECT_EQ(17u, rows[7][4].size());

    EXPECT_EQ("[Same name]\n" + a + "\n" + b + "\n\n",
              Compare({"--content", "--name", "--list", "name", "--quiet", tree.Path()}).out);

    const CliRun nothing = Compare({"--size", tree.PathOf("sub")});
    EXPECT_EQ(1, nothing.status) << "no group";
    EXPECT_EQ("Searching for files to compare...\nComparing files by size...\nWriting result...\n", nothing.err)
        << "phase lines, without a progress display when stderr is not a terminal";
}

TEST(CompareCommand, RefusesWhatCannotRun)
{
    TempFolder tree;
    // Each refused command line and a part of the message that must name the fault.
    // Extensions are taken as the dialog's edit takes them: ".JPG//" is the list "jpg".
    std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--content", tree.PathOf("missing")}, "is not an existing folder"},
        {{"--json", "--tsv", tree.Path()}, "--json excludes --tsv"},
        {{"--json", "-0", tree.Path()}, "excludes"},
        {{"--max-depth", "0", tree.Path()}, "--max-depth"},
        {{"--exclude", "", tree.Path()}, "the pattern is empty"},
    };
    for (const char* bad : {"--size-filter=between:5", "--size-filter=eq:5GB", "--size-filter=eq:4294967296",
                            "--date=modified:on:2024-02-30", "--attr=include:reparsepoint",
                            "--attr=exclude:compressed,encrypted", "--ext=./.", "--list=other", "--ext-mode=sometimes"})
        refused.push_back({{"--content", bad, tree.Path()}, std::string(bad).substr(0, 5)});
    // An empty value is refused, not taken for an option left out.
    for (const char* option : {"--ext", "--size-filter", "--date", "--attr", "--list", "--locations"})
        refused.push_back({{"--content", option, "", tree.Path()}, option});

    for (const auto& [arguments, message] : refused) {
        const CliRun result = Compare(arguments);
        EXPECT_EQ(2, result.status) << arguments.back();
        EXPECT_NE(std::string::npos, result.err.find(message)) << result.err;
    }
}

TEST(CompareCommand, FiltersAndLocations)
{
    TempFolder tree;
    const std::string a = tree.WriteFile("one/a.jpg", "12345");
    const std::string b = tree.WriteFile("one/b.jpg", "12345");
    tree.WriteFile("one/c.txt", "12345");
    const std::string big = tree.WriteFile("one/inner/d.jpg", "12345");
    const std::string listFile = tree.WriteFile("locations.txt", tree.PathOf("one") + "\r\n" + tree.PathOf("nowhere") + "\n");

    // The inner folder lies inside the listed one, given again with a separator:
    // no file is collected twice.
    const CliRun result = Compare({"--size", "--ext", "JPG", "--size-filter", "min:5", "--quiet", "--tsv",
                                   "--locations", listFile, tree.PathOf("one/inner"), tree.PathOf("one") + "/"});
    const auto rows = TsvRows(result.out);
    ASSERT_EQ(3u, rows.size()) << result.out;
    // The folder's own files come first, in the order the system lists them.
    EXPECT_EQ((std::set<std::string>{a, b}), (std::set<std::string>{rows[0][2], rows[1][2]}));
    EXPECT_EQ(big, rows[2][2]);

    const CliRun flat = Compare({"--size", "--no-subfolders", "--quiet", tree.PathOf("one")});
    EXPECT_EQ(std::string::npos, flat.out.find("d.jpg"));
}

}  // namespace
}  // namespace tolvane::test

TEST(CompareCommand, ProgressLineCountsFilesAndBytesOnlyWhileFilesAreRead)
{
    EXPECT_EQ("Sizes... 40%", tolvane::cli::ProgressLine("Sizes...", {.percent = 40}));
    EXPECT_EQ("Content... 99% (9 of 10 files, 1.4 kB of 2 MB)",
              tolvane::cli::ProgressLine("Content...", {.percent = 99, .filesDone = 9, .files = 10, .bytesDone = 1536,
                                          .bytes = uint64_t{2} << 20}));
}
