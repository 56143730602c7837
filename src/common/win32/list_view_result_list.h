// The result-list port on an owner-data report list view. The rows live in a
// MemoryResultList; the list view asks for the texts and check boxes of the
// rows it draws, and learns only their count. Any thread may use the port:
// the rows are guarded by a lock, and what the window must learn of a change
// is sent to the list's own thread, after the lock is let go.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <mutex>

#include "common/result_list.h"

namespace tolvane {

struct ListColumn {
    int format;  // LVCFMT_LEFT or LVCFMT_RIGHT
    int width;   // pixels
    const char* text;
};

// A report-style owner-data result list view, disabled and unsorted, created
// at 0, 0 with 90 x 90 pixels inside parent (the page's layout sizes it
// later), with its columns in order. A ListViewResultList attached to it
// gives it its rows.
HWND CreateResultListView(HWND parent, DWORD extraStyle, DWORD extendedStyle, std::initializer_list<ListColumn> columns);

class ListViewResultList : public ResultList {
public:
    ListViewResultList() = default;
    explicit ListViewResultList(HWND listView) { Attach(listView); }
    ~ListViewResultList() override;
    ListViewResultList(const ListViewResultList&) = delete;
    ListViewResultList& operator=(const ListViewResultList&) = delete;

    // Takes over an empty owner-data list view made by CreateResultListView.
    void Attach(HWND listView);
    HWND Window() const { return listView_; }
    // The rows attached to a list view, or null.
    static ListViewResultList* Of(HWND listView);

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

    void DeleteRows(const std::vector<bool>& remove) override;
    void AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                          const std::vector<uint32_t>* groups, const RecordColumns& columns) override;
    void SetStateImages(const std::vector<uint8_t>& images) override;
    void SetNumberCells(int column, const std::vector<uint32_t>& numbers) override;

    // The row shown selected nearest the end, or -1.
    int LastSelectedRow() const;

    // What the window must learn after its rows changed.
    // Removed: rows went, so the selection (which an owner-data list view
    // keeps by position) no longer shows what the user chose.
    enum class Change { Count, Removed, Row, All };
    // On the list's thread: the window's questions and the user's clicks.
    void Refresh(Change change, int row);
    void AnswerDisplayInfo(NMHDR& header);
    // The row that typed letters name (LVN_ODFINDITEM), or -1.
    LRESULT AnswerFindItem(const NMHDR& header) const;
    void ToggleMark(int row);

private:
    // Tells the window, from whichever thread made the change.
    void Changed(Change change, int row = 0);

    mutable std::mutex lock_;
    MemoryResultList rows_;
    HWND listView_ = nullptr;
};

}  // namespace tolvane
