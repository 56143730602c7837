// Message boxes and the system's common dialogs as the windows use them. The
// program shows the real ones; GUI tests install a script in their place so
// that they can answer questions and see every text shown.
#pragma once

#include <windows.h>

#include <string>

#include "common/prompter.h"

namespace tolvane {

// SaveAnyFile: any name, no default extension (Create fake file).
enum class FileDialogKind { SaveText, OpenText, SaveAnyFile };

class UserInteraction {
public:
    virtual ~UserInteraction() = default;
    // MessageBoxA owned by owner; returns the button pressed.
    virtual int Message(HWND owner, const std::string& text, const std::string& caption, unsigned style) = 0;
    // The folder picker: true with the chosen folder in path, false (path
    // unchanged) when nothing was chosen.
    virtual bool PickFolder(HWND owner, std::string& path, const std::string& title) = 0;
    // The save or open dialog: true with the full name in path.
    virtual bool AskFileName(HWND owner, FileDialogKind kind, std::string& path) = 0;
};

// The interaction in force: the system's, unless a test replaced it.
UserInteraction& Interaction();
// Replaces the interaction; nullptr restores the system's.
void SetInteraction(UserInteraction* replacement);

inline int ShowMessage(HWND owner, const std::string& text, const std::string& caption, unsigned style)
{
    return Interaction().Message(owner, text, caption, style);
}

// The system's text for the calling thread's last error, with the stop icon.
void ShowSystemError(HWND owner, const std::string& caption);

// Lets the user choose a folder; true with its path in path.
bool PickFolder(HWND owner, std::string& path, const std::string& title);

// The prompter port on message boxes owned by one window.
class WindowPrompter : public Prompter {
public:
    explicit WindowPrompter(HWND owner) : owner_(owner) {}
    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        return ShowMessage(owner_, text, caption, style);
    }

private:
    HWND owner_;
};

}  // namespace tolvane
