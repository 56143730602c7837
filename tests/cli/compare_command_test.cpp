// `tolvane compare` run in-process on temporary trees.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Compare(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"tolvane", "compare"});
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::vector<std::string>> TsvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
            fields.push_back(line.substr(start, tab - start));
        }
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

TEST(CompareCommand, ListsGroupsAndExitsByWhatItFound)
{
    TempFolder tree;
    const std::string a = tree.WriteFile("a.txt", "abc");
    const std::string b = tree.WriteFile("sub/a.txt", "abc");
    const std::string c = tree.WriteFile("sub/c.txt", "abcdef");
    const std::string empty = tree.WriteFile("empty", "");

    const Result plain = Compare({"--content", "--quiet", tree.Path()});
    EXPECT_EQ(0, plain.status);
    EXPECT_EQ("[Same content]\n" + a + "\n" + b + "\n\n[Zero size]\n" + empty + "\n\n", plain.out);
    EXPECT_EQ("", plain.err);

    const Result tsv = Compare({"--content", "--truncated", "--group-truncated", "--name", "--tsv", "--quiet",
                                tree.Path()});
    const auto rows = TsvRows(tsv.out);
    ASSERT_EQ(8u, rows.size()) << tsv.out;
    EXPECT_EQ((std::vector<std::string>{"content", "1", c, "6"}), std::vector<std::string>(rows[0].begin(), rows[0].begin() + 4));
    EXPECT_EQ("name", rows[3][0]);
    EXPECT_EQ("truncated", rows[5][0]);
    EXPECT_EQ("", rows[5][1]) << "no group in the plain lists";
    EXPECT_EQ("zero", rows[7][0]);
    EXPECT_EQ(17u, rows[7][4].size());

    const Result onlyName = Compare({"--content", "--name", "--list", "name", "--quiet", tree.Path()});
    EXPECT_EQ("[Same name]\n" + a + "\n" + b + "\n\n", onlyName.out);

    const Result nothing = Compare({"--size", tree.PathOf("sub")});
    EXPECT_EQ(1, nothing.status) << "no group";
    EXPECT_EQ("Searching for files to compare...\nComparing files by size...\nWriting result...\n", nothing.err)
        << "phase lines, without a progress display when stderr is not a terminal";
}

TEST(CompareCommand, RefusesWhatCannotRun)
{
    TempFolder tree;
    EXPECT_EQ(2, Compare({tree.Path()}).status) << "nothing to compare";
    EXPECT_NE(std::string::npos, Compare({tree.Path()}).err.find("You must specify what to compare"));
    EXPECT_EQ(2, Compare({"--content"}).status) << "no location";
    for (const char* bad : {"--size-filter=between:5", "--size-filter=eq:5GB", "--date=modified:on:2024-02-30",
                            "--attr=include:reparsepoint", "--ext=.jpg", "--ext=jpg//png", "--list=other",
                            "--ext-mode=sometimes"}) {
        const Result result = Compare({"--content", bad, tree.Path()});
        EXPECT_EQ(2, result.status) << bad;
        EXPECT_NE(std::string::npos, result.err.find(std::string(bad).substr(0, 5))) << result.err;
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

    // The inner folder is inside the first location: its files are not collected twice.
    const Result result = Compare({"--size", "--ext", "JPG", "--size-filter", "min:5", "--quiet", "--tsv",
                                   "--locations", listFile, tree.PathOf("one/inner")});
    const auto rows = TsvRows(result.out);
    ASSERT_EQ(3u, rows.size()) << result.out;
    // The folder's own files come first, in the order the system lists them.
    EXPECT_EQ((std::set<std::string>{a, b}), (std::set<std::string>{rows[0][2], rows[1][2]}));
    EXPECT_EQ(big, rows[2][2]);

    const Result flat = Compare({"--size", "--no-subfolders", "--quiet", tree.PathOf("one")});
    EXPECT_EQ(std::string::npos, flat.out.find("d.jpg"));
}

#ifndef _WIN32
// Groups as sets of paths, from fdupes' output (groups apart by blank lines).
std::set<std::set<std::string>> Partition(const std::vector<std::vector<std::string>>& groups)
{
    std::set<std::set<std::string>> result;
    for (const auto& group : groups) result.insert(std::set<std::string>(group.begin(), group.end()));
    return result;
}

TEST(CompareCommand, ContentGroupsAgreeWithFdupes)
{
    if (std::system("fdupes --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "fdupes is not installed";
    TempFolder tree;
    std::mt19937 random(5);
    for (int i = 0; i < 300; ++i) {
        const int length = 1 + static_cast<int>(random() % 6) * (i % 7 == 0 ? 3000 : 1);
        std::string content(static_cast<size_t>(length), 'x');
        for (char& c : content) c = static_cast<char>('a' + random() % 2);
        tree.WriteFile("d" + std::to_string(i % 5) + "/s" + std::to_string(i % 3) + "/f" + std::to_string(i), content);
    }
    tree.WriteFile("empty1", "");
    tree.WriteFile("empty2", "");

    const Result ours = Compare({"--content", "--tsv", "--quiet", "--list", "content", tree.Path()});
    std::map<std::string, std::vector<std::string>> byGroup;
    for (const auto& row : TsvRows(ours.out)) byGroup[row[1]].push_back(row[2]);
    std::vector<std::vector<std::string>> ourGroups;
    for (auto& [group, paths] : byGroup) ourGroups.push_back(paths);

    std::vector<std::vector<std::string>> theirGroups(1);
    FILE* pipe = popen(("fdupes -r -n -q '" + tree.Path() + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(nullptr, pipe);
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        if (path.empty()) {
            theirGroups.emplace_back();
        } else {
            theirGroups.back().push_back(path);
        }
    }
    pclose(pipe);
    std::erase_if(theirGroups, [](const auto& group) { return group.empty(); });

    ASSERT_GT(ourGroups.size(), 10u);
    EXPECT_EQ(Partition(theirGroups), Partition(ourGroups));
}
#endif

}  // namespace
}  // namespace tolvane::test
