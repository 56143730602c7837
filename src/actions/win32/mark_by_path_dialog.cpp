// " Mark items by path": offers the folders of the target list's rows and
// marks exactly the rows that lie in the folders the user selects.
#include <string>
#include <vector>

#include "actions/marking.h"
#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/list_operations.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

ActionTarget* DialogTarget(HWND dialog)
{
    return reinterpret_cast<ActionTarget*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Inserting at a position keeps the row order although the box sorts.
void FillFolders(HWND dialog, const ActionTarget& target)
{
    HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    EnableWindow(folders, FALSE);
    int position = 0;
    for (const std::string& folder : FoldersToOffer(target))
        SendMessageA(folders, LB_INSERTSTRING, position++, reinterpret_cast<LPARAM>(folder.c_str()));
    EnableWindow(folders, TRUE);
}

std::string ItemText(HWND listBox, int item)
{
    const auto length = SendMessageA(listBox, LB_GETTEXTLEN, item, 0);
    if (length == LB_ERR) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void MarkChosenFolders(HWND dialog, ActionTarget& target)
{
    HWND folders = GetDlgItem(dialog, IDC_MARK_FOLDERS);
    const auto count = SendMessageA(folders, LB_GETSELCOUNT, 0, 0);
    if (count == LB_ERR) {
        // The marks are cleared first in every case, so the list never
        // keeps marks the user meant to replace.
        if (target.list) MarkNone(*target.list);
        ShowMessage(dialog, "Counting items failed", "Error", MB_ICONHAND);
        return;
    }
    std::vector<int> selected(static_cast<size_t>(count));
    if (count > 0)
        SendMessageA(folders, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(selected.data()));
    std::vector<std::string> chosen;
    chosen.reserve(selected.size());
    for (int item : selected) chosen.push_back(ItemText(folders, item));
    MarkByPath(target, chosen);
}

}  // namespace

INT_PTR CALLBACK MarkByPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (lParam) FillFolders(dialog, *reinterpret_cast<ActionTarget*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        if (LOWORD(wParam) == IDC_MARK_MARK) {
            if (ActionTarget* target = DialogTarget(dialog)) MarkChosenFolders(dialog, *target);
            EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDC_MARK_CANCEL || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

void RunMarkByPathDialog(HWND owner, ActionTarget& target)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_MARK_BY_PATH), owner, MarkByPathDialogProc,
                    reinterpret_cast<LPARAM>(&target));
}

}  // namespace tolvane
