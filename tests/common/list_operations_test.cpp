#include "common/list_operations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <tuple>

#include "support/temp_folder.h"

namespace tolvane {
namespace {

// Row r shows record r (named "r" in column 0) with these Group texts, as its own cells or (recordRows)
// drawn from the records as the pages do; a text that is no plain number is then set over the record's.
struct TestList {
    MemoryResultList list;
    FileRecords records;
    RowIndex index;
    ActionTarget target;

    explicit TestList(const std::string& groupText, bool recordRows = false)
    {
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
        std::istringstream words(groupText);
        std::vector<std::string> groups;
        std::vector<uint32_t> numbers;
        for (std::string group; words >> group;) {
            records.Add("/", test::NamedEntry(std::to_string(index.size())));
            index.push_back(static_cast<uint32_t>(index.size()));
            numbers.push_back(static_cast<uint32_t>(std::atoi(group.c_str())));
            groups.push_back(group);
        }
        if (recordRows) list.AppendRecordRows(records, index, &numbers, {RecordCell::Name, RecordCell::Group});
        for (int r = 0; r < static_cast<int>(groups.size()); ++r) {
            if (!recordRows) {
                list.InsertRow(r);
                list.SetCellText(r, 0, std::to_string(r));
            }
            if (!recordRows || std::to_string(numbers[r]) != groups[r]) list.SetCellText(r, GroupColumn, groups[r]);
        }
    }
    // A column's cells, or (column -1) the rows' state images, space-separated.
    std::string Show(int column) const
    {
        std::string shown;
        for (int r = 0; r < list.RowCount(); ++r)
            shown += (r ? " " : "") + (column < 0 ? std::to_string(list.StateImage(r)) : list.Cell(r, column));
        return shown;
    }
};

// Marking all shows in the fault suite's actions, marking none in Mark by path with no folder chosen.
TEST(Marking, InvertSetsOnlyTheTwoCheckBoxStates)
{
    TestList t("1 2 3");
    t.list.SetStateImage(0, StateImageNone);  // any index but 1 counts as marked
    t.list.SetStateImage(1, StateImageMarked);
    InvertMarks(t.list);
    EXPECT_EQ(t.Show(-1), "1 1 2");
}

// A row drawn from a record shows the record's cells until one of its own is set.
TEST(RecordRows, CellsComeFromTheRecordUntilOneIsSet)
{
    TestList t("7 7 8", true);
    FileRecords others;
    others.Add("/elsewhere/", test::NamedEntry("other", 2048));
    const RecordColumns cells = {RecordCell::Folder, RecordCell::Name, RecordCell::SizeBytes};
    t.list.AppendRecordRows(others, {0}, nullptr, cells);
    EXPECT_EQ(t.Show(0) + " " + t.Show(-1), "0 1 2 /elsewhere/ 1 1 1 1");
    EXPECT_EQ(t.list.CellText(3, 2, 3), "20") << "cut to the buffer";

    t.list.SetCellText(1, GroupColumn, "9");
    t.list.SetCellText(1, 0, "renamed");
    t.list.DeleteRows({true});
    EXPECT_EQ(t.Show(0) + " | " + t.Show(GroupColumn), "renamed 2 /elsewhere/ | 9 8 other");
    EXPECT_LE(MemoryResultList::RowBytes(), 32u) << "a row costs little beside its record";

    // Typing a name's first letters: from the row after the focus, wrapping; or a whole text.
    const MemoryResultList& l = t.list;
    EXPECT_EQ(std::tuple(l.FindRow("REN", true, 1, true), l.FindRow("REN", true, 1, false)), std::tuple(0, -1));
    EXPECT_EQ(std::tuple(l.FindRow("/else", true, 0, false), l.FindRow("/else", false, 0, true)), std::tuple(2, -1));
}

// Marks: all but the first row of each group, over earlier marks. A 0 at the
// top continues no group above the list; read digit by digit "0:" would be 10.
TEST(Groups, MarkAllButFirstRenumberAndPruneEveryRowLeftAloneInItsGroup)
{
    // Only digit strings of the first nine characters are numbers.
    EXPECT_EQ(ParseGroupCell("1234567890"), 123456789);  // the tenth character is never read
    EXPECT_EQ(ParseGroupCell("000000012"), 12);
    for (const char* text : {"", "1x", " 1", "0:", "/"}) EXPECT_EQ(ParseGroupCell(text), NotAGroupNumber) << text;
    const struct { const char *groups, *marks, *renumbered, *prunedRecords, *prunedGroups; } cases[] = {
        {"4 4 9 12 12", "1 2 1 1 2", "1 1 2 3 3", "0 1 3 4", "1 1 2 2"},
        {"00 00 5", "1 2 1", "1 1 2", "0 1", "1 1"},
        {"10 0: 10 10", "1 1 1 2", "1 2 3 3", "2 3", "1 1"},
        {"1 2 2", "1 1 2", "1 2 2", "1 2", "1 1"},
        {"0", "1", "1", "", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases)
        for (bool recordRows : {false, true}) {
            TestList mark(c.groups, recordRows), renumber(c.groups, recordRows), prune(c.groups, recordRows);
            MarkAll(mark.list);
            if (mark.list.RowCount() > 1) mark.list.SetStateImage(1, StateImageUnmarked);
            MarkAllButFirst(mark.list);
            EXPECT_EQ(mark.Show(-1), c.marks) << c.groups << recordRows;
            RenumberGroups(renumber.list);
            EXPECT_EQ(renumber.Show(GroupColumn), c.renumbered) << c.groups << recordRows;
            PruneLoneGroups(prune.target);
            const std::string pruned = std::string(c.prunedRecords) + " | " + c.prunedGroups;
            EXPECT_EQ(prune.Show(0) + " | " + prune.Show(GroupColumn), pruned) << c.groups << recordRows;
        }
}

// The file action tests remove rows through the index as the actions do; here only the index's own guard.
TEST(RowIndexCompaction, AnIndexOutOfStepWithItsListIsNeverReadPastItsEnd)
{
    TestList t("0 1 2");
    t.index = {RemovedMarker, 7};
    CompactRowIndex(t.target);
    EXPECT_EQ(t.index, (RowIndex{7}));
}

}  // namespace
}  // namespace tolvane
