// The result-list port: the few primitives every list operation, engine and
// action needs from a report-style list with check boxes, and batch forms of
// the whole-list changes. The Windows program implements it on an owner-data
// list view over a MemoryResultList; tests and the command line use the
// MemoryResultList itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_records.h"

namespace tolvane {

// State image indexes of a row's check box.
inline constexpr int StateImageNone = 0;  // a row without a check box state
inline constexpr int StateImageUnmarked = 1;
inline constexpr int StateImageMarked = 2;

// What one column of a row that shows a record reads.
enum class RecordCell : uint8_t {
    Empty,
    Group,       // the row's group number, "%i"
    Name,        // fileName
    Folder,      // folderPath
    Size,        // SizeText, short form
    SizeBytes,   // SizeText in plain bytes
    Modified,    // FileTimeText of modifiedTime
    Created,     // FileTimeText of createdTime
};
using RecordColumns = std::vector<RecordCell>;

// The text of a record's cell; group is the row's group number.
std::string RecordCellText(RecordCell cell, const FileRecord& record, uint32_t group);

class ResultList {
public:
    virtual ~ResultList() = default;

    virtual int RowCount() const = 0;
    virtual int StateImage(int row) const = 0;
    virtual void SetStateImage(int row, int index) = 0;
    // The cell's text cut to bufferSize - 1 characters, as LVM_GETITEMTEXT
    // with a buffer of bufferSize characters gives it.
    virtual std::string CellText(int row, int column, size_t bufferSize) const = 0;
    virtual void SetCellText(int row, int column, std::string_view text) = 0;
    // Inserts an empty, unmarked row at row (at the end when row >= RowCount()).
    virtual void InsertRow(int row) = 0;
    virtual void DeleteRow(int row) = 0;
    virtual void DeleteAllRows() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;

    // Batch forms. Each default works through the primitives above; a list
    // that can do the whole change at once overrides it.

    // Deletes every row r with remove[r] set, keeping the order of the rest;
    // entries past the list's end are ignored.
    virtual void DeleteRows(const std::vector<bool>& remove);
    // Appends a row for each entry of rows (record numbers into records),
    // its cells as columns say; groups, when given, holds each row's group
    // number. The records must outlive the rows.
    virtual void AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                                  const std::vector<uint32_t>* groups, const RecordColumns& columns);
    // Row r gets state image images[r]; rows past the vector's end keep theirs.
    virtual void SetStateImages(const std::vector<uint8_t>& images);
    // The cell of column in row r reads the number groups[r] ("%i"); rows past
    // the vector's end keep theirs.
    virtual void SetNumberCells(int column, const std::vector<uint32_t>& numbers);

    bool IsMarked(int row) const { return StateImage(row) != StateImageUnmarked; }
};

// The rows of a list held compactly: a row that shows a record keeps only its
// record number, group number and state image, and its cells are drawn from
// the record when asked for; a row given texts of its own (an error log's
// path and system text) keeps those. A row inserted by InsertRow has
// StateImageNone until it is given one, like a list-view row whose check box
// state is not yet set; a list with check boxes gives every new row
// StateImageUnmarked.
class MemoryResultList : public ResultList {
public:
    explicit MemoryResultList(bool checkBoxes = true) : checkBoxes_(checkBoxes) {}

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int StateImage(int row) const override;
    void SetStateImage(int row, int index) override;
    std::string CellText(int row, int column, size_t bufferSize) const override;
    void SetCellText(int row, int column, std::string_view text) override;
    void InsertRow(int row) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }

    void DeleteRows(const std::vector<bool>& remove) override;
    void AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                          const std::vector<uint32_t>* groups, const RecordColumns& columns) override;
    void SetStateImages(const std::vector<uint8_t>& images) override;
    void SetNumberCells(int column, const std::vector<uint32_t>& numbers) override;

    // Whole cell text, without a buffer limit.
    std::string Cell(int row, int column) const;
    // The cell into buffer, cut to size - 1 bytes and ended by a NUL, without
    // building a string: for a window that asks for the cells it draws.
    void CopyCell(int row, int column, char* buffer, size_t size) const;
    // The first row from start on whose first cell is text (or begins with it,
    // when prefix), letter case ignored, as typing a name's first letters
    // looks for it; after the last row the search goes on from the first when
    // wrap is set. -1 when no row is.
    int FindRow(std::string_view text, bool prefix, int start, bool wrap) const;

    // Bytes held per row that shows a record, for the memory figures of benchmarks.
    static size_t RowBytes() { return sizeof(Row); }

private:
    static constexpr uint32_t NoRecord = 0xFFFFFFFF;
    struct Row {
        uint32_t record = NoRecord;
        uint32_t group = 0;
        uint8_t stateImage = StateImageNone;
        // The row's own cell texts; a row that shows a record has none.
        std::unique_ptr<std::vector<std::string>> texts;
    };

    RecordCell ColumnCell(int column) const;
    // Gives the row its cells as texts of its own, so one of them can change.
    void OwnTexts(Row& row) const;

    bool checkBoxes_;
    bool enabled_ = false;
    const FileRecords* records_ = nullptr;
    RecordColumns columns_;
    std::vector<Row> rows_;
};

}  // namespace tolvane
