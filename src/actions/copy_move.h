// Copying or moving the marked files of a list into one folder the user
// picks, with name clashes settled by the user: rename, skip or stop.
#pragma once

#include <string>

#include "actions/file_action.h"
#include "common/action_target.h"
#include "common/prompter.h"

namespace tolvane {

// The answer to a name clash: the button of the " Confirm action" dialog,
// and whether "Apply the same action to all" was ticked. A dialog that could
// not ask answers Break: of the three only that one changes no file.
enum class ClashAnswer { Rename, Skip, Break };
struct ClashChoice {
    ClashAnswer answer = ClashAnswer::Break;
    bool forAll = false;
};

// The copy/move progress dialog: the view of every action plus its caption
// and the destination it shows.
class CopyMoveProgress : public ActionProgress {
public:
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetTo(const std::string& folderPath) = 0;
};

// The two choices a copy or move asks the user for.
class CopyMoveChoices {
public:
    virtual ~CopyMoveChoices() = default;
    // The folder picker with the given title; false when no folder was chosen.
    virtual bool PickFolder(const std::string& title, std::string& folder) = 0;
    // The " Confirm action" dialog for a name the destination already holds.
    virtual ClashChoice ConfirmAction(const std::string& fileName) = 0;
};

// " Copying..." for a copy, " Moving..." otherwise.
std::string CopyMoveCaption(int32_t actionMode);

// A clash's new name: "_n" before the extension, which starts at the last dot
// after the first character (report.txt -> report_1.txt, .profile -> .profile_1).
std::string NumberedName(const std::string& fileName, uint64_t number);

// Copies (ActionMode 0) or moves (ActionMode 1) the files of the target's
// marked rows, from the last row to the first, into the folder the user picks.
// A moved row leaves the list; a copied row stays. No existing file is ever
// replaced. Runs on the worker's thread until done, stopped (ActionMode -1)
// or broken off, then finishes the progress view.
void CopyMoveWorker(ActionTarget& target, CopyMoveProgress& progress, CopyMoveChoices& choices, Prompter& prompter);

}  // namespace tolvane
