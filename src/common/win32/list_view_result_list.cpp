#include "common/win32/list_view_result_list.h"

#include <commctrl.h>

#include <vector>

namespace tolvane {

HWND CreateResultListView(HWND parent, DWORD extraStyle, DWORD extendedStyle, std::initializer_list<ListColumn> columns)
{
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_DISABLED | WS_HSCROLL | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_NOSORTHEADER | extraStyle,
                                0, 0, 90, 90, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (extendedStyle) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extendedStyle, extendedStyle);
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

int ListViewResultList::RowCount() const
{
    return static_cast<int>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewResultList::StateImage(int row) const
{
    const LRESULT state = SendMessageA(listView_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void ListViewResultList::SetStateImage(int row, int index)
{
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(index);
    SendMessageA(listView_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::string ListViewResultList::CellText(int row, int column, size_t bufferSize) const
{
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(bufferSize);
    SendMessageA(listView_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    buffer.back() = '\0';
    return std::string(buffer.data());
}

void ListViewResultList::SetCellText(int row, int column, std::string_view text)
{
    std::string copy(text);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendMessageA(listView_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void ListViewResultList::InsertRow(int row)
{
    char empty[1] = "";
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = empty;
    SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewResultList::DeleteRow(int row) { SendMessageA(listView_, LVM_DELETEITEM, row, 0); }

void ListViewResultList::DeleteAllRows() { SendMessageA(listView_, LVM_DELETEALLITEMS, 0, 0); }

void ListViewResultList::SetEnabled(bool enabled) { EnableWindow(listView_, enabled ? TRUE : FALSE); }

bool ListViewResultList::IsEnabled() const { return IsWindowEnabled(listView_) != FALSE; }

int ListViewResultList::LastSelectedRow() const
{
    for (int row = RowCount() - 1; row >= 0; --row)
        if (SendMessageA(listView_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) return row;
    return -1;
}

}  // namespace tolvane
