// The Compare page's part in the main window: it answers the sheet's page
// notifications and routes the menu. Its own controls, run and lists come
// with the compare run.
#include "compare/win32/compare_page.h"

#include "app/main_sheet.h"

namespace tolvane {

INT_PTR CALLBACK ComparePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: comparePageWindow = page; return FALSE;
    case WM_DESTROY: comparePageWindow = nullptr; return TRUE;
    case WM_NOTIFY: return AnswerSheetNotification(page, ComparePageIndex, *reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: HandleMenuCommand(page, message, wParam); return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
