// The result-list port on a report-style list view. Every call is a sent
// message, so a worker thread may use it: the list's own thread carries the
// message out.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "common/result_list.h"

namespace tolvane {

struct ListColumn {
    int format;  // LVCFMT_LEFT or LVCFMT_RIGHT
    int width;   // pixels
    const char* text;
};

// A report-style result list view, disabled and unsorted, created at 0, 0 with
// 90 x 90 pixels inside parent (the page's layout sizes it later), with its
// columns in order.
HWND CreateResultListView(HWND parent, DWORD extraStyle, DWORD extendedStyle, std::initializer_list<ListColumn> columns);

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
