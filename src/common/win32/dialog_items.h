// Small reads of a dialog's controls that every dialog uses.
#pragma once

#include <windows.h>

namespace tolvane {

// True for a ticked box; an indeterminate three-state box is not ticked.
inline bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

}  // namespace tolvane
