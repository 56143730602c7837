#include "common/name_pattern.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fnmatch.h>
#endif

namespace tolvane {
namespace {

struct PatternCase {
    const char* name;
    const char* pattern;
    bool matches;  // letter case counting
};

const PatternCase Cases[] = {
    {"main.h", "*.h", true},        {"main.hpp", "*.h", false},      {".h", "*.h", true},
    {".git", ".git", true},         {"x.git", ".git", false},        {"abc", "a?c", true},
    {"ac", "a?c", false},           {"abc", "a*b*c", true},          {"aXbYbZc", "a*b*c", true},
    {"abcb", "a*b*c", false},       {"b7", "[a-c][0-9]", true},      {"d7", "[a-c][0-9]", false},
    {"x", "[!a-c]", true},          {"b", "[!a-c]", false},          {"b", "[^a-c]", false},
    {"]", "[]]", true},             {"a]", "a[]b]", true},           {"-", "[a-]", true},
    {"[x", "[x", true},             {"*", "\\*", true},              {"a", "\\*", false},
    {"", "*", true},                {"", "?", false},                {"node_modules", "node_*", true},
    {"Main.H", "*.h", false},       {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false},
};

TEST(NamePattern, WildcardsSetsAndEscapesMatchAsTheShellDoes)
{
    for (const PatternCase& c : Cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(WildcardMatch(c.name, c.pattern, false), c.matches);
#ifndef _WIN32
        EXPECT_EQ(fnmatch(c.pattern, c.name, 0) == 0, c.matches) << "the table itself must agree with fnmatch";
        EXPECT_EQ(NameMatchesPattern(c.name, c.pattern), c.matches);
#endif
    }
}

TEST(NamePattern, IgnoringCaseFoldsNameAndPatternSetsIncluded)
{
    EXPECT_TRUE(WildcardMatch("Main.H", "*.h", true));
    EXPECT_TRUE(WildcardMatch("README", "read[a-z]e", true));
    EXPECT_TRUE(WildcardMatch("\u00C9t\u00E9", "\u00E9T?", true)) << "accented letters, '?' one whole character";
    EXPECT_FALSE(WildcardMatch("\u00E9", "??", false));
    EXPECT_FALSE(WildcardMatch("Main.H", "*.c", true));
#ifdef _WIN32
    EXPECT_TRUE(NameMatchesPattern("NODE_MODULES", "node_modules"));
#endif
}

}  // namespace
}  // namespace tolvane
