#include "common/list_operations.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tolvane {
namespace {

// A list whose row r shows record r: column 0 holds the record number, column
// 1 the group number (when groups are given).
struct TestList {
    MemoryResultList list;
    RowIndex index;
    ActionTarget target;

    explicit TestList(const std::vector<std::string>& groups)
    {
        for (size_t r = 0; r < groups.size(); ++r) {
            list.InsertRow(static_cast<int>(r));
            list.SetCellText(static_cast<int>(r), 0, std::to_string(r));
            list.SetCellText(static_cast<int>(r), GroupColumn, groups[r]);
            index.push_back(static_cast<uint32_t>(r));
        }
        target.list = &list;
        target.rowIndex = &index;
    }

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> cells;
        for (int r = 0; r < list.RowCount(); ++r) cells.push_back(list.Cell(r, column));
        return cells;
    }
    std::vector<int> States() const
    {
        std::vector<int> states;
        for (int r = 0; r < list.RowCount(); ++r) states.push_back(list.StateImage(r));
        return states;
    }
    // Row k shows record index[k] and every row has exactly one entry.
    void ExpectIndexMatchesRows() const
    {
        ASSERT_EQ(index.size(), static_cast<size_t>(list.RowCount()));
        for (int k = 0; k < list.RowCount(); ++k) EXPECT_EQ(list.Cell(k, 0), std::to_string(index[k])) << "row " << k;
    }
};

constexpr int U = StateImageUnmarked;
constexpr int M = StateImageMarked;

TEST(Marking, AllNoneAndInvertSetOnlyTheTwoCheckBoxStates)
{
    TestList t({"", "", "", ""});
    t.list.SetStateImage(0, StateImageNone);
    t.list.SetStateImage(1, M);
    t.list.SetStateImage(3, 3);  // any index but 1 counts as marked
    InvertMarks(t.list);
    EXPECT_EQ(t.States(), (std::vector<int>{U, U, M, U}));

    MarkAll(t.list);
    EXPECT_EQ(t.States(), (std::vector<int>{M, M, M, M}));
    MarkNone(t.list);
    EXPECT_EQ(t.States(), (std::vector<int>{U, U, U, U}));

    MemoryResultList empty;
    MarkAll(empty);
    InvertMarks(empty);
    MarkAllButFirst(empty);
    RenumberGroups(empty);
    EXPECT_EQ(empty.RowCount(), 0);
}

TEST(Marking, AllButFirstLeavesTheFirstRowOfEachGroupAndOverwritesEarlierMarks)
{
    TestList t({"1", "1", "2", "3", "3", "3"});
    MarkAll(t.list);
    t.list.SetStateImage(1, U);
    MarkAllButFirst(t.list);
    EXPECT_EQ(t.States(), (std::vector<int>{U, M, U, U, M, M}));
}

TEST(GroupCell, OnlyDigitStringsOfTheFirstNineCharactersAreNumbers)
{
    EXPECT_EQ(ParseGroupCell("7"), 7);
    EXPECT_EQ(ParseGroupCell("120"), 120);
    EXPECT_EQ(ParseGroupCell("123456789"), 123456789);
    EXPECT_EQ(ParseGroupCell("1234567890"), 123456789);  // the tenth character is never read
    EXPECT_EQ(ParseGroupCell("000000012"), 12);
    for (const char* text : {"", "1x", "-1", " 1", "1 ", "0:", "/"}) EXPECT_EQ(ParseGroupCell(text), NotAGroupNumber) << text;

    // Read digit by digit, "0:" would equal 10 and join the group above it.
    TestList t({"10", "0:", "10", "10"});
    MarkAllButFirst(t.list);
    EXPECT_EQ(t.States(), (std::vector<int>{U, U, U, M}));
    EXPECT_EQ(GroupNumber(t.list, 1), NotAGroupNumber);
}

// A group cell reading 0 at the top once counted as the continuation of a
// group above the list: its row was marked along with every other copy.
TEST(Groups, TheTopRowStartsAGroupWhateverItsCellReads)
{
    TestList marked({"0", "0", "5"});
    MarkAllButFirst(marked.list);
    EXPECT_EQ(marked.States(), (std::vector<int>{U, M, U}));

    TestList renumbered({"00", "00", "5"});
    RenumberGroups(renumbered.list);
    EXPECT_EQ(renumbered.Column(GroupColumn), (std::vector<std::string>{"1", "1", "2"}));

    TestList pruned({"0"});
    PruneLoneGroups(pruned.target);
    EXPECT_EQ(pruned.list.RowCount(), 0);
    pruned.ExpectIndexMatchesRows();
}

