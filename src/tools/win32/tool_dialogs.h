// The windows of the two extra tools, New Folders and Create fake file, and
// their start as the program's only window.
#pragma once

#include <windows.h>

#include <string>

namespace tolvane {

// The window titles by which a running tool is recognised.
inline constexpr char NewFoldersTitle[] = "New Folders";
inline constexpr char FakeFileTitle[] = "Create fake file";

INT_PTR CALLBACK NewFoldersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FakeFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The window class of every dialog box.
inline constexpr char DialogWindowClass[] = "#32770";

// Runs a tool's dialog modally without owner, unless a dialog with its title
// is already open: that one is brought to the front instead. Returns whether
// the dialog was run.
bool RunToolAlone(const char* title, int dialogId, DLGPROC procedure);

// The colours of the tools' static parts: the control whose id is
// windowColoured gets the window's colours, every other static text is drawn
// transparently on the dialog face.
INT_PTR ToolStaticColours(HWND control, HDC deviceContext, int windowColoured);

// The whole text of a dialog's control.
std::string DialogItemText(HWND dialog, int id);

// Sets a dialog's small (title-bar) icon from the program's resources.
void SetSmallIcon(HWND dialog, int iconId);

}  // namespace tolvane
