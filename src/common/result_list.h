// The result-list port: the few primitives every list operation, engine and
// action needs from a report-style list with check boxes. The Windows program
// implements it on a list view; tests and the command line use MemoryResultList.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// State image indexes of a row's check box.
inline constexpr int StateImageNone = 0;  // a row without a check box state
inline constexpr int StateImageUnmarked = 1;
inline constexpr int StateImageMarked = 2;

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
    // Deletes every row r with remove[r] set, keeping the order of the rest;
    // entries past the list's end are ignored. A list that can close the gaps
    // in one pass overrides this row-by-row form.
    virtual void DeleteRows(const std::vector<bool>& remove);
    virtual void DeleteAllRows() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;

    bool IsMarked(int row) const { return StateImage(row) != StateImageUnmarked; }
};

// A list kept in memory. A row inserted by InsertRow has StateImageNone until
// it is given one, like a list-view row whose check box state is not yet set;
// a list with check boxes gives every new row StateImageUnmarked.
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
    void DeleteRows(const std::vector<bool>& remove) override;
    void DeleteAllRows() override { rows_.clear(); }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }

    // Whole cell text, without a buffer limit.
    const std::string& Cell(int row, int column) const;

private:
    struct Row {
        int stateImage;
        std::vector<std::string> cells;
    };

    bool checkBoxes_;
    bool enabled_ = false;
    std::vector<Row> rows_;
};

}  // namespace tolvane
