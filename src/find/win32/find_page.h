// The Find page of the main window.
#pragma once

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK FindPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's result tab control and its three lists (null while there is no page).
extern HWND FindTabs;
extern HWND FilesList;
extern HWND FoldersList;
extern HWND FindErrorLog;

}  // namespace tolvane
