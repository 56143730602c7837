// Opens the main window and, by the name given on the command line, one of its
// dialogs or a finished search, so that scripts/screenshot can take a picture:
// main, search, filters, attributes, locations, about, thanks, license, compare,
// compare-run (a finished compare with combined groups).
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_sheet.h"
#include "find/win32/find_page.h"
#include "resource_ids.h"
#include "scripted_answers.h"

namespace {

using namespace tolvane;

ScriptedAnswers quiet;
std::string shown;
int step = 0;
std::filesystem::path tree;

void WriteFile(const char* relative, size_t size, char fill = 'x')
{
    const std::filesystem::path path = tree / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

// A small tree in the temporary folder, made again on every run.
void MakeTree()
{
    tree = std::filesystem::temp_directory_path() / "tolvane-gallery";
    std::error_code ignored;
    std::filesystem::remove_all(tree, ignored);
    WriteFile("Projects/report.txt", 2048);
    WriteFile("Projects/notes.txt", 5);
    WriteFile("Projects/data/table.csv", 150000);
    WriteFile("Projects/data/old/table-2008.csv", 90000);
    WriteFile("Photos/holiday.jpg", 3 * 1048576);
    WriteFile("Photos/empty.jpg", 0);
    // Duplicates for the compare: same name and content, same content under
    // another name, same name and size with other content.
    WriteFile("Compare/Music/track01.mp3", 4194304, 'm');
    WriteFile("Compare/Backup/Music/track01.mp3", 4194304, 'm');
    WriteFile("Compare/Photos/beach.jpg", 2500000, 'p');
    WriteFile("Compare/Backup/Photos/beach.jpg", 2500000, 'p');
    WriteFile("Compare/Backup/beach copy.jpg", 2500000, 'p');
    WriteFile("Compare/Documents/letter.doc", 24576, 'a');
    WriteFile("Compare/Backup/Documents/letter.doc", 24576, 'b');
    WriteFile("Compare/Documents/todo.txt", 312, 't');
}

void StoreLocations()
{
    FindState& state = *FindPageState();
    state.locations.locationPaths = {(tree / "Photos").string(), (tree / "Projects").string()};
    state.locations.locationCount = 2;
    state.locations.locationsSpecified = true;
    state.locations.includeSubfolders = true;
    SetDlgItemTextA(findPageWindow, IDC_FIND_LOCATIONS, "Specified locations");
}

void Command(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }

void Click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

// The compare-run steps after the Compare page is shown: the match options
// that give the Combined list, the locations through their dialog, the run.
void CompareRunStep(int now)
{
    if (now == 1 && comparePageWindow) {
        for (int id : {IDC_MATCH_CONTENT, IDC_MATCH_NAME, IDC_COMBINED_RESULT}) Click(comparePageWindow, id);
        Command(comparePageWindow, IDC_COMPARE_LOCATIONS);
    } else if (now == 2) {
        if (HWND locations = FindWindowA(nullptr, " Compare - Specify locations")) {
            quiet.folder = (tree / "Compare").string();
            Click(locations, IDC_LOCATIONS_ADD);
            if (IsDlgButtonChecked(locations, IDC_LOCATIONS_SUBFOLDERS) != BST_CHECKED)
                Click(locations, IDC_LOCATIONS_SUBFOLDERS);
            Click(locations, IDC_LOCATIONS_ACCEPT);
        }
    } else if (now == 3 && comparePageWindow) {
        Click(comparePageWindow, IDC_COMPARE_BUTTON);
    }
}

void CALLBACK NextStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (!findPageWindow) return;
    const int now = step++;
    if (now == 0) {
        MakeTree();
        StoreLocations();
        if (shown == "search") Command(findPageWindow, IDC_FIND_SEARCH);
        if (shown == "filters" || shown == "attributes") Command(findPageWindow, IDC_FIND_FILTERS);
        if (shown == "locations") Command(findPageWindow, IDC_FIND_LOCATIONS);
        if (shown == "about" || shown == "thanks" || shown == "license") Command(findPageWindow, IDM_ABOUT);
        if (shown == "compare" || shown == "compare-run") Command(findPageWindow, IDM_SELECT_COMPARE);
    } else if (shown == "compare-run") {
        CompareRunStep(now);
    } else if (now == 1 && (shown == "thanks" || shown == "license")) {
        if (HWND about = FindWindowA(nullptr, "About"))
            SendDlgItemMessageA(about, IDC_ABOUT_TABS, TCM_SETCURFOCUS, shown == "thanks" ? 1 : 2, 0);
    } else if (now == 1 && shown == "attributes") {
        if (HWND filters = FindWindowA(nullptr, " Find - Specify filters")) {
            CheckDlgButton(filters, IDC_ATTRIBUTES_ON, BST_CHECKED);
            Command(filters, IDC_ATTRIBUTES_SELECT);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    appInstance = instance;
    shown = commandLine ? commandLine : "";
    InitProgramControls();
    SetInteraction(&quiet);
    SetTimer(nullptr, 0, 700, NextStep);
    RunMainSheet();
    ReleaseMainSheet();
    return 0;
}
