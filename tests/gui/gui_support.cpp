#include "gui_support.h"

#include <prsht.h>

#include <set>

#include "common/win32/list_view_result_list.h"

namespace tolvane::test {

int ScriptedInteraction::Message(HWND owner, const std::string& text, const std::string& caption, unsigned style)
{
    boxes.push_back({owner, text, caption});
    int answer = (style & 0xF) == MB_YESNO ? IDNO : IDOK;
    if (answer == IDNO) Next(answers, answer);
    return answer;
}

void PumpMessages()
{
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
        // Wakes for sent messages of a worker thread as well as posted ones.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    return {text, static_cast<size_t>(GetWindowTextA(window, text, sizeof text))};
}

void CheckRow(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Choose(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::string> ListBoxItems(HWND listBox)
{
    std::vector<std::string> items(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (size_t item = 0; item < items.size(); ++item) {
        char text[MAX_PATH] = {};
        items[item].assign(text, SendMessageA(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text)));
    }
    return items;
}

std::string Flags(HWND dialog, std::initializer_list<int> ids, bool (*test)(HWND, int))
{
    std::string flags;
    for (int id : ids) flags += test(dialog, id) ? '1' : '0';
    return flags;
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
std::string Names(HWND list, int column)
{
    const bool marks = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES;
    const ListViewResultList& rows = *ListViewResultList::Of(list);
    std::multiset<std::string> names;
    for (int row = 0; row < Rows(list); ++row)
        names.insert(rows.CellText(row, column, MAX_PATH) + (marks && rows.IsMarked(row) ? "*" : ""));
    std::string shown;
    for (const std::string& name : names) shown += name + " ";
    return shown;
}

bool Greyed(HMENU menu, UINT id)
{
    const UINT state = GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND);
    DestroyMenu(menu);
    return state != 0xFFFFFFFFu && (state & (MF_GRAYED | MF_DISABLED));
}

void GuiTest::SetUp()
{
    appInstance = GetModuleHandleA(nullptr);
    InitProgramControls();
    SetInteraction(&script);
}

void GuiTest::TearDown()
{
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) DestroyWindow(*window);
    PumpMessages();
    SetInteraction(nullptr);
    // A quit posted by the code under test must not end the next test's loop.
    for (MSG message; PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }
}

HWND GuiTest::OpenDialog(int id, DLGPROC procedure, HWND owner, const void* target)
{
    const auto parameter = reinterpret_cast<LPARAM>(target);
    HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(id), owner, procedure, parameter);
    EXPECT_NE(dialog, nullptr) << id;
    ShowWindow(dialog, SW_SHOW);
    windows.push_back(dialog);
    return dialog;
}

HWND GuiTest::Window(const char* className, const char* text, DWORD style)
{
    const HWND window = CreateWindowExA(0, className, text, style, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    return windows.emplace_back(window);
}

void MainWindowTest::SetUp()
{
    GuiTest::SetUp();
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[2];
    FillMainSheet(header, pages);
    header.dwFlags |= PSH_MODELESS;
    ASSERT_NE(sheet = reinterpret_cast<HWND>(PropertySheetA(&header)), nullptr);
    ShowWindow(sheet, SW_SHOW);
    PumpMessages();
}

void MainWindowTest::TearDown()
{
    if (sheet && IsWindow(sheet)) DestroyWindow(sheet);
    ReleaseMainSheet();
    GuiTest::TearDown();
}

HWND MainWindowTest::CurrentPage() const { return PropSheet_GetCurrentPageHwnd(sheet); }

}  // namespace tolvane::test
