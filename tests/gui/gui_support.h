// Helpers of the GUI tests: a scripted stand-in for message boxes and common
// dialogs, a message pump, control readers, and the main window opened modelessly.
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
// Runs open(), whose click opens a modal dialog captioned title and returns
// when it has ended, and drives that dialog once it is up.
void WithModal(const std::string& title, std::function<void(HWND)> driver, const std::function<void()>& open);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
bool IsEnabledItem(HWND dialog, int id);
bool Checked(HWND dialog, int id);
void Click(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
// Sets a check box and tells its dialog, as a click does.
void CheckRow(HWND dialog, int id, bool checked = true);
// Selects a combo box item and tells its dialog, as a choice by hand does.
void Choose(HWND dialog, int id, int index);
std::vector<std::string> ListBoxItems(HWND listBox);
// A result list view's row count and cell, as its rows answer them.
int Rows(HWND list);
std::string Cell(HWND list, int row, int column);

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
