#include "common/result_list.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include "common/case_folding.h"
#include "common/size_date_text.h"

namespace tolvane {

std::string RecordCellText(RecordCell cell, const FileRecord& record, uint32_t group)
{
    switch (cell) {
    case RecordCell::Empty: break;
    case RecordCell::Group: return std::to_string(group);
    case RecordCell::Name: return std::string(record.fileName);
    case RecordCell::Folder: return std::string(record.folderPath);
    case RecordCell::Size: return SizeText(record.size, false);
    case RecordCell::SizeBytes: return SizeText(record.size, true);
    case RecordCell::Modified: return FileTimeText(record.modifiedTime);
    case RecordCell::Created: return FileTimeText(record.createdTime);
    }
    return {};
}

void ResultList::DeleteRows(const std::vector<bool>& remove)
{
    // From the bottom up, so the rows still to visit keep their positions.
    const int last = std::min(RowCount(), static_cast<int>(remove.size())) - 1;
    for (int row = last; row >= 0; --row)
        if (remove[static_cast<size_t>(row)]) DeleteRow(row);
}

void ResultList::AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                                  const std::vector<uint32_t>* groups, const RecordColumns& columns)
{
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = RowCount();
        const FileRecord record = records[rows[r]];
        const uint32_t group = groups && r < groups->size() ? (*groups)[r] : 0;
        InsertRow(row);
        for (size_t column = 0; column < columns.size(); ++column) {
            if (columns[column] == RecordCell::Empty) continue;
            SetCellText(row, static_cast<int>(column), RecordCellText(columns[column], record, group));
        }
    }
}

void ResultList::SetStateImages(const std::vector<uint8_t>& images)
{
    const int count = std::min(RowCount(), static_cast<int>(images.size()));
    for (int row = 0; row < count; ++row) SetStateImage(row, images[static_cast<size_t>(row)]);
}

void ResultList::SetNumberCells(int column, const std::vector<uint32_t>& numbers)
{
    const int count = std::min(RowCount(), static_cast<int>(numbers.size()));
    for (int row = 0; row < count; ++row) SetCellText(row, column, std::to_string(numbers[static_cast<size_t>(row)]));
}

namespace {

// True when text is the "%i" form of a number that fits a group number.
bool ReadNumber(std::string_view text, uint32_t& number)
{
    if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number <= 0x7FFFFFFF;
}

}  // namespace

int MemoryResultList::StateImage(int row) const
{
    if (row < 0 || row >= RowCount()) return StateImageNone;
    return rows_[static_cast<size_t>(row)].stateImage;
}

void MemoryResultList::SetStateImage(int row, int index)
{
    if (row < 0 || row >= RowCount()) return;
    rows_[static_cast<size_t>(row)].stateImage = static_cast<uint8_t>(index);
}

RecordCell MemoryResultList::ColumnCell(int column) const
{
    return column >= 0 && static_cast<size_t>(column) < columns_.size() ? columns_[static_cast<size_t>(column)]
                                                                         : RecordCell::Empty;
}

std::string MemoryResultList::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0) return {};
    const Row& entry = rows_[static_cast<size_t>(row)];
    if (entry.texts) {
        const auto& texts = *entry.texts;
        return static_cast<size_t>(column) < texts.size() ? texts[static_cast<size_t>(column)] : std::string();
    }
    // The records are checked too: a page empties its lists just after it
    // has cleared their records.
    if (entry.record == NoRecord || !records_ || entry.record >= records_->Count()) return {};
    return RecordCellText(ColumnCell(column), (*records_)[entry.record], entry.group);
}

std::string MemoryResultList::CellText(int row, int column, size_t bufferSize) const
{
    if (bufferSize == 0) return {};
    std::string text = Cell(row, column);
    if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
    return text;
}

int MemoryResultList::FindRow(std::string_view text, bool prefix, int start, bool wrap) const
{
    const int count = RowCount();
    if (count == 0) return -1;
    const std::string wanted = FoldCase(text);
    start = std::clamp(start, 0, count);
    const int checked = wrap ? count : count - start;
    for (int n = 0; n < checked; ++n) {
        const int row = (start + n) % count;
        const std::string cell = FoldCase(Cell(row, 0));
        if (prefix ? cell.starts_with(wanted) : cell == wanted) return row;
    }
    return -1;
}

void MemoryResultList::CopyCell(int row, int column, char* buffer, size_t size) const
{
    if (size == 0) return;
    const std::string text = CellText(row, column, size);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void MemoryResultList::OwnTexts(Row& row) const
{
    if (row.texts) return;
    row.texts = std::make_unique<std::vector<std::string>>();
    if (row.record == NoRecord || !records_ || row.record >= records_->Count()) return;
    const FileRecord record = (*records_)[row.record];
    for (RecordCell cell : columns_) row.texts->push_back(RecordCellText(cell, record, row.group));
    row.record = NoRecord;
}

void MemoryResultList::SetCellText(int row, int column, std::string_view text)
{
    if (row < 0 || row >= RowCount() || column < 0) return;
    Row& entry = rows_[static_cast<size_t>(row)];
    uint32_t number = 0;
    if (!entry.texts && entry.record != NoRecord && ColumnCell(column) == RecordCell::Group &&
        ReadNumber(text, number)) {
        entry.group = number;
        return;
    }
    OwnTexts(entry);
    auto& texts = *entry.texts;
    if (texts.size() <= static_cast<size_t>(column)) texts.resize(static_cast<size_t>(column) + 1);
    texts[static_cast<size_t>(column)] = std::string(text);
}

void MemoryResultList::InsertRow(int row)
{
    const size_t position = row < 0 || row >= RowCount() ? rows_.size() : static_cast<size_t>(row);
    Row entry;
    entry.stateImage = checkBoxes_ ? StateImageUnmarked : StateImageNone;
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position), std::move(entry));
}

void MemoryResultList::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount()) return;
    rows_.erase(rows_.begin() + row);
}

void MemoryResultList::DeleteAllRows()
{
    // Swapped out rather than cleared, so a Reset gives the memory back.
    std::vector<Row>().swap(rows_);
    records_ = nullptr;
    columns_.clear();
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

void MemoryResultList::AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                                        const std::vector<uint32_t>* groups, const RecordColumns& columns)
{
    if (records_ != &records || columns_ != columns) {
        // The rows already there keep what they show.
        for (Row& row : rows_) OwnTexts(row);
        records_ = &records;
        columns_ = columns;
    }
    rows_.reserve(rows_.size() + rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        Row entry;
        entry.record = rows[r];
        entry.group = groups && r < groups->size() ? (*groups)[r] : 0;
        entry.stateImage = checkBoxes_ ? StateImageUnmarked : StateImageNone;
        rows_.push_back(std::move(entry));
    }
}

void MemoryResultList::SetStateImages(const std::vector<uint8_t>& images)
{
    const size_t count = std::min(rows_.size(), images.size());
    for (size_t row = 0; row < count; ++row) rows_[row].stateImage = images[row];
}

void MemoryResultList::SetNumberCells(int column, const std::vector<uint32_t>& numbers)
{
    const size_t count = std::min(rows_.size(), numbers.size());
    const bool groupColumn = ColumnCell(column) == RecordCell::Group;
    for (size_t row = 0; row < count; ++row) {
        Row& entry = rows_[row];
        if (groupColumn && !entry.texts && entry.record != NoRecord && numbers[row] <= 0x7FFFFFFF)
            entry.group = numbers[row];
        else
            SetCellText(static_cast<int>(row), column, std::to_string(numbers[row]));
    }
}

}  // namespace tolvane
