// The " Compare - Specify filters" dialog and its " Attributes" dialog, which
// edit the Compare page's rules: extension, size, date and attributes.
#pragma once

#include <windows.h>

#include "compare/compare_criteria.h"

namespace tolvane {

// What the filters dialog edits, given as its creation parameter.
struct CompareFiltersTarget {
    CompareCriteria* criteria;  // changed by Accept, and by the attributes dialog's OK
    HWND button;                // the page's filters button, captioned at Accept
};

// Ends the dialog with 1 after Accept, 0 after Discard or closing.
INT_PTR CALLBACK CompareFiltersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Given the criteria as its creation parameter; its owner is the filters
// dialog, whose summary it rewrites at OK.
INT_PTR CALLBACK CompareAttributesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane
