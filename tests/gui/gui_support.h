// What the GUI tests share: scripted message boxes and common dialogs, a message pump, control readers,
// and the main window opened modelessly.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "resource_ids.h"
#include "support/temp_folder.h"

namespace tolvane::test {

namespace fs = std::filesystem;

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
};

// Records every box and answers from queues: an unexpected question gets No, an unexpected dialog Cancel.
class ScriptedInteraction : public UserInteraction {
public:
    int Message(HWND owner, const std::string& text, const std::string& caption, unsigned style) override;
    bool PickFolder(HWND, std::string& path, const std::string&) override { return Next(folders, path); }
    bool AskFileName(HWND, FileDialogKind, std::string& path) override { return Next(fileNames, path); }

    std::vector<ShownBox> boxes;
    std::deque<int> answers;
    std::deque<std::string> folders;
    std::deque<std::string> fileNames;

private:
    template <typename T>
    static bool Next(std::deque<T>& queue, T& value)
    {
        if (queue.empty()) return false;
        value = queue.front();
        queue.pop_front();
        return true;
    }
};

void PumpMessages();
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));

std::string WindowText(HWND window);
inline std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
inline bool IsShown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
inline bool IsEnabledItem(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void SetItemText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }
// Sets a check box or chooses a combo box item, and tells the dialog as a hand does.
void CheckRow(HWND dialog, int id, bool checked = true);
void Choose(HWND dialog, int id, int index);
std::vector<std::string> ListBoxItems(HWND listBox);
// One character per control, 1 where test holds for it: "0110".
std::string Flags(HWND dialog, std::initializer_list<int> ids, bool (*test)(HWND, int));
// A result list view's rows as the control counts them; Names gives one column sorted, "a b* c " (b marked).
int Rows(HWND list);
std::string Names(HWND list, int column);
// Whether the menu's first submenu greys the command; frees the menu.
bool Greyed(HMENU menu, UINT id);

// Each GUI test runs with the scripted interaction in force.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A dialog of the program, modeless so that the test drives it, shown as the modal loop shows it.
    HWND OpenDialog(int id, DLGPROC procedure, HWND owner = nullptr, const void* target = nullptr);
    // A stand-in top-level window: an owner, a button that shows a caption, a window with a title.
    HWND Window(const char* className, const char* text, DWORD style = WS_POPUP);

    ScriptedInteraction script;
    std::vector<HWND> windows;  // what OpenDialog and Window made, destroyed with the test
};

// The main window, opened modelessly as the program opens it modally.
class MainWindowTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;
    HWND CurrentPage() const;  // null once the sheet has ended

    HWND sheet = nullptr;
};

}  // namespace tolvane::test
