#include "gui_support.h"

#include <commctrl.h>
#include <prsht.h>

#include "app/main_sheet.h"
#include "common/win32/list_view_result_list.h"

namespace tolvane::test {

namespace {

std::function<void(HWND)> modalDriver;
std::string modalTitle;

void CALLBACK DriveModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", modalTitle.c_str());
    if (!dialog) return;
    KillTimer(nullptr, timer);
    modalDriver(dialog);
}

}  // namespace

int ScriptedInteraction::Message(HWND owner, const std::string& text, const std::string& caption, unsigned style)
{
    boxes.push_back({owner, text, caption, style});
    if ((style & 0xF) != MB_YESNO) return IDOK;
    if (answers.empty()) return IDNO;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedInteraction::PickFolder(HWND, std::string& path, const std::string& title)
{
    pickerTitles.push_back(title);
    if (folders.empty()) return false;
    path = folders.front();
    folders.pop_front();
    return true;
}

bool ScriptedInteraction::AskFileName(HWND, FileDialogKind kind, std::string& path)
{
    fileDialogs.push_back(kind);
    if (fileNames.empty()) return false;
    path = fileNames.front();
    fileNames.pop_front();
    return true;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
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

void WithModal(const std::string& title, std::function<void(HWND)> driver, const std::function<void()>& open)
{
    modalTitle = title;
    modalDriver = std::move(driver);
    SetTimer(nullptr, 0, 20, DriveModal);
    open();
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

bool IsShown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool IsEnabledItem(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SetItemText(HWND dialog, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        char text[MAX_PATH] = {};
        SendMessageA(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int Rows(HWND list) { return ListViewResultList::Of(list)->RowCount(); }

std::string Cell(HWND list, int row, int column) { return ListViewResultList::Of(list)->CellText(row, column, MAX_PATH); }

void GuiTest::SetUp()
{
    appInstance = GetModuleHandleA(nullptr);
    InitProgramControls();
    SetInteraction(&script);
}

void GuiTest::TearDown()
{
    PumpMessages();
    SetInteraction(nullptr);
    // A quit posted by the code under test must not end the next test's loop.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void MainWindowTest::SetUp()
{
    GuiTest::SetUp();
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[2];
    FillMainSheet(header, pages);
    header.dwFlags |= PSH_MODELESS;
    sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    ASSERT_NE(sheet, nullptr);
    ShowWindow(sheet, SW_SHOW);
    PumpMessages();
}

void MainWindowTest::TearDown()
{
    if (sheet && IsWindow(sheet)) DestroyWindow(sheet);
    ReleaseMainSheet();
    GuiTest::TearDown();
}

HWND MainWindowTest::CurrentPage() const
{
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

}  // namespace tolvane::test
