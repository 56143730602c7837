#include "find/content_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/constants.h"
#include "find/search_test_support.h"

namespace tolvane::test {
namespace {

using ::testing::ElementsAre;

class ContentRule : public SearchFixture {
protected:
    // Searches afresh for the text as the filters dialog stores it: A-Z folded
    // unless case-sensitive.
    std::vector<std::string> Look(std::string text, bool caseSensitive, ContentRuleMode mode = ContentRuleMode::Containing)
    {
        ResetFindRun(state, presenter, lists);
        SearchCriteria& c = state.criteria;
        c.contentRuleOn = true;
        c.contentMode = mode;
        c.contentCaseSensitive = caseSensitive;
        for (char& ch : text) {
            if (!caseSensitive && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
        }
        c.contentText = text;
        EXPECT_EQ(Run(), SearchOutcome::Completed);
        return Found(files);
    }
};

TEST_F(ContentRule, FindsTextAcrossTheChunkBoundaryAndAfterPartialMatches)
{
    std::string bytes(ContentChunkSize + 100, 'x');
    folder.WriteFile("near-miss.bin", bytes.replace(ContentChunkSize - 3, 6, "needlX"));
    folder.WriteFile("straddle.bin", bytes.replace(ContentChunkSize - 3, 6, "needle"));
    EXPECT_THAT(Look("needle", true), ElementsAre("straddle.bin"));

    folder.WriteFile("aaab.txt", "aaab");
    folder.WriteFile("abab.txt", "ababa");
    EXPECT_THAT(Look("aab", true), ElementsAre("aaab.txt"));
}

TEST_F(ContentRule, CaseFoldingTouchesOnlyAsciiLetters)
{
    folder.WriteFile("upper.txt", "xx\xC4" "BC-HELLO");     // \xC4 stays, BC folds to bc
    folder.WriteFile("accented.txt", "xx\xE4" "bc-hello");  // \xE4 is not \xC4 folded
    EXPECT_THAT(Look("\xC4" "Bc-Hello", false), ElementsAre("upper.txt"));
    EXPECT_THAT(Look("HELLO", true), ElementsAre("upper.txt"));
}

TEST_F(ContentRule, FilesShorterThanTheTextNeverPassEitherMode)
{
    folder.WriteFile("empty.txt", "");
    folder.WriteFile("four.txt", "abcd");
    folder.WriteFile("other.txt", "something else");
    folder.WriteFile("holds.txt", "has abcde in it");
    EXPECT_THAT(Look("abcde", true, ContentRuleMode::NotContaining), ElementsAre("other.txt"));
    EXPECT_THAT(Look("abcde", true), ElementsAre("holds.txt"));
}

TEST(ContentSearch, SearchesOnlyTheBytesReadAndStopsWhenAsked)
{
    TempFolder folder;
    std::atomic<bool> stop{false};
    ContentSearch search("needle", true);
    const std::string first = folder.WriteFile("first.txt", std::string(50, '-') + "needle" + std::string(144, '-'));
    ASSERT_EQ(search.SearchFile(first, 200, stop), ContentResult::Found);
    // Listed at 200 bytes, 10 left when read: the reused buffer still holds
    // the first file's bytes past them.
    const std::string shrunk = folder.WriteFile("shrunk.txt", std::string(10, '-'));
    EXPECT_EQ(search.SearchFile(shrunk, 200, stop), ContentResult::NotFound);
    EXPECT_EQ(search.SearchFile(folder.PathOf("missing"), 100, stop), ContentResult::OpenFailed);

    stop = true;  // honoured after a chunk
    const std::string path = folder.WriteFile("big.bin", std::string(ContentChunkSize + 10, 'x') + "needle");
    EXPECT_EQ(search.SearchFile(path, ContentChunkSize + 16, stop), ContentResult::Stopped);
}

TEST(TextFinder, FindsEveryPlacementAndNoFalseOne)
{
    // The folded text also matches its capitals, the capital of its first
    // letter too (the rarest, that the search looks for).
    for (const bool anyCase : {false, true}) {
        const std::string text = "zqneedle";
        const TextFinder finder(text, anyCase);
        for (size_t at = 0; at + text.size() <= 40; ++at) {
            std::string block(40, anyCase ? 'E' : 'e');
            block.replace(at, text.size(), anyCase ? "ZqNeEDle" : text);
            EXPECT_TRUE(finder.FoundIn(reinterpret_cast<const unsigned char*>(block.data()), block.size())) << at;
            block[at + text.size() - 1] = anyCase ? '[' : 'x';
            EXPECT_FALSE(finder.FoundIn(reinterpret_cast<const unsigned char*>(block.data()), block.size())) << at;
        }
    }
    const TextFinder exact("needle");
    const std::string capitals = "NEEDLE";
    EXPECT_FALSE(exact.FoundIn(reinterpret_cast<const unsigned char*>(capitals.data()), capitals.size()));
}

}  // namespace
}  // namespace tolvane::test
