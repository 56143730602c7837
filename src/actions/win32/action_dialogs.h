// The windows of the file actions: the copy/move and delete progress dialogs
// with their worker threads, the name-clash question, and "Auto mark...".
// A page fills the ActionTarget, then calls one Run function.
#pragma once

#include <windows.h>

#include "common/action_target.h"

namespace tolvane {

// The one target the pages fill before an action; its worker thread reads it
// while the action's dialog is open.
ActionTarget& SharedActionTarget();

// Fills the shared target for an action on list and runs the dialog of command
// (Auto mark, copy, move or delete), owned by page. equalContentGroups: the
// groups of a grouped list are of equal content.
enum class FileActionCommand { AutoMark, Copy, Move, Delete };
void RunFileAction(HWND page, FileActionCommand command, ResultList& list, const FileRecords& records,
                   RowIndex& rowIndex, bool groupedList, bool equalContentGroups = false);

// Each Run function shows its dialog modally, owned by owner, and returns
// when it has closed. The progress dialogs start their worker, which asks for
// what it needs (destination, confirmation) and closes the dialog when done.
void RunCopyMoveDialog(HWND owner, ActionTarget& target);
void RunDeleteDialog(HWND owner, ActionTarget& target);
void RunMarkByPathDialog(HWND owner, ActionTarget& target);

// The dialog procedures; lParam of the progress and mark dialogs is the
// ActionTarget, of the clash dialog the clashing file's name (const char*).
INT_PTR CALLBACK CopyMoveProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConfirmActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeleteProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MarkByPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// True while a copy, move or delete worker thread is still running: its
// dialog closes before the worker's last touch of the list.
bool ActionWorkerRunning();

}  // namespace tolvane
