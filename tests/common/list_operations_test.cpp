#include "common/list_operations.h"
#include "common/size_date_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace tolvane {
namespace {

using Cells = std::vector<std::string>;

// Row r shows record r: column 0 holds the record number, the Group column
// the given group text. The rows are given their texts, or (recordRows) drawn
// from records named by their numbers, as the pages' lists are; a group text
// that is no plain number is then set as the row's own text.
struct TestList {
    MemoryResultList list;
    FileRecords records;
    RowIndex index;
    ActionTarget target;

    explicit TestList(const Cells& groups, bool recordRows = false)
    {
        std::vector<uint32_t> numbers;
        for (size_t r = 0; r < groups.size(); ++r) {
            index.push_back(static_cast<uint32_t>(r));
            FindData entry;
            std::snprintf(entry.cFileName, sizeof entry.cFileName, "%zu", r);
            records.Add("/", entry);
            numbers.push_back(static_cast<uint32_t>(std::atoi(groups[r].c_str())));
            if (recordRows) continue;
            list.InsertRow(static_cast<int>(r));
            list.SetCellText(static_cast<int>(r), 0, std::to_string(r));
            list.SetCellText(static_cast<int>(r), GroupColumn, groups[r]);
        }
        if (recordRows) {
            list.AppendRecordRows(records, index, &numbers, {RecordCell::Name, RecordCell::Group});
            for (size_t r = 0; r < groups.size(); ++r)
                if (std::to_string(numbers[r]) != groups[r]) list.SetCellText(static_cast<int>(r), GroupColumn, groups[r]);
        }
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }
    Cells Column(int column) const
    {
        Cells cells;
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
}

TEST(Marking, AllButFirstLeavesTheFirstRowOfEachGroup)
{
    const struct {
        Cells groups;
        std::vector<int> states;
    } cases[] = {
        {{"1", "1", "2", "3", "3", "3"}, {U, M, U, U, M, M}},
        {{"0", "0", "5"}, {U, M, U}},  // a 0 at the top is no continuation of a group above the list
        {{"10", "0:", "10", "10"}, {U, U, U, M}},  // read digit by digit, "0:" would be 10
    };
    for (const auto& c : cases) {
        for (bool recordRows : {false, true}) {
            TestList t(c.groups, recordRows);
            MarkAll(t.list);  // earlier marks are overwritten
            t.list.SetStateImage(1, U);
            MarkAllButFirst(t.list);
            EXPECT_EQ(t.States(), c.states) << c.groups[0] << "," << c.groups[1];
        }
    }
}

// A row that shows a record keeps only its numbers and mark; its cells are
// the record's, and become its own when one of them is set.
TEST(RecordRows, CellsComeFromTheRecordUntilOneIsSet)
{
    TestList t({"7", "7", "8"}, true);
    FileRecords others;
    FindData entry;
    std::snprintf(entry.cFileName, sizeof entry.cFileName, "other");
    entry.SetSize(2048);
    others.Add("/elsewhere/", entry);
    t.list.AppendRecordRows(others, {0}, nullptr, {RecordCell::Folder, RecordCell::Name, RecordCell::Size, RecordCell::SizeBytes});
    EXPECT_EQ(t.Column(0), (Cells{"0", "1", "2", "/elsewhere/"})) << "earlier rows keep what they showed";
    EXPECT_EQ(t.Column(GroupColumn), (Cells{"7", "7", "8", "other"}));
    EXPECT_EQ(t.list.Cell(3, 2), SizeText(2048, false));
    EXPECT_EQ(t.list.CellText(3, 3, 3), "20") << "cut to the buffer";
    EXPECT_EQ(t.list.StateImage(3), U);

    t.list.SetCellText(1, GroupColumn, "9");
    t.list.SetCellText(1, 0, "renamed");
    t.list.DeleteRows({true});
    EXPECT_EQ(t.Column(0), (Cells{"renamed", "2", "/elsewhere/"}));
    EXPECT_EQ(t.Column(GroupColumn), (Cells{"9", "8", "other"}));
    EXPECT_LE(MemoryResultList::RowBytes(), 32u) << "a row costs little beside its record";

    // Typing a name's first letters: from the row after the focus, wrapping.
    EXPECT_EQ(t.list.FindRow("REN", true, 1, true), 0);
    EXPECT_EQ(t.list.FindRow("REN", true, 1, false), -1);
    EXPECT_EQ(t.list.FindRow("/else", true, 0, false), 2);
    EXPECT_EQ(t.list.FindRow("/else", false, 0, true), -1) << "a whole text asked for";
}

TEST(GroupCell, OnlyDigitStringsOfTheFirstNineCharactersAreNumbers)
{
    EXPECT_EQ(ParseGroupCell("120"), 120);
    EXPECT_EQ(ParseGroupCell("1234567890"), 123456789);  // the tenth character is never read
    EXPECT_EQ(ParseGroupCell("000000012"), 12);
    for (const char* text : {"", "1x", "-1", " 1", "1 ", "0:", "/"}) EXPECT_EQ(ParseGroupCell(text), NotAGroupNumber) << text;
}

TEST(Groups, RenumberWritesOneTwoThreeFromTheTop)
{
    for (const auto& [groups, renumbered] : {std::pair<Cells, Cells>{{"4", "4", "9", "12", "12"}, {"1", "1", "2", "3", "3"}},
                                             {{"00", "00", "5"}, {"1", "1", "2"}}}) {
        for (bool recordRows : {false, true}) {
            TestList t(groups, recordRows);
            RenumberGroups(t.list);
            EXPECT_EQ(t.Column(GroupColumn), renumbered) << groups[0];
        }
    }
}

TEST(Groups, PruneDeletesEveryRowLeftAloneInItsGroup)
{
    const struct {
        Cells groups, records, renumbered;
    } cases[] = {
        {{"1", "1", "2", "3", "4", "4"}, {"0", "1", "4", "5"}, {"1", "1", "2", "2"}},
        {{"5"}, {}, {}},
        {{"0"}, {}, {}},
        {{"1", "2", "2"}, {"1", "2"}, {"1", "1"}},
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        for (bool recordRows : {false, true}) {
            TestList t(c.groups, recordRows);
            PruneLoneGroups(t.target);
            EXPECT_EQ(t.Column(0), c.records) << c.groups.size() << " rows";
            EXPECT_EQ(t.Column(GroupColumn), c.renumbered) << c.groups.size() << " rows";
            t.ExpectIndexMatchesRows();
        }
    }
}

TEST(RowIndexCompaction, SqueezesOutRemovedEntriesInOrder)
{
    TestList t({"", "", "", "", ""});
    for (int row : {3, 1}) {
        t.list.DeleteRow(row);
        t.index[static_cast<size_t>(row)] = RemovedMarker;
    }
    CompactRowIndex(t.target);
    EXPECT_EQ(t.index, (RowIndex{0, 2, 4}));
    t.ExpectIndexMatchesRows();

    // An index that lost step with its list is never read beyond its end.
    t.index = {RemovedMarker, 7};
    CompactRowIndex(t.target);
    EXPECT_EQ(t.index, (RowIndex{7}));
}

// Removes rows the way the file actions do (entry set to the removed marker,
// then all deleted in one pass), checking after each pass, and after pruning,
// against a model of the surviving groups.
TEST(RowIndexCompaction, RowsKeepTheirRecordsThroughRandomDeletionsAndPruning)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        Cells groups;
        const int groupCount = std::uniform_int_distribution<int>(0, 12)(random);
        for (int g = 1; g <= groupCount; ++g)
            groups.insert(groups.end(), std::uniform_int_distribution<size_t>(1, 4)(random), std::to_string(g * 3));
        TestList t(groups, round % 2 == 1);

        for (int pass = 0; pass < 3; ++pass) {
            for (int row = t.list.RowCount() - 1; row >= 0; --row) {
                if (std::uniform_int_distribution<int>(0, 3)(random) != 0) continue;
                t.index[static_cast<size_t>(row)] = RemovedMarker;
                groups.erase(groups.begin() + row);
            }
            DeleteRemovedRows(t.target);
            ASSERT_NO_FATAL_FAILURE(t.ExpectIndexMatchesRows()) << "round " << round;
        }

        Cells kept;  // rows of runs longer than one, renumbered
        int number = 0;
        for (size_t i = 0, end = 0; i < groups.size(); i = end) {
            for (end = i; end < groups.size() && groups[end] == groups[i];) ++end;
            if (end - i > 1) kept.insert(kept.end(), end - i, std::to_string(++number));
        }
        PruneLoneGroups(t.target);
        ASSERT_NO_FATAL_FAILURE(t.ExpectIndexMatchesRows()) << "round " << round;
        ASSERT_EQ(t.Column(GroupColumn), kept) << "round " << round;
    }
}

}  // namespace
}  // namespace tolvane
