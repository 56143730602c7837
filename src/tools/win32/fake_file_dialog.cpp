// The Create fake file dialog: a path from the save dialog, a size and its
// unit, and the creation of the file.
#include <string>

#include "app/user_interaction.h"
#include "resource_ids.h"
#include "tools/fake_file.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane {
namespace {

constexpr const char* UnitItems[] = {"B", "kB", "MB", "GB"};

void Initialise(HWND dialog)
{
    SetSmallIcon(dialog, IDI_FAKE_FILE);
    for (const char* item : UnitItems)
        SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_SETCURSEL, UnitBytes, 0);
    SendDlgItemMessageA(dialog, IDC_FF_SIZE, EM_LIMITTEXT, SizeDigits, 0);
}

void ChoosePath(HWND dialog)
{
    std::string path;
    if (Interaction().AskFileName(dialog, FileDialogKind::SaveAnyFile, path))
        SetDlgItemTextA(dialog, IDC_FF_PATH, path.c_str());
}

void Create(HWND dialog)
{
    WindowPrompter prompter(dialog);
    const int unit = static_cast<int>(SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_GETCURSEL, 0, 0));
    // A created file needs a new choice of path; after a failure the path
    // stays, so the user can try again.
    if (CreateFakeFile(DialogItemText(dialog, IDC_FF_PATH), DialogItemText(dialog, IDC_FF_SIZE), unit, prompter))
        SetDlgItemTextA(dialog, IDC_FF_PATH, "");
}

}  // namespace

INT_PTR CALLBACK FakeFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: Initialise(dialog); return TRUE;
    case WM_CTLCOLORSTATIC:
        return ToolStaticColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), IDC_FF_PATH);
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_FF_SAVE_AS: ChoosePath(dialog); break;
        case IDC_FF_CREATE: Create(dialog); break;
        case IDC_FF_CLOSE: EndDialog(dialog, 0); break;
        default: return FALSE;
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
