// The interlocks of the Compare page's option boxes.
#include <gtest/gtest.h>

#include "compare/compare_options.h"

namespace tolvane::test {
namespace {

CompareOptions Checks(bool content, bool name, bool size, bool combined = false)
{
    CompareOptions checks;
    checks.matchContent = content;
    checks.matchName = name;
    checks.matchSize = size;
    checks.combinedResult = combined;
    return checks;
}

std::string Bracket(const CompareOptionStates& states)
{
    std::string drawn;
    for (bool shown : states.bracketShown) drawn += shown ? '1' : '0';
    return drawn;
}

TEST(CompareOptionInterlocks, BracketAndCombinedBoxesFollowTheRowsThatCombine)
{
    struct Case {
        bool content, name, size;
        bool combinedEnabled;
        const char* bracket;  // upper line, lower line, content, name, size tick
    };
    const Case cases[] = {
        {false, false, false, false, "00000"}, {true, false, false, false, "00000"},
        {false, true, false, false, "00000"},  {false, false, true, false, "00000"},
        {true, false, true, false, "00000"},   {true, true, false, true, "10110"},
        {false, true, true, true, "11011"},    {true, true, true, true, "10110"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.content << c.name << c.size);
        const CompareOptionStates states = CompareOptionInterlocks(Checks(c.content, c.name, c.size, true));
        EXPECT_EQ(states.combinedResultEnabled, c.combinedEnabled);
        EXPECT_EQ(states.combinedOnlyEnabled, c.combinedEnabled);
        EXPECT_EQ(Bracket(states), c.bracket);
        // "only" needs "Combined result" checked as well as enabled.
        EXPECT_FALSE(CompareOptionInterlocks(Checks(c.content, c.name, c.size, false)).combinedOnlyEnabled);
    }
}

TEST(CompareOptionInterlocks, DependentBoxesFollowTheirMatchOption)
{
    CompareOptions checks = Checks(false, false, false);
    checks.soTruncated = true;  // kept from before "Match content" was unchecked
    CompareOptionStates states = CompareOptionInterlocks(checks);
    EXPECT_FALSE(states.soTruncatedEnabled);
    EXPECT_FALSE(states.dontGroupTruncatedEnabled);
    EXPECT_FALSE(states.ignoreCaseEnabled);
    EXPECT_FALSE(states.ignoreZeroSizeEnabled);

    checks.matchContent = true;
    checks.soTruncated = false;
    states = CompareOptionInterlocks(checks);
    EXPECT_TRUE(states.soTruncatedEnabled);
    EXPECT_FALSE(states.dontGroupTruncatedEnabled);

    checks.soTruncated = true;
    checks.matchName = true;
    checks.matchSize = true;
    states = CompareOptionInterlocks(checks);
    EXPECT_TRUE(states.dontGroupTruncatedEnabled);
    EXPECT_TRUE(states.ignoreCaseEnabled);
    EXPECT_TRUE(states.ignoreZeroSizeEnabled);
}

}  // namespace
}  // namespace tolvane::test
