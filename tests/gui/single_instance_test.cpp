#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "gui_support.h"
#include "resource_ids.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane::test {
namespace {

// The built program, started as a process of its own.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::string& switches)
    {
        std::string commandLine = "\"" TOLVANE_PROGRAM "\" " + switches;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &info_) != FALSE;
    }
    ~ProgramProcess()
    {
        if (!started_) return;
        if (!HasEnded(0)) TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    bool HasEnded(DWORD milliseconds) const
    {
        return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

struct WindowSearch {
    const char* title;
    std::vector<HWND> found;
    std::vector<DWORD> owners;
};

BOOL CALLBACK CollectTitled(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    if (IsWindowVisible(window) && WindowText(window) == search.title) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        search.found.push_back(window);
        search.owners.push_back(process);
    }
    return TRUE;
}

// The visible top-level windows with this title and the processes that own them.
WindowSearch TitledWindows(const char* title)
{
    WindowSearch search{title, {}, {}};
    EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
    return search;
}

// The tool's window once the process shows it; null when it does not.
HWND WaitForToolOf(const ProgramProcess& process, const char* title)
{
    HWND tool = nullptr;
    PumpUntil([&] {
        const WindowSearch search = TitledWindows(title);
        for (size_t w = 0; w < search.found.size(); ++w)
            if (search.owners[w] == process.Id()) tool = search.found[w];
        return tool != nullptr;
    });
    return tool;
}

bool CloseTool(HWND tool, const ProgramProcess& process)
{
    PostMessageA(tool, WM_CLOSE, 0, 0);
    return process.HasEnded(10000);
}

class SingleInstanceTest : public GuiTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {
};

TEST_P(SingleInstanceTest, ASecondStartBringsTheOpenToolToTheFrontAndEnds)
{
    const char* switches = GetParam().first;
    const char* title = GetParam().second;
    ProgramProcess first(switches);
    ASSERT_TRUE(first.Started()) << TOLVANE_PROGRAM;
    HWND tool = WaitForToolOf(first, title);
    ASSERT_NE(tool, nullptr);
    ASSERT_EQ(TitledWindows(title).found, std::vector<HWND>{tool});

    // A window of this process in front, which the second start must undo.
    HWND cover = CreateWindowExA(0, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(cover);
    PumpMessages();
    EXPECT_EQ(GetForegroundWindow(), cover);

    ProgramProcess second(switches);
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(PumpUntil([&] { return second.HasEnded(0); }, std::chrono::seconds(10)));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(TitledWindows(title).found, std::vector<HWND>{tool});
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == tool; }, std::chrono::seconds(5)));
    DestroyWindow(cover);
    EXPECT_TRUE(CloseTool(tool, first)) << "the tool closes on WM_CLOSE";
}

INSTANTIATE_TEST_SUITE_P(Tools, SingleInstanceTest,
                         ::testing::Values(std::make_pair("-tnf", NewFoldersTitle),
                                           std::make_pair("-tcff", FakeFileTitle)));

using ToolStartTest = GuiTest;

TEST_F(ToolStartTest, AnotherWindowWithTheToolsTitleDoesNotKeepTheToolFromOpening)
{
    // Such as the folder window of a folder named "New Folders".
    HWND folderWindow = CreateWindowExA(0, "STATIC", NewFoldersTitle, WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                        nullptr, nullptr, nullptr, nullptr);
    ProgramProcess tool("-tnf");
    ASSERT_TRUE(tool.Started());
    HWND window = WaitForToolOf(tool, NewFoldersTitle);
    DestroyWindow(folderWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(CloseTool(window, tool));
}

TEST_F(ToolStartTest, ExtraToolsMenuStartsEachToolAsAProgramOfItsOwn)
{
    ProgramProcess program("");
    ASSERT_TRUE(program.Started());
    HWND sheet = WaitForToolOf(program, "Tolvane");
    ASSERT_NE(sheet, nullptr);
    for (const auto& [command, title] : {std::make_pair(IDM_NEW_FOLDERS, NewFoldersTitle),
                                         std::make_pair(IDM_CREATE_FAKE_FILE, FakeFileTitle)}) {
        PostMessageA(sheet, WM_COMMAND, command, 0);
        WindowSearch search;
        ASSERT_TRUE(PumpUntil([&] {
            search = TitledWindows(title);
            return !search.found.empty();
        })) << title;
        ASSERT_EQ(search.found.size(), 1u);
        EXPECT_NE(search.owners[0], program.Id()) << "the tool runs in a process of its own";
        EXPECT_NE(search.owners[0], GetCurrentProcessId());
        HWND tool = search.found[0];
        PostMessageA(tool, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(tool); }, std::chrono::seconds(10)));
    }
    PostMessageA(sheet, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(program.HasEnded(10000)) << "Exit ends the program";
}

}  // namespace
}  // namespace tolvane::test
