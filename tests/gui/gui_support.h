// Helpers of the GUI tests: a scripted stand-in for message boxes and common
// dialogs, a message pump, and the main window opened modelessly.
#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/user_interaction.h"

namespace tolvane::test {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    unsigned style;
};

// Records every box and answers questions, folder pickers and file dialogs
// from queues: an unexpected question gets No, an unexpected dialog Cancel.
class ScriptedInteraction : public UserInteraction {
public:
    int Message(HWND owner, const std::string& text, const std::string& caption, unsigned style) override;
    bool PickFolder(HWND owner, std::string& path, const std::string& title) override;
    bool AskFileName(HWND owner, FileDialogKind kind, std::string& path) override;

    std::vector<ShownBox> boxes;
    std::deque<int> answers;
    std::deque<std::string> folders;     // answers of the folder picker
    std::deque<std::string> fileNames;  // answers of the save and open dialogs
    std::vector<std::string> pickerTitles;
    std::vector<FileDialogKind> fileDialogs;
};

// Carries out the thread's pending messages.
void PumpMessages();
// Pumps until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsEnabledItem(HWND dialog, int id);
void Click(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);

// Each GUI test runs with the scripted interaction in force.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedInteraction script;
};

// The main window, opened modelessly as the program opens it modally.
class MainWindowTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The page shown in the sheet (null once the sheet has ended).
    HWND CurrentPage() const;

    HWND sheet = nullptr;
};

}  // namespace tolvane::test
