// The answers of the programs that drive the real windows unattended (the
// gallery, the list benchmark): every question Yes, the folder set beforehand
// once, no file name, and nothing shown, so that the driven window stays in front.
#pragma once

#include <string>

#include "app/user_interaction.h"

namespace tolvane {

class ScriptedAnswers : public UserInteraction {
public:
    int Message(HWND, const std::string&, const std::string&, unsigned style) override
    {
        return (style & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    bool PickFolder(HWND, std::string& path, const std::string&) override
    {
        if (folder.empty()) return false;
        path = folder;
        folder.clear();
        return true;
    }
    bool AskFileName(HWND, FileDialogKind, std::string&) override { return false; }

    std::string folder;
};

}  // namespace tolvane
