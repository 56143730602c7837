#include "common/result_list.h"

#include <algorithm>
#include <utility>

namespace tolvane {

void ResultList::DeleteRows(const std::vector<bool>& remove)
{
    // From the bottom up, so the rows still to visit keep their positions.
    const int last = std::min(RowCount(), static_cast<int>(remove.size())) - 1;
    for (int row = last; row >= 0; --row)
        if (remove[static_cast<size_t>(row)]) DeleteRow(row);
}

int MemoryResultList::StateImage(int row) const
{
    if (row < 0 || row >= RowCount()) return StateImageNone;
    return rows_[static_cast<size_t>(row)].stateImage;
}

void MemoryResultList::SetStateImage(int row, int index)
{
    if (row < 0 || row >= RowCount()) return;
    rows_[static_cast<size_t>(row)].stateImage = index;
}

const std::string& MemoryResultList::Cell(int row, int column) const
{
    static const std::string empty;
    if (row < 0 || row >= RowCount() || column < 0) return empty;
    const auto& cells = rows_[static_cast<size_t>(row)].cells;
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : empty;
}

std::string MemoryResultList::CellText(int row, int column, size_t bufferSize) const
{
    if (bufferSize == 0) return {};
    const std::string& text = Cell(row, column);
    return text.substr(0, bufferSize - 1);
}

void MemoryResultList::SetCellText(int row, int column, std::string_view text)
{
    if (row < 0 || row >= RowCount() || column < 0) return;
    auto& cells = rows_[static_cast<size_t>(row)].cells;
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = std::string(text);
}

void MemoryResultList::InsertRow(int row)
{
    const size_t position = row < 0 || row >= RowCount() ? rows_.size() : static_cast<size_t>(row);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position),
                 Row{checkBoxes_ ? StateImageUnmarked : StateImageNone, {}});
}

void MemoryResultList::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount()) return;
    rows_.erase(rows_.begin() + row);
}

void MemoryResultList::DeleteRows(const std::vector<bool>& remove)
{
    size_t write = 0;
    for (size_t read = 0; read < rows_.size(); ++read) {
        if (read < remove.size() && remove[read]) continue;
        if (write != read) rows_[write] = std::move(rows_[read]);
        ++write;
    }
    rows_.resize(write);
}

}  // namespace tolvane
