#include "app/main_sheet.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/about_dialog.h"
#include "app/user_interaction.h"
#include "compare/win32/compare_page.h"
#include "find/win32/find_page.h"
#include "platform/program.h"
#include "resource_ids.h"

namespace tolvane {

HINSTANCE appInstance = nullptr;
HWND sheetWindow = nullptr;
HWND sheetTabs = nullptr;
HWND findPageWindow = nullptr;
HWND comparePageWindow = nullptr;
HHOOK sheetHook = nullptr;
HFONT buttonFont = nullptr;
HIMAGELIST tabImages = nullptr;
int32_t pageSwitching = 0;
int32_t closeState = CloseStateNone;
int32_t currentPage = FindPageIndex;

namespace {

// The Apply button of a property sheet.
constexpr int ApplyButtonId = 12321;
// SC_MOUSEMENU with HTSYSMENU: the window's icon pressed with the mouse.
constexpr WPARAM SystemIconPressed = 0xF093;

constexpr const char* CommandLineHelp =
    "command line options (case sensitive)\n\n"
    "\t<none>\trun the \"Tolvane\"\n"
    "\t-tnf\trun the \"New Folders\" tool\n"
    "\t-tcff\trun the \"Create fake file\" tool";

void ShowSetupError(HWND page, const char* text)
{
    ShowMessage(page, text, "Error", MB_ICONHAND);
    PostQuitMessage(0);
}

void Place(HWND window, int x, int y, int width, int height)
{
    SetWindowPos(window, nullptr, x, y, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Resize(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ClientRect(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

// Places the sheet's tabs, the page, the page's result tabs (at top) and the
// list views on those tabs, each from the client size of the one before.
void LayoutPage(HWND page, int resultTabsId, int top)
{
    if (!sheetWindow || !sheetTabs || !page) return;
    RECT client = ClientRect(sheetWindow);
    Place(sheetTabs, 1, 0, client.right, client.bottom);
    client = ClientRect(sheetTabs);
    Resize(page, client.right - 9, client.bottom - 27);

    HWND resultTabs = GetDlgItem(page, resultTabsId);
    if (!resultTabs) return;
    client = ClientRect(page);
    Place(resultTabs, 0, top, client.right, client.bottom - top - 2);
    client = ClientRect(resultTabs);
    for (HWND list = FindWindowExA(resultTabs, nullptr, WC_LISTVIEWA, nullptr); list;
         list = FindWindowExA(resultTabs, list, WC_LISTVIEWA, nullptr))
        Place(list, 1, 22, client.right - 4, client.bottom - 25);
}

// Starts the program again with a tool's switch.
void StartTool(const char* switchText)
{
    const std::string program = platform::ProgramPath();
    if (program.empty()) return;
    ShellExecuteA(nullptr, nullptr, program.c_str(), switchText, nullptr, SW_SHOWNORMAL);
}

}  // namespace

StartTask ChooseStartTask(const char* commandLine)
{
    if (!commandLine || !*commandLine) return StartTask::MainWindow;
    if (std::strstr(commandLine, "-tnf")) return StartTask::NewFolders;
    if (std::strstr(commandLine, "-tcff")) return StartTask::CreateFakeFile;
    return StartTask::MainWindow;
}

void InitProgramControls()
{
    InitCommonControls();
    // The date and time pickers of the filters dialog are registered only on request.
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
}

void FillMainSheet(PROPSHEETHEADERA& header, PROPSHEETPAGEA (&pages)[2])
{
    static const char* const titles[2] = {"Find", "Compare"};
    static const int templates[2] = {IDD_FIND_PAGE, IDD_COMPARE_PAGE};
    static const DLGPROC procedures[2] = {FindPageProc, ComparePageProc};
    for (int page = 0; page < 2; ++page) {
        pages[page] = PROPSHEETPAGEA{};
        pages[page].dwSize = sizeof(PROPSHEETPAGEA);
        pages[page].dwFlags = PSP_USETITLE | PSP_USEICONID;
        pages[page].hInstance = appInstance;
        pages[page].pszTemplate = MAKEINTRESOURCEA(templates[page]);
        pages[page].pszIcon = MAKEINTRESOURCEA(IDI_PROGRAM_SMALL);
        pages[page].pszTitle = titles[page];
        pages[page].pfnDlgProc = procedures[page];
    }
    header = PROPSHEETHEADERA{};
    header.dwSize = sizeof(PROPSHEETHEADERA);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_USECALLBACK;
    header.hInstance = appInstance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_PROGRAM_SMALL);
    header.pszCaption = "Tolvane";
    header.nPages = 2;
    header.nStartPage = FindPageIndex;
    header.ppsp = pages;
    header.pfnCallback = MainSheetCallback;
}

void RunMainSheet()
{
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[2];
    FillMainSheet(header, pages);
    PropertySheetA(&header);
}

int CALLBACK MainSheetCallback(HWND, UINT message, LPARAM dialogTemplate)
{
    if (message != PSCB_PRECREATE || !dialogTemplate) return 0;
    // An extended template starts with the words 1 and 0xFFFF, then the help
    // id and the extended style before its style; a plain one starts with its style.
    auto* bytes = reinterpret_cast<unsigned char*>(dialogTemplate);
    WORD signature;
    std::memcpy(&signature, bytes + 2, sizeof signature);
    unsigned char* styleField = signature == 0xFFFF ? bytes + 12 : bytes;
    DWORD style;
    std::memcpy(&style, styleField, sizeof style);
    style |= WS_THICKFRAME;
    std::memcpy(styleField, &style, sizeof style);
    return 0;
}

void AttachToSheet(HWND findPage)
{
    sheetWindow = GetParent(findPage);
    if (!sheetWindow) ShowSetupError(findPage, "parent handle failed");

    sheetTabs = reinterpret_cast<HWND>(SendMessageA(sheetWindow, PSM_GETTABCONTROL, 0, 0));
    if (!sheetTabs) ShowSetupError(findPage, "tab control handle failed");

    sheetHook = SetWindowsHookExA(WH_CALLWNDPROC, SheetMessageHook, nullptr,
                                  GetWindowThreadProcessId(sheetWindow, nullptr));
    if (!sheetHook) ShowSetupError(findPage, "internal hook failed");

    if (buttonFont) DeleteObject(buttonFont);
    buttonFont = CreateFontA(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    pageSwitching = 0;
    closeState = CloseStateNone;
    InitMainSheet();
}

void InitMainSheet()
{
    SetWindowLongPtrA(sheetWindow, GWL_STYLE, WS_OVERLAPPEDWINDOW | DS_CENTER);
    SendMessageA(sheetWindow, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_PROGRAM_BIG))));
    for (int button : {IDOK, ApplyButtonId, IDCANCEL})
        if (HWND window = GetDlgItem(sheetWindow, button)) DestroyWindow(window);
    SetMenu(sheetWindow, LoadMenuA(appInstance, MAKEINTRESOURCEA(IDM_MAIN_MENU)));

    const LONG_PTR tabStyle = GetWindowLongPtrA(sheetTabs, GWL_STYLE);
    SetWindowLongPtrA(sheetTabs, GWL_STYLE, tabStyle ^ TCS_MULTILINE);

    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    if (images) {
        for (int icon : {IDI_FIND_TAB, IDI_COMPARE_TAB}) {
            auto handle = static_cast<HICON>(
                LoadImageA(appInstance, MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
            ImageList_ReplaceIcon(images, -1, handle);
        }
        auto previous = reinterpret_cast<HIMAGELIST>(SendMessageA(sheetTabs, TCM_GETIMAGELIST, 0, 0));
        SendMessageA(sheetTabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        if (previous && previous != tabImages) ImageList_Destroy(previous);
        tabImages = images;
    }

    RECT window{};
    GetWindowRect(sheetWindow, &window);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2;
    // The new style needs its frame recomputed.
    SetWindowPos(sheetWindow, nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_FRAMECHANGED);
}

LRESULT CALLBACK SheetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message && message->hwnd == sheetWindow && sheetWindow) {
        switch (message->message) {
        case WM_SIZE:
            if (currentPage == FindPageIndex) LayoutFindPage();
            else if (currentPage == ComparePageIndex) LayoutComparePage();
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(message->lParam);
            if (header && header->code == TCN_SELCHANGING) pageSwitching = 1;
            else if (header && header->code == TCN_SELCHANGE) pageSwitching = 0;
            break;
        }
        case WM_SYSCOMMAND:
            if (message->wParam == SystemIconPressed) {
                closeState = CloseStateConfirmed;
                PostQuitMessage(0);
            } else if ((message->wParam & 0xFFF0) == SC_CLOSE) {
                closeState = CloseStateConfirmed;
            }
            break;
        case WM_EXITMENULOOP: {
            // The icon press opens the system menu, whose own loop may swallow
            // the quit (Wine's does). The sheet then carries on and must ask
            // again at the next Esc.
            MSG quit;
            if (closeState == CloseStateConfirmed && !PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
                closeState = CloseStateNone;
            break;
        }
        default: break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void LayoutFindPage() { LayoutPage(findPageWindow, IDC_FIND_TABS, 53); }

void LayoutComparePage() { LayoutPage(comparePageWindow, IDC_COMPARE_TABS, 125); }

void HandleMenuCommand(HWND page, UINT message, WPARAM wParam)
{
    if (message != WM_COMMAND) return;
    switch (LOWORD(wParam)) {
    case IDM_EXIT:
        if (sheetHook) UnhookWindowsHookEx(sheetHook);
        sheetHook = nullptr;
        closeState = CloseStateExit;
        PostQuitMessage(0);
        break;
    case IDM_SELECT_FIND:
        if (currentPage != FindPageIndex) SendMessageA(sheetTabs, TCM_SETCURFOCUS, FindPageIndex, 0);
        break;
    case IDM_SELECT_COMPARE:
        if (currentPage != ComparePageIndex) SendMessageA(sheetTabs, TCM_SETCURFOCUS, ComparePageIndex, 0);
        break;
    case IDM_NEW_FOLDERS: StartTool("-tnf"); break;
    case IDM_CREATE_FAKE_FILE: StartTool("-tcff"); break;
    case IDM_COMMAND_LINE_OPTIONS: ShowMessage(page, CommandLineHelp, "Tolvane", MB_OK); break;
    case IDM_ABOUT: DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), page, AboutDialogProc, 0); break;
    default: break;
    }
}

void ReleaseMainSheet()
{
    if (sheetHook) UnhookWindowsHookEx(sheetHook);
    sheetHook = nullptr;
    if (buttonFont) DeleteObject(buttonFont);
    buttonFont = nullptr;
}

INT_PTR SetDialogResult(HWND dialog, LRESULT result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

bool AnswerSheetNotification(HWND page, int32_t pageIndex, const NMHDR& header)
{
    switch (header.code) {
    case PSN_SETACTIVE:
        currentPage = pageIndex;
        SendMessageA(sheetWindow, WM_SIZE, 0, 0);
        SetDialogResult(page, FALSE);
        return true;
    case PSN_KILLACTIVE:
        // Enter must not close the sheet: the page stays unless the user is
        // changing pages.
        SetDialogResult(page, pageSwitching ? FALSE : TRUE);
        return true;
    case PSN_QUERYCANCEL: {
        bool keepOpen = false;
        if (closeState != CloseStateConfirmed) {
            const int answer = ShowMessage(sheetWindow, "Do you want to close down?", "Tolvane",
                                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
            if (answer == IDYES) closeState = CloseStateConfirmed;
            else keepOpen = true;  // "No" keeps the window open
        }
        SetDialogResult(page, keepOpen ? TRUE : FALSE);
        return true;
    }
    case PSN_RESET: {
        const bool answer = pageIndex == FindPageIndex ? closeState != CloseStateConfirmed
                                                       : closeState == CloseStateNone;
        SetDialogResult(page, answer ? TRUE : FALSE);
        return true;
    }
    default: return false;
    }
}

}  // namespace tolvane
