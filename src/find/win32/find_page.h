// The Find page of the main window.
#pragma once

#include <windows.h>

#include "find/find_page_presenter.h"

namespace tolvane {

INT_PTR CALLBACK FindPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's result tab control and its three lists (null while there is no page).
extern HWND FindTabs;
extern HWND FilesList;
extern HWND FoldersList;
extern HWND FindErrorLog;

// The page's search state, null while there is no page.
FindState* FindPageState();
// True from a click on Search until its search thread has ended.
bool FindSearchThreadRunning();

// The shortcut menu for a right click at a point of the screen: the Files or
// Folders menu when the point is on a selected row of the current list, else
// null; overRow tells whether the point is on a row at all. The caller
// destroys the menu.
HMENU LoadFindShortcutMenu(POINT screen, bool& overRow);

// The Actions menu of a result tab with the items that cannot act greyed;
// null for another tab. The caller destroys it.
HMENU LoadFindActionsMenu(int tab);

}  // namespace tolvane
