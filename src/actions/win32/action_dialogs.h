// The windows of the file actions: the copy/move and delete progress dialogs
// with their worker threads, the name-clash question, and "Auto mark...".
// A page makes an ActionTarget for each action, then calls one Run function.
#pragma once

#include <windows.h>

#include <memory>

#include "actions/copy_move.h"
#include "common/action_target.h"

namespace tolvane {

// A target for an action on list; owner is the page state that list,
// records and rowIndex belong to. equalContentGroups: the groups of a
// grouped list are of equal content.
std::shared_ptr<ActionTarget> MakeActionTarget(std::shared_ptr<const void> owner, ResultList& list,
                                               const FileRecords& records, RowIndex& rowIndex, bool groupedList,
                                               bool equalContentGroups = false);

// Runs the dialog of command (Auto mark, copy, move or delete) on target,
// owned by page; returns when the dialog has closed.
enum class FileActionCommand { AutoMark, Copy, Move, Delete };
void RunFileAction(HWND page, FileActionCommand command, ActionTarget& target);

// Each Run function shows its dialog modally, owned by owner, and returns
// when it has closed. The progress dialogs start their worker, which asks for
// what it needs (destination, confirmation) and closes the dialog when done.
void RunCopyMoveDialog(HWND owner, ActionTarget& target);
void RunDeleteDialog(HWND owner, ActionTarget& target);
void RunMarkByPathDialog(HWND owner, ActionTarget& target);

// What the clash dialog is given (the clashing file's name) and gives back.
struct ClashQuestion {
    const char* fileName;
    ClashChoice choice;  // stays Break unless a button answers
};

// The dialog procedures; lParam of the progress and mark dialogs is the
// ActionTarget, of the clash dialog a ClashQuestion.
INT_PTR CALLBACK CopyMoveProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConfirmActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeleteProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MarkByPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// True while a copy, move or delete worker thread is still running: its
// dialog closes before the worker's last touch of the list.
bool ActionWorkerRunning();

}  // namespace tolvane
