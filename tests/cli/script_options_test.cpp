// The options and output forms that scripts use, for both `find` and `compare`.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>

#include "support/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

using Paths = std::set<std::string>;

Paths PathSet(const std::vector<std::string>& lines) { return Paths(lines.begin(), lines.end()); }

// Every file holds "same", so that compare groups all of those it collects.
TEST(ScriptOptions, GlobExcludeAndDepthSelectTheSameFilesInFindAndCompare)
{
    TempFolder f;
    for (const char* name : {"top.h", "top.cpp", "src/a.h", "src/node_modules/m.h", "src/deep/er/b.h", ".git/c.h", "node_modules/d.h"})
        f.WriteFile(name, "same");
    const std::string location = f.Path().substr(0, f.Path().size() - 1);
    const struct { std::vector<std::string> options; Paths expected; } cases[] = {
        {{"--glob", "*.h", "--exclude", "node_modules", "--exclude", ".git"}, {f.PathOf("top.h"), f.PathOf("src/a.h"), f.PathOf("src/deep/er/b.h")}},
        {{"--max-depth", "1"}, {f.PathOf("top.h"), f.PathOf("top.cpp")}},
        {{"--max-depth", "2", "--glob", "?.h"}, {f.PathOf("src/a.h"), f.PathOf(".git/c.h"), f.PathOf("node_modules/d.h")}},
        {{"--max-depth", "4", "--exclude", "deep", "--one-file-system", "--exclude", "*.h"}, {f.PathOf("top.cpp")}},
        // An excluded folder is not even listed as a found folder; a glob also picks folders.
        {{"--target", "folders", "--exclude", "deep", "--glob", "*e*"}, {f.PathOf("node_modules"), f.PathOf("src/node_modules")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        std::vector<std::string> find = {"find", "-q", location}, compare = {"compare", "-q", "--tsv", location};
        find.insert(find.end(), c.options.begin(), c.options.end());
        const CliRun found = RunTolvane(find);
        EXPECT_EQ(found.status, 0);
        EXPECT_EQ(PathSet(Lines(found.out)), c.expected);
        if (c.options[0] == "--target") continue;
        compare.insert(compare.end(), c.options.begin(), c.options.end());
        const CliRun compared = RunTolvane(compare);
        Paths grouped;
        for (const std::string& line : Lines(compared.out)) grouped.insert(Split(line, '\t').at(2));
        if (c.expected.size() > 1) EXPECT_EQ(grouped, c.expected);
        else EXPECT_EQ(compared.status, 1) << "a single file has no duplicate";
    }
}

// Output that cannot be written is status 2.
TEST(ScriptOptions, ShortFormsRepeatedListsTheCurrentFolderByDefaultAndUnwritableOutput)
{
    TempFolder folder;
    const std::string h = folder.WriteFile("x.h", "one"), hpp = folder.WriteFile("y.HPP", "one");
    folder.WriteFile("notes.txt", "two");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const CliRun find = RunTolvane({"find", "-q", "-e", "h", "--ext", "hpp"});
    const CliRun compare = RunTolvane({"compare", "-q"});
    std::filesystem::current_path(before);
    EXPECT_EQ(PathSet(Lines(find.out)), (Paths{h, hpp}));
    EXPECT_EQ(compare.status, 0) << "by content when no match option is given";
    EXPECT_EQ(PathSet(Lines(compare.out)), (Paths{"[Same content]", h, hpp, ""}));

    for (const char* command : {"find", "compare"}) {
        const std::vector<const char*> argv = {"tolvane", command, folder.Path().c_str()};
        std::ostringstream out, err;
        out.setstate(std::ios::badbit);  // every write fails, as on standard output to a full disk
        EXPECT_EQ(cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err), 2) << command;
    }
}

#ifndef _WIN32

std::string Unescaped(const std::string& field)
{
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool escaped = field[i] == '\\' && i + 1 < field.size();
        const char c = escaped ? field[++i] : field[i];
        text += !escaped ? c : c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return text;
}

// The long form escapes as the TSV does. Names a line-based reader gets wrong: a tab, a line end, a backslash, a
// quote and bytes that are not UTF-8 (a lone Latin-1 e-acute, a cut sequence).
TEST(ScriptOptions, AwkwardNamesReadBackExactlyFromNulTsvLongAndJson)
{
    TempFolder folder;
    const std::string here = folder.Path();
    Paths expected, tsv, parsed;
    for (const char* name : {"tab\there", "new\nline", "back\\slash", "quote\"d", "caf\xE9", "cut\xE2\x82", "ok-\xC3\xA9"})
        expected.insert(folder.WriteFile(name, "same"));
    Paths nul = expected;
    nul.insert("");  // after the last NUL
    EXPECT_EQ(PathSet(Split(RunTolvane({"find", "-q", "-0", here}).out, '\0')), nul);
    for (const std::string& line : Lines(RunTolvane({"compare", "-q", "--tsv", here}).out)) tsv.insert(Unescaped(Split(line, '\t').at(2)));
    EXPECT_EQ(tsv, expected);

    // Valid UTF-8 names parse with any JSON reader, numbers as numbers.
    for (const std::string& line : Lines(RunTolvane({"find", "-q", "--json", "--glob", "*[\"\\\\]*", "--glob", "ok-*", here}).out)) {
        const nlohmann::json row = nlohmann::json::parse(line);
        EXPECT_EQ(row["type"].get<std::string>() + " " + row["size"].dump(), "file 4");
        EXPECT_THAT(row["modified"].get<std::string>(), ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z"));
        parsed.insert(row["path"].get<std::string>());
    }
    EXPECT_EQ(parsed, (Paths{here + "back\\slash", here + "quote\"d", here + "ok-\xC3\xA9"}));
}

// The window's lists stop at 32,767 rows; the command line lists every match.
TEST(ScriptOptions, FindListsPastTheWindowsRowLimit)
{
    TempFolder folder;
    constexpr int Count = 32768 + 5;
    for (int i = 0; i < Count; ++i) folder.WriteFile(std::to_string(i), "");
    const CliRun run = RunTolvane({"find", folder.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), static_cast<size_t>(Count));
}

#endif

}  // namespace
}  // namespace tolvane::test
