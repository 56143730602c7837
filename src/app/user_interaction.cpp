#include "app/user_interaction.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

#include "platform/error.h"

namespace tolvane {
namespace {

// Releases an item list of the folder picker with the shell's allocator.
void FreeItemList(LPITEMIDLIST items)
{
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
}

class SystemInteraction : public UserInteraction {
public:
    int Message(HWND owner, const std::string& text, const std::string& caption, unsigned style) override
    {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
    }

    bool PickFolder(HWND owner, std::string& path, const std::string& title) override
    {
        char displayName[MAX_PATH] = {};
        BROWSEINFOA browse{};
        browse.hwndOwner = owner;
        browse.pszDisplayName = displayName;
        browse.lpszTitle = title.c_str();
        browse.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST items = SHBrowseForFolderA(&browse);
        if (!items) return false;

        char chosen[MAX_PATH] = {};
        const bool haveFolder = SHGetPathFromIDListA(items, chosen) != FALSE;
        if (!haveFolder)
            Message(owner, "Operation failed", "SHGetPathFromIDList()", MB_ICONHAND);
        else
            path = chosen;
        FreeItemList(items);
        return haveFolder;
    }

    bool AskFileName(HWND owner, FileDialogKind kind, std::string& path) override
    {
        // The filter is a list of NUL-terminated pairs ending with an empty text.
        static const char textFilter[] = "Text file (*.txt)\0*.txt\0";
        static const char anyFilter[] = "type a filename\0*.*\0";
        const bool anyFile = kind == FileDialogKind::SaveAnyFile;
        char name[MAX_PATH] = {};
        OPENFILENAMEA dialog{};
        dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = anyFile ? anyFilter : textFilter;
        dialog.lpstrFile = name;
        dialog.nMaxFile = MAX_PATH;
        dialog.lpstrDefExt = anyFile ? nullptr : "txt";
        BOOL chosen = FALSE;
        if (kind != FileDialogKind::OpenText) {
            dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
            chosen = GetSaveFileNameA(&dialog);
        } else {
            dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
            chosen = GetOpenFileNameA(&dialog);
        }
        if (!chosen) return false;
        path = name;
        return true;
    }
};

SystemInteraction systemInteraction;
UserInteraction* currentInteraction = &systemInteraction;

}  // namespace

UserInteraction& Interaction() { return *currentInteraction; }

void SetInteraction(UserInteraction* replacement)
{
    currentInteraction = replacement ? replacement : &systemInteraction;
}

void ShowSystemError(HWND owner, const std::string& caption)
{
    ShowMessage(owner, platform::SystemErrorText(platform::LastError()), caption, MB_ICONHAND);
}

bool PickFolder(HWND owner, std::string& path, const std::string& title)
{
    return Interaction().PickFolder(owner, path, title);
}

}  // namespace tolvane
