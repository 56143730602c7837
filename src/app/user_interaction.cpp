#include "app/user_interaction.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/path.h"
#include "platform/win32/long_path.h"

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

        // The wide form with room for the longest path, in the program's code page.
        std::wstring chosen(32768, L'\0');
        std::string converted;
        const bool haveFolder = SHGetPathFromIDListEx(items, chosen.data(), static_cast<DWORD>(chosen.size()), GPFIDL_DEFAULT) &&
                                platform::ProgramFromWide(chosen.c_str(), converted);
        if (!haveFolder)
            Message(owner, "Operation failed", "SHGetPathFromIDList()", MB_ICONHAND);
        else
            path = converted;
        FreeItemList(items);
        return haveFolder;
    }

    bool AskFileName(HWND owner, FileDialogKind kind, std::string& path) override
    {
        // The filter is a list of NUL-terminated pairs ending with an empty text.
        static const char textFilter[] = "Text file (*.txt)\0*.txt\0";
        static const char anyFilter[] = "type a filename\0*.*\0";
        const bool anyFile = kind == FileDialogKind::SaveAnyFile;
        std::vector<char> name(platform::PathTextBufferSize, '\0');
        OPENFILENAMEA dialog{};
        dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = anyFile ? anyFilter : textFilter;
        dialog.lpstrFile = name.data();
        dialog.nMaxFile = static_cast<DWORD>(name.size());
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
        path = name.data();
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
