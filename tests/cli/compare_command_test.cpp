// `tolvane compare` run in-process on temporary trees.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "support/command_run.h"
#include "cli/compare_command.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

TEST(CompareCommand, ListsGroupsAndExitsByWhatItFound)
{
    TempFolder tree;
    const std::string a = tree.WriteFile("a.txt", "abc"), b = tree.WriteFile("sub/a.txt", "abc");
    const std::string c = tree.WriteFile("sub/c.txt", "abcdef"), empty = tree.WriteFile("empty", "");
    const CliRun plain = RunTolvane({"compare", "--content", "--quiet", tree.Path()});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out + "|" + plain.err, "[Same content]\n" + a + "\n" + b + "\n\n[Zero size]\n" + empty + "\n\n|");

    // Plain lists have no group; the zero list's last field is the 17-character date.
    const CliRun tsv = RunTolvane({"compare", "--content", "--truncated", "--group-truncated", "--name", "--tsv", "-q", tree.Path()});
    std::string lists;  // list and group of each line
    for (const std::string& line : Lines(tsv.out)) lists += line.substr(0, line.find('\t', line.find('\t') + 1)) + " ";
    EXPECT_EQ(lists, "content\t1 content\t1 content\t1 name\t1 name\t1 truncated\t truncated\t zero\t ");
    EXPECT_EQ(Pieces(Lines(tsv.out).at(0), "\t", 4), (std::vector<std::string_view>{"content", "1", c, "6"}));
    EXPECT_EQ(Split(Lines(tsv.out).back(), '\t').at(4).size(), 17u);
    EXPECT_EQ(RunTolvane({"compare", "--content", "--name", "--list", "name", "-q", tree.Path()}).out, "[Same name]\n" + a + "\n" + b + "\n\n");

    // One JSON object a file; a plain list's group is null.
    std::string json;
    for (const std::string& line : Lines(RunTolvane({"compare", "--content", "--json", "-q", tree.Path()}).out)) {
        const nlohmann::json row = nlohmann::json::parse(line);
        json += row["list"].get<std::string>() + " " + row["group"].dump() + " " + row["size"].dump() + " " +
                row["path"].get<std::string>() + "; ";
    }
    EXPECT_EQ(json, "content 1 3 " + a + "; content 1 3 " + b + "; zero null 0 " + empty + "; ");
}

// The inner folder lies inside the listed one, given again with a separator:
// no file is collected twice; the folder's own files come first.
TEST(CompareCommand, FiltersAndLocations)
{
    TempFolder tree;
    const std::string a = tree.WriteFile("one/a.jpg", "12345"), b = tree.WriteFile("one/b.jpg", "12345");
    tree.WriteFile("one/c.txt", "12345");
    const std::string inner = tree.WriteFile("one/inner/d.jpg", "12345");
    const std::string listFile = tree.WriteFile("locations.txt", tree.PathOf("one") + "\r\n" + tree.PathOf("nowhere") + "\n");
    const CliRun result = RunTolvane({"compare", "--size", "--ext", "JPG", "--size-filter", "min:5", "--quiet", "--tsv",
                                      "--locations", listFile, tree.PathOf("one/inner"), tree.PathOf("one") + "/"});
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ((std::set<std::string>{Split(lines[0], '\t').at(2), Split(lines[1], '\t').at(2)}), (std::set<std::string>{a, b}));
    EXPECT_EQ(Split(lines[2], '\t').at(2), inner);
    EXPECT_EQ(RunTolvane({"compare", "--size", "--no-subfolders", "-q", tree.PathOf("one")}).out.find("d.jpg"), std::string::npos);
}

TEST(CompareCommand, ProgressLineCountsFilesAndBytesOnlyWhileFilesAreRead)
{
    EXPECT_EQ(cli::ProgressLine("Sizes...", {.percent = 40}), "Sizes... 40%");
    EXPECT_EQ(cli::ProgressLine("Content...", {.percent = 99, .filesDone = 9, .files = 10, .bytesDone = 1536, .bytes = uint64_t{2} << 20}),
              "Content... 99% (9 of 10 files, 1.4 kB of 2 MB)");
}

}  // namespace
}  // namespace tolvane::test
