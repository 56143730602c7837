// The "About" box: version, thanks and licence pages under one tab control.
#pragma once

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The credit caption's text as drawn: one leading and two trailing blanks.
inline constexpr char CreditCaption[] = " Tolvane team  ";
inline constexpr UINT_PTR CreditTimerId = 1234;

}  // namespace tolvane
