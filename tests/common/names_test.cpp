#include <gtest/gtest.h>

#include <filesystem>

#include "common/name_pattern.h"
#include "common/walk_roots.h"
#include "platform/path.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

TEST(NamePattern, WildcardsSetsAndEscapesMatchAsTheShellDoesWithOrWithoutCase)
{
    const struct { const char* name; const char* pattern; bool matches; } cases[] = {  // letter case counting
        {"main.h", "*.h", true},   {"main.hpp", "*.h", false},   {".h", "*.h", true},        {"ac", "a?c", false},
        {"aXbYbZc", "a*b*c", true}, {"abcb", "a*b*c", false},    {"b7", "[a-c][0-9]", true}, {"x", "[!a-c]", true},
        {"b", "[^a-c]", false},    {"]", "[]]", true},           {"-", "[a-]", true},        {"[x", "[x", true},
        {"*", "\\*", true},        {"a", "\\*", false},          {"", "*", true},            {"", "?", false},
        {"Main.H", "*.h", false},  {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(WildcardMatch(c.name, c.pattern, false), c.matches);
#ifndef _WIN32
        EXPECT_EQ(NameMatchesPattern(c.name, c.pattern), c.matches) << "fnmatch here: the table agrees with the shell";
#endif
    }
    // Ignoring case folds name and pattern, sets included.
    for (const auto& [name, pattern] : {std::pair{"Main.H", "*.h"}, {"README", "read[a-z]e"}, {"\u00C9t\u00E9", "\u00E9T?"}})
        EXPECT_TRUE(WildcardMatch(name, pattern, true)) << name;  // accented letters, '?' one whole character
    EXPECT_FALSE(WildcardMatch("\u00E9", "??", false));
    EXPECT_FALSE(WildcardMatch("Main.H", "*.c", true));
#ifdef _WIN32
    EXPECT_TRUE(NameMatchesPattern("NODE_MODULES", "node_modules"));
#endif
}

using Paths = std::vector<std::string>;

TEST(WalkRoots, DropsOnlyRepeatsAndWithSubfoldersTheFoldersInsideOthers)
{
    test::TempFolder temp;
    const auto folder = [&](const char* name) { return temp.MakeFolder(name).substr(0, temp.PathOf(name).size()); };
    const std::string data = folder("Data"), backup = folder("Data Backup") /* sorts between Data and Data/Old */,
                      old = folder("Data/Old"), data2 = folder("Data2") /* only begins like Data */;
    const std::string spelt = data + platform::PathSeparator;
#ifdef _WIN32
    const std::string root = "C:\\", inside = "C:\\Windows";
    std::string shouted = data;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string other = shouted, otherInside = shouted + "\\Old";
#else
    const std::string root = "/", inside = "/tmp";
    const std::string other = temp.PathOf("link"), otherInside = other + "/Old";
    std::filesystem::create_directory_symlink(data, other);
    const std::string upper = folder("DATA");  // another folder here
    EXPECT_EQ(WalkRoots(Paths{data, upper}, true), (Paths{data, upper}));
#endif
    const std::pair<Paths, Paths> withSubfolders[] = {
        {{data, backup, old, data2}, {data, backup, data2}}, {{old, backup, data}, {backup, data}},
        {{spelt, data, spelt}, {spelt}},                     {{otherInside, data}, {data}}, {{inside, root}, {root}}};
    for (const auto& [locations, roots] : withSubfolders) EXPECT_EQ(WalkRoots(locations, true), roots) << locations[0];
    const std::pair<Paths, Paths> without[] = {
        {{data, backup, old}, {data, backup, old}}, {{data, spelt}, {data}}, {{data, other}, {data}}, {{inside, root}, {inside, root}}};
    for (const auto& [locations, roots] : without) EXPECT_EQ(WalkRoots(locations, false), roots) << locations[0];
}

}  // namespace
}  // namespace tolvane
