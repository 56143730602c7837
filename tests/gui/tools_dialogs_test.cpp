#include <utility>

#include "gui_support.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane::test {
namespace {

void Type(HWND dialog, int edit, const std::string& keys)
{
    for (char key : keys) SendDlgItemMessageA(dialog, edit, WM_CHAR, static_cast<WPARAM>(key), 0);
}

TEST_F(GuiTest, NewFoldersAndFakeFileMakeWhatTheyAreAskedFor)
{
    TempFolder temp;
    HWND dialog = OpenDialog(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "A");
    Choose(dialog, IDC_NF_SEQUENCE, 2);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_NF_COUNT));
    Choose(dialog, IDC_NF_COUNT, 9);
    Click(dialog, IDC_NF_ZEROS);
    Click(dialog, IDC_NF_PREFIX_ON);
    Type(dialog, IDC_NF_PREFIX, "i:mg_");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "img_001");
    Click(dialog, IDC_NF_PREFIX_ON);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW) + ItemText(dialog, IDC_NF_PREFIX), "001") << "a cleared box empties";
    Choose(dialog, IDC_NF_SEQUENCE, 1);
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NF_ZEROS) || IsEnabledItem(dialog, IDC_NF_COUNT));
    // Parent 190 + suffix 2: the prefix edit takes 7 more characters, not 8.
    SetItemText(dialog, IDC_NF_PARENT, std::string(190, 'p'));
    Click(dialog, IDC_NF_SUFFIX_ON);
    Type(dialog, IDC_NF_SUFFIX, "ab");
    Click(dialog, IDC_NF_PREFIX_ON);
    Type(dialog, IDC_NF_PREFIX, "0123456789");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREFIX), "0123456");

    temp.MakeFolder("p");
    script.folders.push_back(temp.PathOf("p"));
    Click(dialog, IDC_NF_SELECT_PARENT);
    Click(dialog, IDC_NF_PREFIX_ON);
    Click(dialog, IDC_NF_CREATE);
    EXPECT_TRUE(fs::is_directory(temp.PathOf("p/aab")) && fs::is_directory(temp.PathOf("p/zab")));

    // Create Fake File makes the chosen size at the path of its Save As dialog.
    dialog = OpenDialog(IDD_FAKE_FILE, FakeFileDialogProc);
    script.fileNames.push_back(temp.PathOf("fake.bin"));
    Click(dialog, IDC_FF_SAVE_AS);
    SetItemText(dialog, IDC_FF_SIZE, "5");
    SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_SETCURSEL, 1, 0);
    Click(dialog, IDC_FF_CREATE);
    EXPECT_TRUE(fs::file_size(temp.PathOf("fake.bin")) == 5u * 1024 && ItemText(dialog, IDC_FF_PATH).empty());
}

// The built program, started as a process of its own; ended with the test.
struct ProgramProcess {
    explicit ProgramProcess(const std::string& switches)
    {
        std::string commandLine = "\"" TOLVANE_PROGRAM "\" " + switches;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    ~ProgramProcess()
    {
        if (!info.hProcess) return;
        if (!HasEnded(0)) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    bool HasEnded(DWORD timeout) const { return WaitForSingleObject(info.hProcess, timeout) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION info{};
};

// The visible top-level windows with this title, with the processes that own them.
std::vector<std::pair<HWND, DWORD>> TitledWindows(const char* title)
{
    std::vector<std::pair<HWND, DWORD>> found;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, title));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (IsWindowVisible(window)) found.emplace_back(window, process);
    }
    return found;
}

struct ToolStart {
    int command;
    const char* switches;
    const char* title;
};

class ToolStartTest : public GuiTest, public ::testing::WithParamInterface<ToolStart> {};

// A window of this process with the tool's title (such as the folder window of a folder named "New Folders"),
// in front: it keeps neither the menu's start from opening the tool nor a second start from bringing it up.
TEST_P(ToolStartTest, TheMenuStartsTheToolAsAProgramOfItsOwnAndASecondStartBringsItToTheFront)
{
    const auto [command, switches, title] = GetParam();
    HWND decoy = Window("STATIC", title, WS_POPUP | WS_VISIBLE);
    ProgramProcess program("");
    std::vector<std::pair<HWND, DWORD>> found;
    ASSERT_TRUE(PumpUntil([&] { return (found = TitledWindows("Tolvane")).size() == 1; })) << TOLVANE_PROGRAM;
    HWND sheet = found[0].first;
    PostMessageA(sheet, WM_COMMAND, command, 0);
    ASSERT_TRUE(PumpUntil([&] { return (found = TitledWindows(title)).size() == 2; })) << "the decoy and the tool";
    const auto [tool, owner] = found[0].first == decoy ? found[1] : found[0];
    EXPECT_NE(owner, program.info.dwProcessId) << "the tool runs in a process of its own";
    SetForegroundWindow(decoy);
    PumpMessages();
    ProgramProcess second(switches);
    EXPECT_TRUE(PumpUntil([&] { return second.HasEnded(0); }, std::chrono::seconds(10)));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(second.info.hProcess, &code) && code == 0);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == tool; }, std::chrono::seconds(5)));
    const HANDLE toolProcess = OpenProcess(SYNCHRONIZE, FALSE, owner);
    PostMessageA(tool, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(toolProcess, 10000), WAIT_OBJECT_0) << "the tool closes on WM_CLOSE";
    CloseHandle(toolProcess);
    PostMessageA(sheet, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(program.HasEnded(10000)) << "Exit ends the program";
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolStartTest,
                         ::testing::Values(ToolStart{IDM_NEW_FOLDERS, "-tnf", NewFoldersTitle},
                                           ToolStart{IDM_CREATE_FAKE_FILE, "-tcff", FakeFileTitle}),
                         [](const auto& info) { return std::string(info.param.switches + 1); });

}  // namespace
}  // namespace tolvane::test
