#include "tools/win32/tool_dialogs.h"

#include "app/main_sheet.h"

namespace tolvane {

bool RunToolAlone(const char* title, int dialogId, DLGPROC procedure)
{
    // Only a dialog counts: a folder window that happens to show the same
    // title (a folder named "New Folders") must not stand in for the tool.
    if (HWND running = FindWindowA(DialogWindowClass, title)) {
        SetForegroundWindow(running);
        return false;
    }
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(dialogId), nullptr, procedure, 0);
    return true;
}

INT_PTR ToolStaticColours(HWND control, HDC deviceContext, int windowColoured)
{
    if (GetDlgCtrlID(control) == windowColoured) {
        SetTextColor(deviceContext, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(deviceContext, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    SetBkMode(deviceContext, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_3DFACE));
}

std::string DialogItemText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetSmallIcon(HWND dialog, int iconId)
{
    // Shared icons stay loaded with the module; nothing to free.
    auto icon = static_cast<HICON>(LoadImageA(appInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                              LR_SHARED));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

}  // namespace tolvane
