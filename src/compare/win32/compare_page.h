// The Compare page of the main window.
#pragma once

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK ComparePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane
