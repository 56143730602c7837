#include "common/win32/list_view_result_list.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace tolvane {

namespace {

// The list's rows are found from its window through this property.
constexpr char RowsProperty[] = "TolvaneRows";
constexpr UINT_PTR SubclassId = 0x7452;
// Sent to the list view from another thread: wParam the Change, lParam the row.
constexpr UINT RefreshMessage = WM_APP + 0x52;

ListViewResultList* RowsOf(HWND window) { return static_cast<ListViewResultList*>(GetPropA(window, RowsProperty)); }

bool OnListThread(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

int FocusedRow(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }

// The list view's own messages: the check box is the program's, so a click on
// it and the space bar toggle the mark in the rows.
LRESULT CALLBACK ListViewProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    ListViewResultList* rows = RowsOf(list);
    if (!rows) return DefSubclassProc(list, message, wParam, lParam);
    const auto checkBoxes = [list] {
        return (SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
    };
    switch (message) {
    case RefreshMessage:
        rows->Refresh(static_cast<ListViewResultList::Change>(wParam), static_cast<int>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!checkBoxes()) break;
        LVHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) break;
        SetFocus(list);
        rows->ToggleMark(row);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE || !checkBoxes()) break;
        if (const int row = FocusedRow(list); row >= 0) rows->ToggleMark(row);
        return 0;
    case WM_CHAR:
        if (wParam == ' ' && checkBoxes()) return 0;
        break;
    default: break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// The parent's messages: the list view asks its parent for what to draw.
LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.code == LVN_GETDISPINFOA || header.code == LVN_GETDISPINFOW) {
            if (ListViewResultList* rows = RowsOf(header.hwndFrom)) {
                rows->AnswerDisplayInfo(header);
                return 0;
            }
        }
        if (header.code == LVN_ODFINDITEMA || header.code == LVN_ODFINDITEMW) {
            if (ListViewResultList* rows = RowsOf(header.hwndFrom)) return rows->AnswerFindItem(header);
        }
    }
    return DefSubclassProc(parent, message, wParam, lParam);
}

}  // namespace

HWND CreateResultListView(HWND parent, DWORD extraStyle, DWORD extendedStyle, std::initializer_list<ListColumn> columns)
{
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_DISABLED | WS_HSCROLL | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_NOSORTHEADER | LVS_OWNERDATA | extraStyle,
                                0, 0, 90, 90, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (extendedStyle) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extendedStyle, extendedStyle);
    // The check box is asked for with the texts.
    SendMessageA(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    int subItem = 0;
    for (const ListColumn& column : columns) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        entry.fmt = column.format;
        entry.cx = column.width;
        entry.pszText = const_cast<char*>(column.text);
        entry.iSubItem = subItem;
        SendMessageA(list, LVM_INSERTCOLUMNA, subItem, reinterpret_cast<LPARAM>(&entry));
        ++subItem;
    }
    return list;
}

ListViewResultList* ListViewResultList::Of(HWND listView) { return RowsOf(listView); }

void ListViewResultList::Attach(HWND listView)
{
    listView_ = listView;
    if (!listView) return;
    const bool checkBoxes = (SendMessageA(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
    {
        const std::lock_guard guard(lock_);
        rows_ = MemoryResultList(checkBoxes);
    }
    SetPropA(listView, RowsProperty, this);
    SetWindowSubclass(listView, ListViewProc, SubclassId, 0);
    // Setting it again for a second list of the same parent changes nothing.
    SetWindowSubclass(GetParent(listView), ParentProc, SubclassId, 0);
    Refresh(Change::Count, 0);
}

ListViewResultList::~ListViewResultList()
{
    // A list view outliving its rows must not ask them for anything.
    if (listView_ && IsWindow(listView_) && RowsOf(listView_) == this) RemovePropA(listView_, RowsProperty);
}

void ListViewResultList::Refresh(Change change, int row)
{
    if (!listView_) return;
    switch (change) {
    case Change::Removed:
        ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        [[fallthrough]];
    case Change::Count:
        SendMessageA(listView_, LVM_SETITEMCOUNT, RowCount(), LVSICF_NOSCROLL);
        InvalidateRect(listView_, nullptr, FALSE);
        break;
    case Change::Row: SendMessageA(listView_, LVM_REDRAWITEMS, row, row); break;
    case Change::All: InvalidateRect(listView_, nullptr, FALSE); break;
    }
}

void ListViewResultList::Changed(Change change, int row)
{
    if (!listView_) return;
    if (OnListThread(listView_))
        Refresh(change, row);
    else
        SendMessageA(listView_, RefreshMessage, static_cast<WPARAM>(change), row);
}

void ListViewResultList::AnswerDisplayInfo(NMHDR& header)
{
    // Both forms of the notification begin with the same NMHDR and LVITEM layout
    // up to the text pointer; only the text's characters differ.
    auto& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
    const bool wide = header.code == LVN_GETDISPINFOW;
    const std::lock_guard guard(lock_);
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     INDEXTOSTATEIMAGEMASK(static_cast<UINT>(rows_.StateImage(item.iItem)));
    }
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const size_t size = static_cast<size_t>(item.cchTextMax);
    if (!wide) {
        rows_.CopyCell(item.iItem, item.iSubItem, item.pszText, size);
        return;
    }
    auto* text = reinterpret_cast<wchar_t*>(item.pszText);
    const std::string cell = rows_.Cell(item.iItem, item.iSubItem);
    const int written = MultiByteToWideChar(CP_UTF8, 0, cell.c_str(), -1, text, static_cast<int>(size));
    // A text longer than the buffer is cut and still ended.
    if (written == 0) text[size - 1] = L'\0';
}

LRESULT ListViewResultList::AnswerFindItem(const NMHDR& header) const
{
    // Both forms share the layout; only the text's characters differ.
    const auto& find = reinterpret_cast<const NMLVFINDITEMA&>(header);
    const LVFINDINFOA& info = find.lvfi;
    if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz) return -1;
    std::string text;
    if (header.code == LVN_ODFINDITEMW) {
        const auto* wide = reinterpret_cast<const wchar_t*>(info.psz);
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (size <= 0) return -1;
        text.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
        text.resize(static_cast<size_t>(size - 1));
    } else {
        text = info.psz;
    }
    const std::lock_guard guard(lock_);
    return rows_.FindRow(text, (info.flags & LVFI_PARTIAL) != 0, find.iStart, (info.flags & LVFI_WRAP) != 0);
}

