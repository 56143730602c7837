#include "common/list_operations.h"

#include <algorithm>
#include <string>
#include <vector>

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

namespace {

void MarkEveryRow(ResultList& list, int image)
{
    const int rowCount = list.RowCount();
    if (rowCount > 0) list.SetStateImages(std::vector<uint8_t>(static_cast<size_t>(rowCount), static_cast<uint8_t>(image)));
}

}  // namespace

void MarkAll(ResultList& list) { MarkEveryRow(list, StateImageMarked); }

void MarkNone(ResultList& list) { MarkEveryRow(list, StateImageUnmarked); }

void InvertMarks(ResultList& list)
{
    const int rowCount = list.RowCount();
    if (rowCount == 0) return;
    std::vector<uint8_t> images(static_cast<size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row)
        images[static_cast<size_t>(row)] = list.StateImage(row) == StateImageUnmarked ? StateImageMarked : StateImageUnmarked;
    list.SetStateImages(images);
}

void MarkAllButFirst(ResultList& list)
{
    const int rowCount = list.RowCount();
    if (rowCount == 0) return;
    std::vector<uint8_t> images(static_cast<size_t>(rowCount));
    int previousGroup = 0;
    for (int row = 0; row < rowCount; ++row) {
        const int group = GroupNumber(list, row);
        // The top row always starts a group, whatever its cell reads: a cell
        // reading 0 must not get every copy of a file marked.
        if (row > 0 && group == previousGroup) {
            images[static_cast<size_t>(row)] = StateImageMarked;
        } else {
            images[static_cast<size_t>(row)] = StateImageUnmarked;
            previousGroup = group;
        }
    }
    list.SetStateImages(images);
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

void DeleteRemovedRows(ActionTarget& target)
{
    if (!target.list || !target.rowIndex) return;
    const RowIndex& index = *target.rowIndex;
    const size_t rowCount = static_cast<size_t>(target.list->RowCount());
    std::vector<bool> remove(std::min(rowCount, index.size()));
    bool any = false;
    for (size_t row = 0; row < remove.size(); ++row) {
        remove[row] = index[row] == RemovedMarker;
        any = any || remove[row];
    }
    if (any) target.list->DeleteRows(remove);
    CompactRowIndex(target);
}

void DeleteRecordRows(ActionTarget& target, const std::vector<uint32_t>& removedRecords)
{
    if (!target.list || !target.rowIndex || !target.records || removedRecords.empty()) return;
    std::vector<bool> removed(target.records->Count());
    for (uint32_t record : removedRecords)
        if (record < removed.size()) removed[record] = true;
    RowIndex& index = *target.rowIndex;
    const size_t rowCount = std::min(index.size(), static_cast<size_t>(target.list->RowCount()));
    bool any = false;
    for (size_t row = 0; row < rowCount; ++row) {
        if (index[row] >= removed.size() || !removed[index[row]]) continue;
        index[row] = RemovedMarker;
        any = true;
    }
    if (!any) return;
    DeleteRemovedRows(target);
    if (target.groupedList) PruneLoneGroups(target);
}

void PruneLoneGroups(ActionTarget& target)
{
    if (!target.list || !target.rowIndex) return;
    ResultList& list = *target.list;
    RowIndex& index = *target.rowIndex;
    const int rowCount = list.RowCount();
    if (rowCount == 0) return;

    // Marks the single row of each run of equal group numbers as removed, then
    // closes all the gaps in one pass.
    int runStart = 0;
    int runGroup = GroupNumber(list, 0);
    const auto closeRun = [&index, &runStart](int endRow) {
        if (endRow - runStart == 1 && static_cast<size_t>(runStart) < index.size())
            index[static_cast<size_t>(runStart)] = RemovedMarker;
    };
    for (int row = 1; row < rowCount; ++row) {
        const int group = GroupNumber(list, row);
        if (group == runGroup) continue;
        closeRun(row);
        runStart = row;
        runGroup = group;
    }
    closeRun(rowCount);
    DeleteRemovedRows(target);
    RenumberGroups(list);
}

void RenumberGroups(ResultList& list)
{
    const int rowCount = list.RowCount();
    if (rowCount == 0) return;
    // The top row always starts the first group, whatever its cell reads.
    std::vector<uint32_t> numbers(static_cast<size_t>(rowCount));
    uint32_t newNumber = 0;
    int previousGroup = 0;
    for (int row = 0; row < rowCount; ++row) {
        const int group = GroupNumber(list, row);
        if (row == 0 || group != previousGroup) {
            ++newNumber;
            previousGroup = group;
        }
        numbers[static_cast<size_t>(row)] = newNumber;
    }
    list.SetNumberCells(GroupColumn, numbers);
}

}  // namespace tolvane
