#include <utility>

#include "gui_support.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane::test {
namespace {

// The built program, started as a process of its own; ended with the test.
struct ProgramProcess {
    explicit ProgramProcess(const std::string& switches)
    {
        std::string commandLine = "\"" TOLVANE_PROGRAM "\" " + switches;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started =
            CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    ~ProgramProcess()
    {
        if (!started) return;
        if (!HasEnded(0)) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    bool HasEnded(DWORD timeout) const { return WaitForSingleObject(info.hProcess, timeout) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION info{};
    bool started = false;
};

// The visible top-level windows with this title, with the processes that own them.
std::vector<std::pair<HWND, DWORD>> TitledWindows(const char* title)
{
    std::pair<const char*, std::vector<std::pair<HWND, DWORD>>> search{title, {}};
    EnumWindows([](HWND window, LPARAM parameter) -> BOOL {
        auto& [wanted, found] = *reinterpret_cast<decltype(search)*>(parameter);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (IsWindowVisible(window) && WindowText(window) == wanted) found.emplace_back(window, process);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The window with this title once the process shows it; null when it does not.
HWND WaitForWindowOf(const ProgramProcess& process, const char* title)
{
    HWND tool = nullptr;
    PumpUntil([&] {
        for (const auto& [window, owner] : TitledWindows(title))
            if (owner == process.info.dwProcessId) tool = window;
        return tool != nullptr;
    });
    return tool;
}

class SingleInstanceTest : public GuiTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

// A window of this process with the tool's title (such as the folder window of a folder named "New Folders"),
// in front: it keeps neither the first start from opening the tool nor the second from bringing the tool up.
TEST_P(SingleInstanceTest, ASecondStartBringsTheOpenToolToTheFrontAndEnds)
{
    const auto [switches, title] = GetParam();
    HWND decoy =
        CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ProgramProcess first(switches);
    ASSERT_TRUE(first.started) << TOLVANE_PROGRAM;
    HWND tool = WaitForWindowOf(first, title);
    ASSERT_NE(tool, nullptr);
    SetForegroundWindow(decoy);
    PumpMessages();
    ProgramProcess second(switches);
    EXPECT_TRUE(PumpUntil([&] { return second.HasEnded(0); }, std::chrono::seconds(10)));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(second.info.hProcess, &code) && code == 0);
    EXPECT_EQ(TitledWindows(title).size(), 2u) << "the decoy and no second tool";
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == tool; }, std::chrono::seconds(5)));
    DestroyWindow(decoy);
    PostMessageA(tool, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.HasEnded(10000)) << "the tool closes on WM_CLOSE";
}

INSTANTIATE_TEST_SUITE_P(Tools, SingleInstanceTest,
                         ::testing::Values(std::pair("-tnf", NewFoldersTitle), std::pair("-tcff", FakeFileTitle)));

using ToolStartTest = GuiTest;

TEST_F(ToolStartTest, ExtraToolsMenuStartsEachToolAsAProgramOfItsOwn)
{
    ProgramProcess program("");
    HWND sheet = WaitForWindowOf(program, "Tolvane");
    ASSERT_NE(sheet, nullptr);
    const std::pair<int, const char*> commands[] = {{IDM_NEW_FOLDERS, NewFoldersTitle},
                                                    {IDM_CREATE_FAKE_FILE, FakeFileTitle}};
    for (const auto& [command, title] : commands) {
        PostMessageA(sheet, WM_COMMAND, command, 0);
        std::vector<std::pair<HWND, DWORD>> found;
        ASSERT_TRUE(PumpUntil([&] { return !(found = TitledWindows(title)).empty(); })) << title;
        ASSERT_EQ(found.size(), 1u);
        EXPECT_TRUE(found[0].second != program.info.dwProcessId && found[0].second != GetCurrentProcessId())
            << "the tool runs in a process of its own";
        PostMessageA(found[0].first, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(found[0].first); }, std::chrono::seconds(10)));
    }
    PostMessageA(sheet, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(program.HasEnded(10000)) << "Exit ends the program";
}

}  // namespace
}  // namespace tolvane::test