void ListViewResultList::ToggleMark(int row)
{
    {
        const std::lock_guard guard(lock_);
        if (row < 0 || row >= rows_.RowCount()) return;
        rows_.SetStateImage(row, rows_.IsMarked(row) ? StateImageUnmarked : StateImageMarked);
    }
    Refresh(Change::Row, row);
}

int ListViewResultList::RowCount() const
{
    const std::lock_guard guard(lock_);
    return rows_.RowCount();
}

int ListViewResultList::StateImage(int row) const
{
    const std::lock_guard guard(lock_);
    return rows_.StateImage(row);
}

void ListViewResultList::SetStateImage(int row, int index)
{
    {
        const std::lock_guard guard(lock_);
        rows_.SetStateImage(row, index);
    }
    Changed(Change::Row, row);
}

std::string ListViewResultList::CellText(int row, int column, size_t bufferSize) const
{
    const std::lock_guard guard(lock_);
    return rows_.CellText(row, column, bufferSize);
}

void ListViewResultList::SetCellText(int row, int column, std::string_view text)
{
    {
        const std::lock_guard guard(lock_);
        rows_.SetCellText(row, column, text);
    }
    Changed(Change::Row, row);
}

void ListViewResultList::InsertRow(int row)
{
    {
        const std::lock_guard guard(lock_);
        rows_.InsertRow(row);
    }
    Changed(Change::Count);
}

void ListViewResultList::DeleteRow(int row)
{
    {
        const std::lock_guard guard(lock_);
        rows_.DeleteRow(row);
    }
    Changed(Change::Removed);
}

void ListViewResultList::DeleteAllRows()
{
    {
        const std::lock_guard guard(lock_);
        rows_.DeleteAllRows();
    }
    Changed(Change::Removed);
}

void ListViewResultList::DeleteRows(const std::vector<bool>& remove)
{
    {
        const std::lock_guard guard(lock_);
        rows_.DeleteRows(remove);
    }
    Changed(Change::Removed);
}

void ListViewResultList::AppendRecordRows(const FileRecords& records, const std::vector<uint32_t>& rows,
                                          const std::vector<uint32_t>* groups, const RecordColumns& columns)
{
    {
        const std::lock_guard guard(lock_);
        rows_.AppendRecordRows(records, rows, groups, columns);
    }
    Changed(Change::Count);
}

void ListViewResultList::SetStateImages(const std::vector<uint8_t>& images)
{
    {
        const std::lock_guard guard(lock_);
        rows_.SetStateImages(images);
    }
    Changed(Change::All);
}

void ListViewResultList::SetNumberCells(int column, const std::vector<uint32_t>& numbers)
{
    {
        const std::lock_guard guard(lock_);
        rows_.SetNumberCells(column, numbers);
    }
    Changed(Change::All);
}

void ListViewResultList::SetEnabled(bool enabled) { EnableWindow(listView_, enabled ? TRUE : FALSE); }

bool ListViewResultList::IsEnabled() const { return IsWindowEnabled(listView_) != FALSE; }

int ListViewResultList::LastSelectedRow() const
{
    int last = -1;
    for (int row = -1;;) {
        row = static_cast<int>(SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
        if (row < 0) return last;
        last = row;
    }
}

}  // namespace tolvane
