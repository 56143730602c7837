#include "find/criteria.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tolvane {
namespace {

using test::NamedEntry;

TEST(MatchName, ModesCaseAndCodePointFolding)
{
    using enum NameRuleMode;
    const struct { const char *name, *pattern; NameRuleMode mode; bool caseSensitive, matches; } cases[] = {
        {"Report.TXT", "REPORT.txt", Matches, false, true}, {"Report.TXT", "report", NotContains, false, false},
        {"Report.TXT", "report", Contains, true, false},    {"Report.TXT", "report", NotContains, true, true},
        {"a.txt.bak", "a.txt", Matches, false, false},      {"xa.txt", "a.txt", Matches, false, false},
        {"abc.txt", "a?c.txt", Matches, false, false},
        {"\xE2\x84\xAA.txt", "k.txt", Matches, false, true},  // Kelvin sign
        {"\xE3\x83\x83.txt", "\xC3\x83", Contains, false, false},  // Ã folds to ã, never to a byte of ッ
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchName(NamedEntry(c.name), c.pattern, c.mode, c.caseSensitive), c.matches)
            << c.name << " / " << c.pattern;
}

}  // namespace
}  // namespace tolvane