TEST(RowIndexCompaction, SqueezesOutRemovedEntriesInOrder)
{
    TestList t({"", "", "", "", ""});
    t.list.DeleteRow(3);
    t.index[3] = RemovedMarker;
    t.list.DeleteRow(1);
    t.index[1] = RemovedMarker;
    CompactRowIndex(t.target);
    EXPECT_EQ(t.index, (RowIndex{0, 2, 4}));
    t.ExpectIndexMatchesRows();

    // An index that lost step with its list is never read beyond its end.
    t.index = {RemovedMarker, 7};
    CompactRowIndex(t.target);
    EXPECT_EQ(t.index, (RowIndex{7}));
}

TEST(Groups, RenumberWritesOneTwoThreeFromTheTop)
{
    TestList t({"4", "4", "9", "12", "12"});
    RenumberGroups(t.list);
    EXPECT_EQ(t.Column(GroupColumn), (std::vector<std::string>{"1", "1", "2", "3", "3"}));
}

TEST(Groups, PruneDeletesEveryRowLeftAloneInItsGroup)
{
    TestList t({"1", "1", "2", "3", "4", "4"});
    PruneLoneGroups(t.target);
    EXPECT_EQ(t.Column(0), (std::vector<std::string>{"0", "1", "4", "5"}));
    EXPECT_EQ(t.Column(GroupColumn), (std::vector<std::string>{"1", "1", "2", "2"}));
    t.ExpectIndexMatchesRows();

    const struct {
        std::vector<std::string> groups;
        std::vector<std::string> records;
    } cases[] = {
        {{"5"}, {}},
        {{"1", "2", "2"}, {"1", "2"}},  // lone first row
    };
    for (const auto& c : cases) {
        TestList p(c.groups);
        PruneLoneGroups(p.target);
        EXPECT_EQ(p.Column(0), c.records) << c.groups.size() << " rows starting " << c.groups[0];
        p.ExpectIndexMatchesRows();
    }

    TestList empty({});
    PruneLoneGroups(empty.target);
    EXPECT_TRUE(empty.index.empty());
}

// Deletes rows the way the file actions do (last to first, entry set to the
// removed marker) and checks after each compaction, and after pruning a
// grouped list, that every row still finds its own record.
TEST(RowIndexCompaction, RowsKeepTheirRecordsThroughRandomDeletionsAndPruning)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> groups;
        const int groupCount = std::uniform_int_distribution<int>(0, 12)(random);
        for (int g = 1; g <= groupCount; ++g) {
            const int size = std::uniform_int_distribution<int>(1, 4)(random);
            for (int i = 0; i < size; ++i) groups.push_back(std::to_string(g * 3));
        }
        TestList t(groups);
        std::vector<std::string> expectedGroups = groups;  // group of each surviving row, as a model

        for (int pass = 0; pass < 3; ++pass) {
            for (int row = t.list.RowCount() - 1; row >= 0; --row) {
                if (std::uniform_int_distribution<int>(0, 3)(random) != 0) continue;
                t.list.DeleteRow(row);
                t.index[static_cast<size_t>(row)] = RemovedMarker;
                expectedGroups.erase(expectedGroups.begin() + row);
            }
            CompactRowIndex(t.target);
            ASSERT_NO_FATAL_FAILURE(t.ExpectIndexMatchesRows()) << "round " << round;
        }

        std::vector<std::string> kept;  // rows of runs longer than one, renumbered
        int number = 0;
        for (size_t i = 0; i < expectedGroups.size();) {
            size_t end = i;
            while (end < expectedGroups.size() && expectedGroups[end] == expectedGroups[i]) ++end;
            if (end - i > 1) {
                ++number;
                kept.insert(kept.end(), end - i, std::to_string(number));
            }
            i = end;
        }
        PruneLoneGroups(t.target);
        ASSERT_NO_FATAL_FAILURE(t.ExpectIndexMatchesRows()) << "round " << round;
        ASSERT_EQ(t.Column(GroupColumn), kept) << "round " << round;
    }
}

}  // namespace
}  // namespace tolvane
