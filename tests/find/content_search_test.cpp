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
    // The text as the filters dialog stores it: A-Z folded unless case-sensitive.
    void Look(const std::string& text, bool caseSensitive, ContentRuleMode mode = ContentRuleMode::Containing)
    {
        SearchCriteria& c = state.criteria;
        c.contentRuleOn = true;
        c.contentMode = mode;
        c.contentCaseSensitive = caseSensitive;
        c.contentText = text;
        if (!caseSensitive) {
            for (char& ch : c.contentText) {
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
            }
        }
    }
};

TEST_F(ContentRule, FindsATextThatStraddlesTheChunkBoundary)
{
    std::string bytes(ContentChunkSize + 100, 'x');
    bytes.replace(ContentChunkSize - 3, 6, "needle");
    folder.WriteFile("straddle.bin", bytes);
    std::string clean(ContentChunkSize + 100, 'x');
    clean.replace(ContentChunkSize - 3, 6, "needlX");
    folder.WriteFile("near-miss.bin", clean);
    Look("needle", true);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("straddle.bin"));
}

TEST_F(ContentRule, PartialMatchesRestartCorrectly)
{
    folder.WriteFile("aaab.txt", "aaab");
    folder.WriteFile("abab.txt", "ababa");
    Look("aab", true);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("aaab.txt"));
}

TEST_F(ContentRule, CaseFoldingTouchesOnlyAsciiLetters)
{
    folder.WriteFile("upper.txt", "xx\xC4" "BC-HELLO");      // \xC4 stays, BC folds to bc
    folder.WriteFile("accented.txt", "xx\xE4" "bc-hello");   // \xE4 is not \xC4 folded
    Look("\xC4" "Bc-Hello", false);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("upper.txt"));

    SetFindRunState(state, view, lists, SearchRunState::Idle);
    Look("HELLO", true);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("upper.txt"));
}

TEST_F(ContentRule, FilesShorterThanTheTextNeverPassEitherMode)
{
    folder.WriteFile("empty.txt", "");
    folder.WriteFile("four.txt", "abcd");
    folder.WriteFile("other.txt", "something else");
    folder.WriteFile("holds.txt", "has abcde in it");
    Look("abcde", true, ContentRuleMode::NotContaining);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("other.txt"));

    SetFindRunState(state, view, lists, SearchRunState::Idle);
    Look("abcde", true, ContentRuleMode::Containing);
    ASSERT_EQ(Run(), SearchOutcome::Completed);
    EXPECT_THAT(Found(files), ElementsAre("holds.txt"));
}

TEST(ContentSearch, AShortReadSearchesOnlyTheBytesRead)
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
}

TEST(ContentSearch, StopsAfterAChunkOnceAStopIsRequested)
{
    TempFolder folder;
    std::atomic<bool> stop{true};
    ContentSearch search("needle", true);
    const std::string path = folder.WriteFile("big.bin", std::string(ContentChunkSize + 10, 'x') + "needle");
    EXPECT_EQ(search.SearchFile(path, ContentChunkSize + 16, stop), ContentResult::Stopped);
    EXPECT_EQ(search.SearchFile(folder.PathOf("missing"), 100, stop), ContentResult::OpenFailed);
}

TEST(TextFinder, FindsEveryPlacementAndNoFalseOne)
{
    const std::string text = "zq-needle";
    const TextFinder finder(text);
    for (size_t at = 0; at + text.size() <= 40; ++at) {
        std::string block(40, 'e');
        block.replace(at, text.size(), text);
        EXPECT_TRUE(finder.FoundIn(reinterpret_cast<const unsigned char*>(block.data()), block.size())) << at;
        block[at + text.size() - 1] = 'x';
        EXPECT_FALSE(finder.FoundIn(reinterpret_cast<const unsigned char*>(block.data()), block.size())) << at;
    }
}

}  // namespace
}  // namespace tolvane::test
