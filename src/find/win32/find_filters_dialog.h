// The " Find - Specify filters" dialog and its " Attributes" dialog.
#pragma once

#include <windows.h>

#include "find/criteria.h"

namespace tolvane {

// What the filters dialog edits, given as its creation parameter.
struct FindFiltersTarget {
    SearchCriteria* criteria;
    HWND page;  // the Find page: its target choice is read, its filters button captioned
};

// Ends the dialog with 1 after Accept, 0 after Discard or closing.
INT_PTR CALLBACK FindFiltersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What the attributes dialog edits: the flags (stored at OK) and the summary
// edit of the dialog that opened it.
struct AttributesTarget {
    SearchCriteria* criteria;
    HWND summaryEdit;
};

INT_PTR CALLBACK AttributesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The summary words of the set flags in index order; "temporary " and
// "sparse " are left out for folders, "reparse" for files.
std::string AttributeSummary(const AttributeFlags& flags, SearchTarget target);

}  // namespace tolvane
