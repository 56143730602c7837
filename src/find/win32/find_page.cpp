#include "find/win32/find_page.h"

#include <commctrl.h>

#include <initializer_list>

#include "app/main_sheet.h"
#include "resource_ids.h"

namespace tolvane {

HWND FindTabs = nullptr;
HWND FilesList = nullptr;
HWND FoldersList = nullptr;
HWND FindErrorLog = nullptr;

namespace {

constexpr int FilesTab = 0;
constexpr int FoldersTab = 1;
constexpr int ErrorLogTab = 2;

struct Column {
    int format;
    int width;
    const char* text;
};

HWND CreateResultList(HWND tabs, DWORD extraStyle, DWORD extendedStyle, std::initializer_list<Column> columns)
{
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_DISABLED | WS_HSCROLL | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_NOSORTHEADER | extraStyle,
                                0, 0, 90, 90, tabs, nullptr, appInstance, nullptr);
    if (extendedStyle) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extendedStyle, extendedStyle);
    int subItem = 0;
    for (const Column& column : columns) {
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

void BuildFindViews(HWND page)
{
    ShowWindow(GetDlgItem(page, IDC_FIND_INDICATOR), SW_HIDE);
    ShowWindow(GetDlgItem(page, IDC_FIND_STATUS), SW_HIDE);

    for (const char* target : {"Search for files", "Search for folders", "Search for files & folders"})
        SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(target));
    SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_SETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(page, IDC_FIND_ACTIONS), FALSE);
    SendDlgItemMessageA(page, IDC_FIND_SEARCH, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), TRUE);

    FindTabs = GetDlgItem(page, IDC_FIND_TABS);
    FilesList = CreateResultList(FindTabs, WS_VISIBLE, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES,
                                 {{LVCFMT_LEFT, 170, "Name"},
                                  {LVCFMT_LEFT, 250, "Path"},
                                  {LVCFMT_RIGHT, 65, "Size"},
                                  {LVCFMT_LEFT, 105, "Modified"}});
    FoldersList = CreateResultList(FindTabs, 0, LVS_EX_GRIDLINES,
                                   {{LVCFMT_LEFT, 185, "Name"}, {LVCFMT_LEFT, 300, "Path"}, {LVCFMT_LEFT, 105, "Modified"}});
    FindErrorLog = CreateResultList(FindTabs, 0, 0,
                                    {{LVCFMT_LEFT, 0, ""}, {LVCFMT_LEFT, 290, "Object"}, {LVCFMT_LEFT, 300, "Event"}});
    SendMessageA(FindErrorLog, LVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));

    for (const char* title : {"Files", "Folders", "Error log"}) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(title);
        const auto index = SendMessageA(FindTabs, TCM_GETITEMCOUNT, 0, 0);
        SendMessageA(FindTabs, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
    NMHDR change{FindTabs, IDC_FIND_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(page, WM_NOTIFY, IDC_FIND_TABS, reinterpret_cast<LPARAM>(&change));
}

void ShowCurrentList()
{
    const auto selected = SendMessageA(FindTabs, TCM_GETCURSEL, 0, 0);
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) ShowWindow(list, SW_HIDE);
    if (selected == FilesTab) ShowWindow(FilesList, SW_SHOW);
    else if (selected == FoldersTab) ShowWindow(FoldersList, SW_SHOW);
    else if (selected == ErrorLogTab) ShowWindow(FindErrorLog, SW_SHOW);
}

INT_PTR OnNotify(HWND page, const NMHDR& header)
{
    if (header.hwndFrom == FindTabs && header.idFrom == IDC_FIND_TABS &&
        header.code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowCurrentList();
        return TRUE;
    }
    return AnswerSheetNotification(page, FindPageIndex, header) ? TRUE : FALSE;
}

}  // namespace

INT_PTR CALLBACK FindPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        findPageWindow = page;
        AttachToSheet(page);
        BuildFindViews(page);
        return FALSE;
    case WM_DESTROY:
        findPageWindow = nullptr;
        FindTabs = FilesList = FoldersList = FindErrorLog = nullptr;
        return TRUE;
    case WM_NOTIFY: return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: HandleMenuCommand(page, message, wParam); return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
