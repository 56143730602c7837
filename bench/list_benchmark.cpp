// Drives the real Compare page over a tree of duplicate pairs and prints how
// long the result lists take: writing them after the engine has ended, the
// marking commands, and a "Delete marked" of half the rows with the time after
// its last file apart; then the working set. scripts/bench-lists builds and
// runs it under Wine:
//   tolvane-list-benchmark.exe FILES SCRATCH-FOLDER [nodelete]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/main_sheet.h"
#include "compare/win32/compare_page.h"
#include "resource_ids.h"
#include "scripted_answers.h"

namespace {

using namespace tolvane;
using Clock = std::chrono::steady_clock;

ScriptedAnswers interaction;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

std::string Text(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

void PumpUntil(const std::function<bool()>& done)
{
    MSG message;
    while (!done()) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

double WorkingSetMb(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / 1048576.0;
}

// files small files in folders of 1,000, in pairs of equal content; the sizes
// spread the pairs over many size groups, as real files do.
void MakeTree(const std::filesystem::path& root, int files)
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    for (int file = 0; file < files; ++file) {
        const int pair = file / 2;
        const std::filesystem::path folder = root / ("d" + std::to_string(file / 1000));
        if (file % 1000 == 0) std::filesystem::create_directories(folder);
        std::string content = std::to_string(pair);
        content.resize(16 + static_cast<size_t>(pair % 4000), 'x');
        std::ofstream(folder / ("f" + std::to_string(file) + ".txt"), std::ios::binary) << content;
    }
}

// Fills in the locations dialog while it runs its own message loop.
void CALLBACK FillLocations(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA(nullptr, " Compare - Specify locations");
    if (!dialog) return;
    KillTimer(nullptr, timer);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ADD, BM_CLICK, 0, 0);
    if (IsDlgButtonChecked(dialog, IDC_LOCATIONS_SUBFOLDERS) != BST_CHECKED)
        SendDlgItemMessageA(dialog, IDC_LOCATIONS_SUBFOLDERS, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ACCEPT, BM_CLICK, 0, 0);
}

// The last moment the delete's progress dialog was seen, and its counter
// then: after the last file, what follows is the list work (to within a
// timer tick).
Clock::time_point lastSeen;
std::string lastCounter;

void CALLBACK WatchDeleteCounter(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND dialog = FindWindowA(nullptr, " Deleting...")) {
        lastSeen = Clock::now();
        lastCounter = ItemText(dialog, IDC_DEL_COUNTER);
    }
}

double TimeCommand(HWND page, int id)
{
    const auto start = Clock::now();
    SendMessageA(page, WM_COMMAND, id, 0);
    for (HWND list : CompareListViews) UpdateWindow(list);
    return Seconds(Clock::now() - start);
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int Run(int files, const std::filesystem::path& scratch, bool withDelete)
{
    const std::filesystem::path tree = scratch / "tree";
    std::printf("tree of %d files in %s\n", files, tree.string().c_str());
    MakeTree(tree, files);

    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[2];
    FillMainSheet(header, pages);
    header.dwFlags |= PSH_MODELESS;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    ShowWindow(sheet, SW_SHOW);
    HWND findPage = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HandleMenuCommand(findPage, WM_COMMAND, IDM_SELECT_COMPARE);
    PumpUntil([] { return comparePageWindow != nullptr; });
    HWND page = comparePageWindow;
    if (IsDlgButtonChecked(page, IDC_MATCH_CONTENT) != BST_CHECKED)
        SendDlgItemMessageA(page, IDC_MATCH_CONTENT, BM_CLICK, 0, 0);
    interaction.folder = tree.string();
    SetTimer(nullptr, 0, 50, FillLocations);
    SendMessageA(page, WM_COMMAND, IDC_COMPARE_LOCATIONS, 0);

    const double before = WorkingSetMb(false);
    const auto start = Clock::now();
    Clock::time_point writing;
    SendDlgItemMessageA(page, IDC_COMPARE_BUTTON, BM_CLICK, 0, 0);
    PumpUntil([&] {
        if (writing == Clock::time_point() && ItemText(page, IDC_COMPARE_STATUS) == "Writing result...")
            writing = Clock::now();
        return !CompareWorkerActive() && ItemText(page, IDC_COMPARE_BUTTON) == "Reset";
    });
    const auto reset = Clock::now();
    HWND content = CompareListViews[static_cast<int>(CompareTab::Content)];
    const int rows = Rows(content);
    std::printf("Compare to \"Reset\": %.2f s, of which writing %d rows in Same content: %.3f s\n",
                Seconds(reset - start), rows, Seconds(reset - writing));
    std::printf("working set: %.1f MB before, %.1f MB after (%.0f bytes a row, records included), peak %.1f MB\n",
                before, WorkingSetMb(false), (WorkingSetMb(false) - before) * 1048576.0 / (rows ? rows : 1),
                WorkingSetMb(true));

    SendMessageA(CompareTabs, TCM_SETCURSEL, static_cast<int>(CompareTab::Content), 0);
    NMHDR change{CompareTabs, IDC_COMPARE_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(page, WM_NOTIFY, IDC_COMPARE_TABS, reinterpret_cast<LPARAM>(&change));
    std::printf("\"Mark all\": %.3f s\n", TimeCommand(page, IDM_COMPARE_MARK_ALL));
    std::printf("\"Invert marks\": %.3f s\n", TimeCommand(page, IDM_COMPARE_INVERT_MARKS));
    std::printf("\"Mark all but first\": %.3f s\n", TimeCommand(page, IDM_COMPARE_MARK_ALL_BUT_FIRST));

    if (withDelete) {
        int marked = 0;
        for (int row = 0; row < rows; ++row) marked += ListView_GetCheckState(content, row) ? 1 : 0;
        const UINT_PTR watch = SetTimer(nullptr, 0, 1, WatchDeleteCounter);
        const auto deleteStart = Clock::now();
        SendMessageA(page, WM_COMMAND, IDM_COMPARE_DELETE_MARKED, 0);
        for (HWND list : CompareListViews) UpdateWindow(list);
        const auto deleteEnd = Clock::now();
        KillTimer(nullptr, watch);
        // The pairs left with one file are pruned too, so no row is left.
        std::printf("\"Delete marked\" of %d rows: %.2f s; %.3f s after the progress dialog last read \"%s\"; "
                    "%d rows left\n",
                    marked, Seconds(deleteEnd - deleteStart), Seconds(deleteEnd - lastSeen), lastCounter.c_str(),
                    Rows(content));
    }
    std::printf("peak working set: %.1f MB\n", WorkingSetMb(true));

    DestroyWindow(sheet);
    ReleaseMainSheet();
    std::error_code ignored;
    std::filesystem::remove_all(tree, ignored);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tolvane-list-benchmark FILES SCRATCH-FOLDER [nodelete]\n");
        return 2;
    }
    appInstance = GetModuleHandleA(nullptr);
    InitProgramControls();
    SetInteraction(&interaction);
    const int result = Run(std::atoi(argv[1]), argv[2], argc < 4 || std::string(argv[3]) != "nodelete");
    SetInteraction(nullptr);
    std::fflush(stdout);
    return result;
}
