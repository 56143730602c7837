// The main window: a resizable property sheet with the Find and Compare pages,
// its menu, the layout of the pages on every resize, and the closing rules.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdint>

namespace tolvane {

// Process-wide window state of the main window, used on the interface thread only.
extern HINSTANCE appInstance;
extern HWND sheetWindow;
extern HWND sheetTabs;
extern HWND findPageWindow;
extern HWND comparePageWindow;
extern HHOOK sheetHook;
extern HFONT buttonFont;
extern HIMAGELIST tabImages;
extern int32_t pageSwitching;  // 1 while the user changes pages with the tabs or the menu
extern int32_t closeState;
extern int32_t currentPage;

inline constexpr int32_t CloseStateNone = 0;
inline constexpr int32_t CloseStateExit = 1;  // Exit chosen from the menu
inline constexpr int32_t CloseStateConfirmed = 2;

inline constexpr int32_t FindPageIndex = 0;
inline constexpr int32_t ComparePageIndex = 1;

enum class StartTask { MainWindow, NewFolders, CreateFakeFile };
// What the command line asks for: "-tnf" anywhere (tested first), then
// "-tcff"; case-sensitive.
StartTask ChooseStartTask(const char* commandLine);

// Registers the common control classes the windows use.
void InitProgramControls();

// The sheet's header and its two pages; RunMainSheet shows them modally.
void FillMainSheet(PROPSHEETHEADERA& header, PROPSHEETPAGEA (&pages)[2]);
void RunMainSheet();
int CALLBACK MainSheetCallback(HWND sheet, UINT message, LPARAM dialogTemplate);
void AttachToSheet(HWND findPage);
void InitMainSheet();
LRESULT CALLBACK SheetMessageHook(int code, WPARAM wParam, LPARAM lParam);
void LayoutFindPage();
void LayoutComparePage();
void HandleMenuCommand(HWND page, UINT message, WPARAM wParam);
// After the sheet has closed: removes the hook and deletes the button font.
void ReleaseMainSheet();

// A page's answer to the sheet's notifications PSN_SETACTIVE, PSN_KILLACTIVE,
// PSN_QUERYCANCEL and PSN_RESET. Returns false for any other notification;
// otherwise the answer is in DWLP_MSGRESULT and the page procedure returns TRUE.
bool AnswerSheetNotification(HWND page, int32_t pageIndex, const NMHDR& header);

// Gives a dialog procedure's answer to a notification.
INT_PTR SetDialogResult(HWND dialog, LRESULT result);

}  // namespace tolvane
