#include "find/win32/locations_dialog.h"

#include <shellapi.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/user_interaction.h"
#include "common/win32/dialog_items.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

// The dialog's working copy, owned through the window's user data.
struct LocationsSession {
    LocationsSession(const LocationsDialogTarget& target, HWND dialog)
        : target(target), editor(*target.locations), prompter(dialog)
    {
    }

    LocationsDialogTarget target;
    LocationsEditor editor;
    WindowPrompter prompter;
};

LocationsSession* SessionOf(HWND dialog)
{
    return reinterpret_cast<LocationsSession*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

// The list box shows the working list in its order.
void ShowItems(HWND dialog, const LocationsSession& session)
{
    HWND list = GetDlgItem(dialog, IDC_LOCATIONS_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& path : session.editor.Box().Items())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<int> SelectedItems(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_LOCATIONS_LIST);
    const auto count = static_cast<int>(SendMessageA(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> selected(count > 0 ? count : 0);
    if (!selected.empty())
        SendMessageA(list, LB_GETSELITEMS, selected.size(), reinterpret_cast<LPARAM>(selected.data()));
    return selected;
}

void AddWithPicker(HWND dialog, LocationsSession& session)
{
    std::string folder;
    if (!PickFolder(dialog, folder, "Add a directory")) return;
    session.editor.Add(folder);
    ShowItems(dialog, session);
}

void AddDropped(HWND dialog, LocationsSession& session, HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT item = 0; item < count; ++item) {
        std::string path(DragQueryFileA(drop, item, nullptr, 0) + 1, '\0');
        path.resize(DragQueryFileA(drop, item, path.data(), static_cast<UINT>(path.size())));
        if (!path.empty()) session.editor.AddDropped(path);
    }
    DragFinish(drop);
    ShowItems(dialog, session);
}

void SaveItems(HWND dialog, LocationsSession& session)
{
    session.editor.Save(session.prompter, [dialog]() -> std::optional<std::string> {
        std::string path;
        if (!Interaction().AskFileName(dialog, FileDialogKind::SaveText, path)) return std::nullopt;
        return path;
    });
}

void LoadItems(HWND dialog, LocationsSession& session)
{
    std::string path;
    if (!Interaction().AskFileName(dialog, FileDialogKind::OpenText, path)) return;
    session.editor.Load(path, session.prompter);
    ShowItems(dialog, session);
}

void OnCommand(HWND dialog, LocationsSession& session, int id)
{
    switch (id) {
    case IDC_LOCATIONS_ADD: AddWithPicker(dialog, session); break;
    case IDC_LOCATIONS_DEL:
        session.editor.Delete(SelectedItems(dialog), session.prompter);
        ShowItems(dialog, session);
        break;
    case IDC_LOCATIONS_SAVE: SaveItems(dialog, session); break;
    case IDC_LOCATIONS_LOAD: LoadItems(dialog, session); break;
    case IDC_LOCATIONS_SUBFOLDERS:
        session.editor.SetIncludeSubfolders(IsChecked(dialog, IDC_LOCATIONS_SUBFOLDERS));
        ShowItems(dialog, session);
        break;
    case IDC_LOCATIONS_ACCEPT: {
        const std::string caption = session.editor.Accept(*session.target.locations, session.prompter);
        SetWindowTextA(session.target.button, caption.c_str());
        EndDialog(dialog, 1);
        break;
    }
    case IDC_LOCATIONS_DISCARD:
    case IDCANCEL: EndDialog(dialog, 0); break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK LocationsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LocationsSession* session = SessionOf(dialog);
    switch (message) {
    case WM_INITDIALOG: {
        const auto& target = *reinterpret_cast<const LocationsDialogTarget*>(lParam);
        auto owned = std::make_unique<LocationsSession>(target, dialog);
        session = owned.get();
        SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
        SetWindowTextA(dialog, target.title);
        CheckDlgButton(dialog, IDC_LOCATIONS_SUBFOLDERS,
                       target.locations->includeSubfolders ? BST_CHECKED : BST_UNCHECKED);
        ShowItems(dialog, *session);
        return TRUE;
    }
    case WM_DESTROY: {
        const std::unique_ptr<LocationsSession> owned(session);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        return TRUE;
    }
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_DROPFILES:
        if (session) AddDropped(dialog, *session, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_COMMAND:
        if (session && HIWORD(wParam) == BN_CLICKED) OnCommand(dialog, *session, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
