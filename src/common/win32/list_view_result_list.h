// The result-list port on a report-style list view. Every call is a sent
// message, so a worker thread may use it: the list's own thread carries the
// message out.
#pragma once

#include <windows.h>

#include "common/result_list.h"

namespace tolvane {

class ListViewResultList : public ResultList {
public:
    explicit ListViewResultList(HWND listView = nullptr) : listView_(listView) {}

    void Attach(HWND listView) { listView_ = listView; }
    HWND Window() const { return listView_; }

    int RowCount() const override;
    int StateImage(int row) const override;
    void SetStateImage(int row, int index) override;
    std::string CellText(int row, int column, size_t bufferSize) const override;
    void SetCellText(int row, int column, std::string_view text) override;
    void InsertRow(int row) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    // The row shown selected nearest the end, or -1.
    int LastSelectedRow() const;

private:
    HWND listView_;
};

}  // namespace tolvane
