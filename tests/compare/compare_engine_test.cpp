// Worked cases of the grouping, each checked on the engine and on the plain
// anchor scans, so that both are held to the expected rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "compare/memory_files.h"
#include "compare/phase_plan.h"
#include "compare/reference_engine.h"

namespace tolvane::test {
namespace {

using Rows = std::vector<uint32_t>;

struct Outcome {
    CompareLists lists;
    RecordingHost host;
};

CompareOptions Content(bool truncated = false, bool group = false)
{
    CompareOptions o;
    o.matchContent = true;
    o.soTruncated = truncated;
    o.dontGroupTruncated = !group;
    return o;
}

// Runs the engine (reference = false) or the anchor scans on the files.
Outcome Group(const std::vector<MemoryFile>& files, const CompareOptions& boxes, bool reference,
            uint32_t stopAtRecord = UINT32_MAX)
{
    Outcome outcome;
    const FileRecords records = MakeRecords(files);
    MemorySource source(files);
    std::atomic<bool> stop{false};
    bool stopped = false;
    source.onRead = [&](uint32_t record) {
        if (record == stopAtRecord && !stopped) {
            stopped = true;
            stop.store(true);
        }
    };
    if (reference) {
        RunReferencePhases(records, CountedOptions(boxes), source, outcome.host, stop, outcome.lists, 5);
    } else {
        ContentLimits limits;
        limits.smallestChunk = 4;  // several pieces per file even for small ones
        limits.largestChunk = 8;
        RunComparePhases(records, CountedOptions(boxes), source, outcome.host, stop, outcome.lists, limits);
    }
    EXPECT_FALSE(stop.load()) << "a stop request is cleared once acted on";
    return outcome;
}

class BothEngines : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(EngineAndReference, BothEngines, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Reference" : "Engine"; });

// Content grouping with and without "So truncated": the content rows, their
// groups (when given) and the truncated rows.
TEST_P(BothEngines, ContentAndTruncatedRows)
{
    const std::string hundred(100, 'q');
    const std::string withZero("abc\0", 4);
    MemoryFile shrank = Plain("b", withZero);
    shrank.content = "abc";  // listed with four bytes, delivers three
    std::string big(3 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
    std::string lastDiffers = big;
    lastDiffers.back() ^= 1;
    const std::vector<MemoryFile> shortAndLong = {Plain("x", "abc"), Plain("y", "abcdef")};
    const std::vector<MemoryFile> shrinking = {Plain("a", withZero), shrank, Plain("c", "ab")};
    const struct {
        const char* what;
        std::vector<MemoryFile> files;
        CompareOptions boxes;
        Rows content, groups, truncated;
    } cases[] = {
        {"truncated copy grouped behind the longer file", shortAndLong, Content(true, true), {1, 0}, {1, 1}, {0}},
        {"truncated copy listed apart", shortAndLong, Content(true, false), {}, {}, {0}},
        {"files of different sizes are not compared", shortAndLong, Content(false), {}, {}, {}},
        {"longer file takes over a group of duplicates",
         {Plain("a", hundred), Plain("b", hundred), Plain("c", hundred + hundred)}, Content(true, true), {2, 1, 0}, {},
         {0, 1}},
        // 2 and 3 begin like 0 but do not join the group of 0 and 1.
        {"duplicates of a new anchor keep their own group",
         {Plain("a", "ab"), Plain("b", "ab"), Plain("c", "abc"), Plain("d", "abc")}, Content(true, false),
         {0, 1, 2, 3}, {1, 1, 2, 2}, {0}},
        // The missing byte must not be taken from what a buffer held before...
        {"a file that shrank matches nothing", shrinking, Content(), {}, {}, {}},
        // ...but its bytes can still be the longer file a truncated copy begins.
        {"a file that shrank can be the longer file", shrinking, Content(true, true), {0, 2}, {}, {2}},
        {"large files are compared to their last byte", {Plain("a", big), Plain("b", lastDiffers), Plain("c", big)},
         Content(), {0, 2}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = Group(c.files, c.boxes, GetParam());
        EXPECT_EQ(c.content, outcome.lists.content.rows);
        if (!c.groups.empty()) {
            EXPECT_EQ(c.groups, outcome.lists.content.groups);
        }
        EXPECT_EQ(c.truncated, outcome.lists.truncatedRows);
        EXPECT_EQ(c.truncated.size(), outcome.lists.truncatedCount);
    }
}

TEST_P(BothEngines, ZeroSizeFilesStayOutOfContentGroups)
{
    const std::vector<MemoryFile> files = {Plain("a", ""), Plain("b", ""), Plain("c", "x"), Plain("d", "x")};
    CompareOptions o = Content(true, true);
    o.matchSize = true;
    o.ignoreZeroSize = false;
    const Outcome counted = Group(files, o, GetParam());
    EXPECT_EQ((Rows{2, 3}), counted.lists.content.rows);
    EXPECT_EQ((Rows{0, 1, 2, 3}), counted.lists.size.rows);
    EXPECT_EQ((Rows{1, 1, 2, 2}), counted.lists.size.groups);
    EXPECT_EQ((Rows{0, 1}), counted.lists.zeroSizeRows);
    EXPECT_EQ(2u, counted.lists.zeroSizeCount);

    o.ignoreZeroSize = true;
    const Outcome ignored = Group(files, o, GetParam());
    EXPECT_EQ((Rows{2, 3}), ignored.lists.size.rows);
    EXPECT_EQ((Rows{0, 1}), ignored.lists.zeroSizeRows) << "always listed as zero size";
}

TEST_P(BothEngines, LetterCaseFoldsLatinLettersOnly)
{
    const std::vector<MemoryFile> files = {Plain("README.TXT", "1"), Plain("readme.txt", "22"), Plain("\xC9t\xE9", "3"),
                                           Plain("\xE9t\xE9", "4")};
    CompareOptions o;
    o.matchName = true;
    o.ignoreCase = true;
    const Outcome folded = Group(files, o, GetParam());
    EXPECT_EQ((Rows{0, 1}), folded.lists.name.rows);
    // Progress rises through the phase, not from 0 straight to 100.
    EXPECT_GT(folded.host.progress.size(), 3u);
    EXPECT_TRUE(std::is_sorted(folded.host.progress.begin(), folded.host.progress.end()));
    EXPECT_EQ(100, folded.host.progress.back());
    o.ignoreCase = false;
    EXPECT_TRUE(Group(files, o, GetParam()).lists.name.rows.empty());
}

// Records 0, 2, 4 are named p with equal content; 1 and 3 are named p and q
// with another content.
std::vector<MemoryFile> NamedContents()
{
    return {Plain("p", "same"), Plain("p", "other"), Plain("p", "same"), Plain("q", "other"), Plain("p", "same")};
}

TEST_P(BothEngines, CombinedListWithAndWithoutOnly)
{
    CompareOptions o = Content();
    o.matchName = true;
    o.combinedResult = true;
    const Outcome outcome = Group(NamedContents(), o, GetParam());
    EXPECT_EQ((Rows{0, 1, 2, 4}), outcome.lists.name.rows);
    EXPECT_EQ((Rows{0, 2, 4, 1, 3}), outcome.lists.content.rows);
    EXPECT_EQ((Rows{0, 2, 4}), outcome.lists.combined.rows);
    EXPECT_EQ((Rows{1, 1, 1}), outcome.lists.combined.groups);

    o.combinedOnly = true;
    o.matchSize = true;
    const Outcome only = Group(NamedContents(), o, GetParam());
    EXPECT_TRUE(only.lists.name.rows.empty());
    EXPECT_TRUE(only.lists.content.rows.empty());
    EXPECT_EQ((Rows{0, 2, 4}), only.lists.combined.rows);
    EXPECT_EQ((Rows{0, 2, 4, 1, 3}), only.lists.size.rows) << "size grouping still runs on its own";
}

TEST(CompareEngine, PhasePlanFollowsTheCountedOptions)
{
    using enum ComparePhase;
    const struct {
        const char* boxes;
        std::vector<ComparePhase> steps;
    } plans[] = {
        {"", {}},
        {"size name", {SizeGroups, NameGroups}},
        {"content only", {ContentGroups}},  // "only" counts only with "Combined result"...
        {"size content combined", {SizeGroups, ContentGroups}},  // ...which counts only with "Match name"
        {"size name combined", {SizeGroups, NameGroups, SizeNameCombine}},
        {"size name combined only", {SizeNameGroups}},
        {"content name combined", {NameGroups, ContentGroups, NameContentCombine}},
        {"content name combined only", {NameContentGroups}},
        {"size content name combined", {SizeGroups, NameGroups, ContentGroups, NameContentCombine}},
        {"size content name combined only", {SizeGroups, NameContentGroups}},
    };
    for (const auto& plan : plans) {
        const std::string boxes = plan.boxes;
        CompareOptions o;
        o.matchSize = boxes.find("size") != std::string::npos;
        o.matchName = boxes.find("name") != std::string::npos;
        o.matchContent = boxes.find("content") != std::string::npos;
        o.combinedResult = boxes.find("combined") != std::string::npos;
        o.combinedOnly = boxes.find("only") != std::string::npos;
        EXPECT_EQ(plan.steps, PlanPhases(CountedOptions(o))) << boxes;
    }
}

TEST_P(BothEngines, UnreadableFileGivesOneErrorRow)
{
    std::vector<MemoryFile> files = {Plain("a", "abc"), Plain("b", "abc"), Plain("c", "abd")};
    files[1].unopenable = true;
    const Outcome outcome = Group(files, Content(true), GetParam());
    EXPECT_EQ((std::vector<std::string>{"/m/b"}), outcome.host.errors);
    EXPECT_TRUE(outcome.lists.content.rows.empty());
}

TEST_P(BothEngines, StopDuringContentGroupingKeepsEarlierGroupsAndRunsLaterPhases)
{
    const std::vector<MemoryFile> files = {Plain("p", "abc"), Plain("p", "abc"), Plain("q", "hello"),
                                           Plain("q", "hello")};
    CompareOptions o = Content();
    o.matchName = true;
    o.combinedResult = true;
    // The stop arrives when the second pair is being read.
    const Outcome outcome = Group(files, o, GetParam(), 2);
    EXPECT_EQ((Rows{0, 1}), outcome.lists.content.rows);
    EXPECT_EQ((Rows{0, 1, 2, 3}), outcome.lists.name.rows) << "name grouping ran before";
    EXPECT_EQ((Rows{0, 1}), outcome.lists.combined.rows) << "the combination still runs";
}

// With "So truncated" every file is in one set: a stop while it is read (at the
// first piece of file 4) keeps the groups already compared to their end, and
// no file compared only in part (2 and 3).
TEST(CompareEngine, StopDuringOneSetKeepsTheGroupsItHadConfirmed)
{
    const std::string q(40, 'q');
    const std::vector<MemoryFile> files = {Plain("a", "ab"), Plain("b", "ab"), Plain("c", q), Plain("d", q),
                                           Plain("e", std::string(40, 'z')), Plain("f", "ab")};
    for (const bool truncated : {true, false}) {
        SCOPED_TRACE(truncated);
        const Outcome outcome = Group(files, Content(truncated), false, 4);
        // Without it the files of two bytes are a set of their own, read before the stop.
        EXPECT_EQ((truncated ? Rows{0, 1} : Rows{0, 1, 5}), outcome.lists.content.rows);
        EXPECT_TRUE(outcome.lists.truncatedRows.empty());
    }
}

TEST(CompareEngine, ReadsEachFileOnceAndKeepsFewFilesOpen)
{
    std::vector<MemoryFile> files;
    for (int i = 0; i < 40; ++i) files.push_back(Plain("f", std::string(5000, static_cast<char>('a' + i % 4))));
    const FileRecords records = MakeRecords(files);
    MemorySource source(files);
    RecordingHost host;
    std::atomic<bool> stop{false};
    CompareLists lists;
    ContentLimits limits;
    limits.openFiles = 8;
    RunComparePhases(records, CountedOptions(Content()), source, host, stop, lists, limits);
    EXPECT_EQ(40u, lists.content.rows.size());
    EXPECT_EQ((Rows{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), Rows(lists.content.groups.begin(), lists.content.groups.begin() + 10));
    EXPECT_EQ(40, source.opens) << "one small set read in one piece per file";
    EXPECT_LE(source.mostOpen, 9);
}

// Sets larger than the open-file budget, of files that differ only at their
// end: pairs, a large run of equal files, single files and beginnings of
// them. Each file is opened at most three times, and the groups are those of
// the anchor scans, also when a file is gone by the time its bytes would be
// compared (the set is then read in step without it).
TEST(CompareEngine, LargeSetsOfLateDifferingFilesOpenEachFileAtMostThreeTimes)
{
    std::vector<MemoryFile> files;
    const std::string body(3000, 'r');
    for (int i = 0; i < 60; ++i) {
        const int tail = i < 20 ? i / 2 : (i < 35 ? 100 : i);  // pairs, a run of 15, singles
        files.push_back(Plain("f", body + std::to_string(1000 + tail)));
    }
    for (int i = 0; i < 8; ++i) files.push_back(Plain("f", files[i * 5].content.substr(0, 3000 + i % 4)));
    files[21].unopenable = true;
    const FileRecords records = MakeRecords(files);
    for (const bool truncated : {false, true}) {
        for (const bool vanishes : {false, true}) {
            SCOPED_TRACE(std::string(truncated ? "truncated" : "plain") + (vanishes ? ", 30 vanishes" : ""));
            std::vector<MemoryFile> seen = files;
            seen[30].unopenable = vanishes;
            CompareLists expected;
            {
                MemorySource source(seen);
                RecordingHost host;
                std::atomic<bool> stop{false};
                RunReferencePhases(records, CountedOptions(Content(truncated, true)), source, host, stop, expected, 5);
            }
            std::vector<MemoryFile> changing = files;
            MemorySource source(changing);
            int readsOf31 = 0;
            // Hashed one after another: 31 is read again right after 30 was hashed.
            source.onRead = [&](uint32_t record) {
                if (vanishes && record == 31 && ++readsOf31 == 2) changing[30].unopenable = true;
            };
            RecordingHost host;
            std::atomic<bool> stop{false};
            CompareLists lists;
            ContentLimits limits;
            limits.openFiles = 4;
            limits.firstPiece = 256;
            limits.largestChunk = 512;
            RunComparePhases(records, CountedOptions(Content(truncated, true)), source, host, stop, lists, limits);
            EXPECT_EQ(expected.content.rows, lists.content.rows);
            EXPECT_EQ(expected.content.groups, lists.content.groups);
            EXPECT_EQ(expected.truncatedRows, lists.truncatedRows);
            EXPECT_EQ(truncated ? 43u : 38u, lists.content.rows.size() + (vanishes ? 1 : 0));
            EXPECT_LE(source.mostOpen, 5);
            if (vanishes) continue;
            EXPECT_LE(source.opens, 3 * 68);
            // Progress follows the bytes: it rises through the reading, never
            // falls, and reaches 100 only at the end.
            EXPECT_TRUE(std::is_sorted(host.progress.begin(), host.progress.end()));
            EXPECT_GT(host.progress.size(), 20u);
            EXPECT_EQ(100, host.progress.back());
            EXPECT_EQ(1, std::count(host.progress.begin(), host.progress.end(), 100));
            // Files count as their reading ends, not only when their set does.
            EXPECT_TRUE(std::is_sorted(host.filesDone.begin(), host.filesDone.end()));
            EXPECT_TRUE(std::any_of(host.filesDone.begin(), host.filesDone.end(),
                                    [&](uint64_t done) { return done > 0 && done < host.last.files; }));
            EXPECT_EQ(host.last.files, host.last.filesDone);
            EXPECT_EQ(host.last.bytes, host.last.bytesDone);
        }
    }
}

// A stop requested as an unopenable file is reported (a Cancel then, or the
// error log full) ends the phase there: no further row, nor one more "Too
// many errors!", for each further file of the set that cannot be opened.
TEST(CompareEngine, StopOnAnUnopenableFileEndsThePhaseThere)
{
    std::vector<MemoryFile> files = {Plain("a", "abc"), Plain("b", "abc"), Plain("c", "abc"), Plain("d", "abc")};
    for (int f = 0; f < 3; ++f) files[f].unopenable = true;
    const FileRecords records = MakeRecords(files);
    MemorySource source(files);
    std::atomic<bool> stop{false};
    struct StoppingHost : RecordingHost {
        explicit StoppingHost(std::atomic<bool>& flag) : stop(flag) {}
        void AddCompareErrorEntry(const std::string& path, uint32_t code) override
        {
            RecordingHost::AddCompareErrorEntry(path, code);
            stop.store(true);
        }
        std::atomic<bool>& stop;
    } host(stop);
    CompareLists lists;
    RunComparePhases(records, CountedOptions(Content()), source, host, stop, lists);
    EXPECT_EQ((std::vector<std::string>{"/m/a"}), host.errors);
    EXPECT_FALSE(stop.load());
    EXPECT_TRUE(lists.content.rows.empty());
}

TEST(CompareEngine, NoFilesGiveEmptyLists)
{
    CompareOptions o = Content(true, true);
    o.matchName = o.matchSize = o.combinedResult = true;
    const Outcome outcome = Group({}, o, false);
    EXPECT_TRUE(outcome.lists.content.rows.empty() && outcome.lists.name.rows.empty() &&
                outcome.lists.size.rows.empty() && outcome.lists.combined.rows.empty() &&
                outcome.lists.zeroSizeRows.empty() && outcome.lists.truncatedRows.empty());
}

}  // namespace
}  // namespace tolvane::test
