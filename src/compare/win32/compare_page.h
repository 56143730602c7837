// The Compare page of the main window: its option boxes, the filters and
// locations buttons, the Compare button that starts, cancels and resets a
// run, the status line and progress bar, and the seven result lists under
// their tabs with an Actions menu each.
#pragma once

#include <windows.h>

#include "compare/compare_run.h"

namespace tolvane {

// The tab control and its list views in tab order (the six result lists,
// then the error log); null while the page does not exist.
extern HWND CompareTabs;
extern HWND CompareListViews[CompareTabCount];

INT_PTR CALLBACK ComparePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The Actions menu of a tab with the items that cannot apply greyed; the
// caller shows its first popup and destroys it. Null for a tab out of range
// or when the menu cannot be loaded.
HMENU LoadCompareActionsMenu(int tab);

// True from the start of a compare worker until it has ended, also while it
// only checks whether it can start.
bool CompareWorkerActive();

}  // namespace tolvane
