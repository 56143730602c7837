// The New Folders dialog: collects the settings of a folder series, shows the
// first name on every change and creates the series.
#include <string>

#include "app/user_interaction.h"
#include "common/win32/dialog_items.h"
#include "platform/program.h"
#include "resource_ids.h"
#include "tools/new_folders.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane {
namespace {

constexpr const char* SequenceItems[] = {"Alphabetic upper case A-Z", "Alphabetic lower case a-z",
                                         "Arithmetic from 1 to"};
constexpr int DefaultCountIndex = 0;  // "10"
constexpr int NameTextLimit = 260;

// The text each name box held after its last check: what a refused paste
// falls back to. One dialog runs at a time, on the one interface thread.
struct NameBoxes {
    std::string acceptedPrefix;
    std::string acceptedSuffix;
};
NameBoxes nameBoxes;

int Selection(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

NewFoldersSettings ReadSettings(HWND dialog)
{
    NewFoldersSettings settings;
    settings.parentFolder = DialogItemText(dialog, IDC_NF_PARENT);
    settings.sequenceType = Selection(dialog, IDC_NF_SEQUENCE);
    settings.countIndex = Selection(dialog, IDC_NF_COUNT);
    settings.leadingZeros = IsChecked(dialog, IDC_NF_ZEROS);
    if (IsChecked(dialog, IDC_NF_PREFIX_ON)) settings.prefix = DialogItemText(dialog, IDC_NF_PREFIX);
    if (IsChecked(dialog, IDC_NF_SUFFIX_ON)) settings.suffix = DialogItemText(dialog, IDC_NF_SUFFIX);
    return settings;
}

void ShowPreview(HWND dialog) { SetDlgItemTextA(dialog, IDC_NF_PREVIEW, PreviewName(ReadSettings(dialog)).c_str()); }

// The count and the zeros mean something only for a numbered series.
void ApplySequenceRule(HWND dialog)
{
    const bool numbers = Selection(dialog, IDC_NF_SEQUENCE) == SequenceNumbers;
    EnableWindow(GetDlgItem(dialog, IDC_NF_COUNT), numbers);
    EnableWindow(GetDlgItem(dialog, IDC_NF_ZEROS), numbers);
}

// A cleared box is read-only and empty, so the name never carries stale text.
void ApplyNameBoxRule(HWND dialog, int checkBox, int edit)
{
    const bool ticked = IsChecked(dialog, checkBox);
    SendDlgItemMessageA(dialog, edit, EM_SETREADONLY, ticked ? FALSE : TRUE, 0);
    if (!ticked) SetDlgItemTextA(dialog, edit, "");
}

// Cleans the box just edited. Putting a changed text back starts a new check,
// so several bad characters go one by one, each with its message.
void CheckNameBox(HWND dialog, int edit)
{
    const bool prefix = edit == IDC_NF_PREFIX;
    std::string& accepted = prefix ? nameBoxes.acceptedPrefix : nameBoxes.acceptedSuffix;
    const std::string text = DialogItemText(dialog, edit);
    const size_t otherLength = DialogItemText(dialog, prefix ? IDC_NF_SUFFIX : IDC_NF_PREFIX).size();
    WindowPrompter prompter(dialog);
    const std::string checked =
        CheckNameText(text, accepted, DialogItemText(dialog, IDC_NF_PARENT).size(), otherLength, prompter);
    accepted = checked;
    if (checked != text) {
        SetDlgItemTextA(dialog, edit, checked.c_str());
        // Keep the caret at the end, where the user was typing.
        SendDlgItemMessageA(dialog, edit, EM_SETSEL, checked.size(), checked.size());
    }
}

void Initialise(HWND dialog)
{
    SetSmallIcon(dialog, IDI_NEW_FOLDERS);
    platform::GoToProgramFolder();
    std::string parent = platform::ProgramFolder();
    // Shown like a picked folder: without the separator, except at a drive root.
    if (parent.size() > 3 && (parent.back() == '\\' || parent.back() == '/')) parent.pop_back();
    SetDlgItemTextA(dialog, IDC_NF_PARENT, parent.c_str());

    for (const char* item : SequenceItems)
        SendDlgItemMessageA(dialog, IDC_NF_SEQUENCE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (int item = 0; item < CountItems; ++item)
        SendDlgItemMessageA(dialog, IDC_NF_COUNT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::to_string(10 * (item + 1)).c_str()));
    SendDlgItemMessageA(dialog, IDC_NF_SEQUENCE, CB_SETCURSEL, SequenceUpperCase, 0);
    SendDlgItemMessageA(dialog, IDC_NF_COUNT, CB_SETCURSEL, DefaultCountIndex, 0);
    SendDlgItemMessageA(dialog, IDC_NF_PREFIX, EM_LIMITTEXT, NameTextLimit, 0);
    SendDlgItemMessageA(dialog, IDC_NF_SUFFIX, EM_LIMITTEXT, NameTextLimit, 0);
    nameBoxes = {};
    ApplySequenceRule(dialog);
    ApplyNameBoxRule(dialog, IDC_NF_PREFIX_ON, IDC_NF_PREFIX);
    ApplyNameBoxRule(dialog, IDC_NF_SUFFIX_ON, IDC_NF_SUFFIX);
    ShowPreview(dialog);
}

void HandleCommand(HWND dialog, int id, int code)
{
    if (code == EN_UPDATE && (id == IDC_NF_PREFIX || id == IDC_NF_SUFFIX)) CheckNameBox(dialog, id);
    ShowPreview(dialog);
    switch (id) {
    case IDC_NF_SELECT_PARENT: {
        std::string parent;
        if (PickFolder(dialog, parent, "Select the parent directory"))
            SetDlgItemTextA(dialog, IDC_NF_PARENT, parent.c_str());
        break;
    }
    case IDC_NF_SEQUENCE:
        if (code == CBN_SELCHANGE) ApplySequenceRule(dialog);
        break;
    case IDC_NF_PREFIX_ON:
        if (code == BN_CLICKED) ApplyNameBoxRule(dialog, IDC_NF_PREFIX_ON, IDC_NF_PREFIX);
        break;
    case IDC_NF_SUFFIX_ON:
        if (code == BN_CLICKED) ApplyNameBoxRule(dialog, IDC_NF_SUFFIX_ON, IDC_NF_SUFFIX);
        break;
    case IDC_NF_CREATE:
        if (code == BN_CLICKED) {
            WindowPrompter prompter(dialog);
            CreateFolders(ReadSettings(dialog), prompter);
        }
        break;
    case IDC_NF_CLOSE:
        if (code == BN_CLICKED) EndDialog(dialog, 0);
        break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK NewFoldersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: Initialise(dialog); return TRUE;
    case WM_CTLCOLORSTATIC:
        return ToolStaticColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), IDC_NF_PARENT);
    case WM_COMMAND: HandleCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
