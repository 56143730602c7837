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
        return GetExitCodeProcess(info_.hProcess, &code) ? code : STILL_ACTIVE;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// The visible top-level windows with this title, with the processes that own them.
std::vector<std::pair<HWND, DWORD>> TitledWindows(const char* title)
{
    struct Search {
        const char* title;
        std::vector<std::pair<HWND, DWORD>> found;
    } search{title, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(parameter);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (IsWindowVisible(window) && WindowText(window) == search.title) search.found.emplace_back(window, process);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tool's window once the process shows it; null when it does not.
HWND WaitForToolOf(const ProgramProcess& process, const char* title)
{
    HWND tool = nullptr;
    PumpUntil([&] {
        for (const auto& [window, owner] : TitledWindows(title))
            if (owner == process.Id()) tool = window;
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
    ASSERT_EQ(TitledWindows(title).size(), 1u);

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
    EXPECT_EQ(TitledWindows(title).size(), 1u) << "no second tool";
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
        std::vector<std::pair<HWND, DWORD>> found;
        ASSERT_TRUE(PumpUntil([&] { return !(found = TitledWindows(title)).empty(); })) << title;
        ASSERT_EQ(found.size(), 1u);
        const auto [tool, owner] = found[0];
        EXPECT_NE(owner, program.Id()) << "the tool runs in a process of its own";
        EXPECT_NE(owner, GetCurrentProcessId());
        PostMessageA(tool, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(tool); }, std::chrono::seconds(10)));
    }
    PostMessageA(sheet, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(program.HasEnded(10000)) << "Exit ends the program";
}

}  // namespace
}  // namespace tolvane::test
