#include "common/list_operations.h"

#include <string>

namespace tolvane {

int ParseGroupCell(std::string_view text)
{
    text = text.substr(0, GroupCellBufferSize - 1);
    if (text.empty()) return NotAGroupNumber;
    // Digits from the last character backwards, times 1, 10, 100 ...
    int value = 0;
    int placeValue = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it < '0' || *it > '9') return NotAGroupNumber;
        value += (*it - '0') * placeValue;
        placeValue *= 10;
    }
    return value;
}

int GroupNumber(const ResultList& list, int row)
{
    return ParseGroupCell(list.CellText(row, GroupColumn, GroupCellBufferSize));
}

void MarkAll(ResultList& list)
{
    for (int row = list.RowCount() - 1; row >= 0; --row) list.SetStateImage(row, StateImageMarked);
}

void MarkNone(ResultList& list)
{
    for (int row = list.RowCount() - 1; row >= 0; --row) list.SetStateImage(row, StateImageUnmarked);
}

void InvertMarks(ResultList& list)
{
    for (int row = list.RowCount() - 1; row >= 0; --row) {
        const bool unmarked = list.StateImage(row) == StateImageUnmarked;
        list.SetStateImage(row, unmarked ? StateImageMarked : StateImageUnmarked);
    }
}

void MarkAllButFirst(ResultList& list)
{
    int previousGroup = 0;
    const int rowCount = list.RowCount();
    for (int row = 0; row < rowCount; ++row) {
        const int group = GroupNumber(list, row);
        // The top row always starts a group, whatever its cell reads: a cell
        // reading 0 must not get every copy of a file marked.
        if (row > 0 && group == previousGroup) {
            list.SetStateImage(row, StateImageMarked);
        } else {
            list.SetStateImage(row, StateImageUnmarked);
            previousGroup = group;
        }
    }
}

void CompactRowIndex(ActionTarget& target)
{
    if (!target.list || !target.rowIndex) return;
    RowIndex& index = *target.rowIndex;
    const size_t rowCount = static_cast<size_t>(target.list->RowCount());
    size_t write = 0;
    // The read position also stops at the end of the index, so an index that
    // lost step with its list is never read beyond its end.
    for (size_t read = 0; write < rowCount && read < index.size(); ++read) {
        if (index[read] == RemovedMarker) continue;
        if (write != read) index[write] = index[read];
        ++write;
    }
    index.resize(write);
}

namespace {

// Deletes a row and marks its index entry as removed, keeping the two in step.
void RemoveRow(ActionTarget& target, int row)
{
    target.list->DeleteRow(row);
    RowIndex& index = *target.rowIndex;
    if (static_cast<size_t>(row) < index.size()) index[static_cast<size_t>(row)] = RemovedMarker;
}

}  // namespace

void PruneLoneGroups(ActionTarget& target)
{
    if (!target.list || !target.rowIndex) return;
    ResultList& list = *target.list;
    if (list.RowCount() == 0) return;

    // From the bottom up, so that a deletion only ever happens at or below the
    // row being visited and the rows still to visit keep their positions.
    int runLength = 0;
    int previousGroup = 0;
    const int lastRow = list.RowCount() - 1;
    for (int row = lastRow; row >= 0; --row) {
        const int group = GroupNumber(list, row);
        if (row < lastRow && group == previousGroup) {
            ++runLength;
            continue;
        }
        if (runLength == 1) RemoveRow(target, row + 1);
        // Row 0 starts a run with nothing above it: it stands alone.
        if (row == 0) RemoveRow(target, 0);
        runLength = 1;
        previousGroup = group;
    }
    CompactRowIndex(target);
    RenumberGroups(list);
}

void RenumberGroups(ResultList& list)
{
    int newNumber = 0;
    int runLength = 0;
    int previousGroup = 0;
    const auto writeRun = [&list](int endRow, int length, int number) {
        const std::string text = std::to_string(number);
        for (int row = endRow - length; row < endRow; ++row) list.SetCellText(row, GroupColumn, text);
    };

    const int rowCount = list.RowCount();
    for (int row = 0; row < rowCount; ++row) {
        const int group = GroupNumber(list, row);
        if (row > 0 && group == previousGroup) {
            ++runLength;
            continue;
        }
        writeRun(row, runLength, newNumber);
        ++newNumber;
        runLength = 1;
        previousGroup = group;
    }
    writeRun(rowCount, runLength, newNumber);
}

}  // namespace tolvane
