// The " Specify locations" dialog of a task page.
#pragma once

#include <windows.h>

#include "find/locations.h"

namespace tolvane {

// What the dialog edits, given as its creation parameter.
struct LocationsDialogTarget {
    LocationList* locations;  // the page's list, changed only by Accept
    HWND button;              // the page's locations button, captioned at Accept
    const char* title;        // " Find - Specify locations" or " Compare - Specify locations"
};

// Ends the dialog with 1 after Accept, 0 after Discard or closing.
INT_PTR CALLBACK LocationsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane
