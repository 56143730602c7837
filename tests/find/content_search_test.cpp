#include "find/content_search.h"

#include <gtest/gtest.h>

#include "common/constants.h"
#include "support/search_test_support.h"

namespace tolvane::test {
namespace {

using ContentRule = SearchFixture;

// The text is given as the filters dialog stores it: A-Z folded unless case-sensitive.
TEST_F(ContentRule, StraddlesChunksRetriesPartialMatchesAndFoldsOnlyAscii)
{
    std::string bytes(ContentChunkSize + 100, 'x');
    folder.WriteFile("near-miss.bin", bytes.replace(ContentChunkSize - 3, 6, "needlX"));
    folder.WriteFile("straddle.bin", bytes.replace(ContentChunkSize - 3, 6, "needle"));
    for (const auto& [name, text] : std::initializer_list<std::pair<const char*, const char*>>{
             {"aaab.txt", "aaab"}, {"upper.txt", "xx\xC4" "BC-HELLO"}, {"accented.txt", "xx\xE4" "bc-hello"}})
        folder.WriteFile(name, text);
    const struct { const char* text; bool caseSensitive; ContentRuleMode mode; const char* found; } cases[] = {
        {"needle", true, ContentRuleMode::Containing, "straddle.bin"},
        {"aab", true, ContentRuleMode::Containing, "aaab.txt"},
        {"\xC4" "bc-hello", false, ContentRuleMode::Containing, "upper.txt"},  // \xE4 is not \xC4 folded
        // Files shorter than the text pass neither mode.
        {"abcde", true, ContentRuleMode::NotContaining, "accented.txt near-miss.bin straddle.bin upper.txt"},
    };
    for (const auto& c : cases) {
        state.criteria.contentRuleOn = true;
        state.criteria.contentMode = c.mode;
        state.criteria.contentCaseSensitive = c.caseSensitive;
        state.criteria.contentText = c.text;
        ASSERT_EQ(Run(), SearchOutcome::Completed);
        EXPECT_EQ(Found(files), c.found) << c.text;
    }
}

TEST(ContentSearch, SearchesOnlyTheBytesReadAndStopsWhenAsked)
{
    TempFolder folder;
    std::atomic<bool> stop{false};
    ContentSearch search("needle", true);
    ASSERT_EQ(search.SearchFile(folder.WriteFile("first", std::string(50, '-') + "needle" + std::string(144, '-')), 200, stop),
              ContentResult::Found);
    // Listed at 200 bytes, 10 left when read: the reused buffer still holds the first file's bytes.
    EXPECT_EQ(search.SearchFile(folder.WriteFile("shrunk", std::string(10, '-')), 200, stop), ContentResult::NotFound);
    stop = true;  // honoured after a chunk
    const std::string big = folder.WriteFile("big", std::string(ContentChunkSize + 10, 'x') + "needle");
    EXPECT_EQ(search.SearchFile(big, ContentChunkSize + 16, stop), ContentResult::Stopped);
}

// The folded text also matches its capitals, the capital of the rarest letter
// (the one the search scans for) too, at every placement.
TEST(TextFinder, FindsEveryPlacementAndNoFalseOne)
{
    const auto found = [](const TextFinder& finder, const std::string& block) {
        return finder.FoundIn(reinterpret_cast<const unsigned char*>(block.data()), block.size());
    };
    for (const bool anyCase : {false, true}) {
        const TextFinder finder("zqneedle", anyCase);
        for (size_t at = 0; at + 8 <= 40; ++at) {
            std::string block(40, anyCase ? 'E' : 'e');
            block.replace(at, 8, anyCase ? "ZqNeEDle" : "zqneedle");
            EXPECT_TRUE(found(finder, block)) << at;
            block[at + 7] = anyCase ? '[' : 'x';
            EXPECT_FALSE(found(finder, block)) << at;
        }
    }
    EXPECT_FALSE(found(TextFinder("needle"), "NEEDLE"));
}

}  // namespace
}  // namespace tolvane::test
