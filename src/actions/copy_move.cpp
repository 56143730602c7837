#include "actions/copy_move.h"

#include <optional>

#include "actions/source_check.h"
#include "common/size_date_text.h"
#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace tolvane {
namespace {

bool EndsRun(uint32_t error)
{
    return error == platform::ErrorAccessDenied || error == platform::ErrorNotReady || error == platform::ErrorDiskFull;
}

class CopyMoveRun {
public:
    CopyMoveRun(ActionTarget& target, CopyMoveProgress& progress, CopyMoveChoices& choices, Prompter& prompter)
        : target_(target),
          progress_(progress),
          choices_(choices),
          prompter_(prompter),
          move_(target.ActionMode.load() != ActionModeCopy),
          clashCode_(move_ ? platform::ErrorAlreadyExists : platform::ErrorFileExists)
    {
    }

    void Run()
    {
        progress_.SetCaption(CopyMoveCaption(target_.ActionMode.load()));
        if (!CheckActionTarget(target_, prompter_)) {
            FinishAction(target_, progress_);
            return;
        }
        // An empty choice would name the root of the file system.
        if (!choices_.PickFolder("Select destination", destination_) || destination_.empty()) {
            FinishAction(target_, progress_);
            return;
        }
        progress_.SetTo(destination_);
        destinationFolder_ = platform::WithTrailingSeparator(destination_);
        total_ = CountMarkedRows(*target_.list);
        for (int row = target_.list->RowCount() - 1; row >= 0; --row) {
            if (StopRequested(target_)) break;
            if (target_.list->IsMarked(row)) HandleRow(row);
        }
        if (target_.RemovesRows) TidyTargetList(target_);
        FinishAction(target_, progress_);
    }

private:
    // Copies or moves without ever replacing a file; a path too long for the
    // system fails like any other call.
    bool Transfer(const std::string& source, const std::string& destination) const
    {
        if (!platform::FitsPathLimit(destination)) {
            platform::SetLastError(platform::ErrorFilenameTooLong);
            return false;
        }
        return move_ ? platform::MoveFileNoReplace(source, destination)
                     : platform::CopyFileNoReplace(source, destination);
    }

    void RowDone(int row)
    {
        if (move_) RemoveTargetRow(target_, row);
    }

    void HandleRow(int row)
    {
        const uint32_t record = (*target_.rowIndex)[static_cast<size_t>(row)];
        const std::string folder(target_.records->FolderPath(record));
        const std::string name(target_.records->FileName(record));
        ShowActionStep(progress_, name + "  (" + SizeText(target_.records->Size(record), false) + ")", folder, done_,
                       total_);
        ++done_;

        const std::string source = folder + name;
        if (move_) {
            const SourceCheck check = CheckListedFile(*target_.records, record);
            if (check == SourceCheck::Changed) {
                ReportAndAskAbort([&] { prompter_.Message(SourceCheckText(check, source), "Operation failed", MbIconHand); });
                return;
            }
            if (check == SourceCheck::Unreadable) {
                HandleFailure(platform::LastError());
                return;
            }
        }
        if (Transfer(source, destinationFolder_ + name)) {
            RowDone(row);
            return;
        }
        const uint32_t error = platform::LastError();
        if (error == clashCode_)
            HandleClash(row, source, name);
        else
            HandleFailure(error);
    }

    void HandleFailure(uint32_t error)
    {
        if (error == platform::ErrorFileNotFound) return;  // gone since the search: nothing to do
        if (EndsRun(error)) {
            target_.ActionMode.store(ActionModeStop);
            prompter_.ShowSystemError("Operation aborted", error);
            return;
        }
        ReportAndAskAbort([&] { prompter_.ShowSystemError("Operation failed", error); });
    }

    // A copy explains first and then asks; a move asks first.
    template <typename Explain>
    void ReportAndAskAbort(Explain explain)
    {
        if (!move_) explain();
        const bool abort = prompter_.Message("Do you want to abort?", "Error occured", MbQuestion) == IdYes;
        if (move_) explain();
        if (abort) target_.ActionMode.store(ActionModeStop);
    }

    void HandleClash(int row, const std::string& source, const std::string& name)
    {
        std::optional<ClashAnswer> answer = remembered_;
        if (!answer) {
            const ClashChoice choice = choices_.ConfirmAction(name);
            answer = choice.answer;
            if (choice.forAll) remembered_ = answer;
        }
        switch (*answer) {
        case ClashAnswer::Rename: TransferUnderNewName(row, source, name); break;
        case ClashAnswer::Break: target_.ActionMode.store(ActionModeStop); break;
        case ClashAnswer::Skip: break;
        }
    }

    // Tries name_1, name_2 ... until a free name takes the file. Any failure
    // but a taken name leaves the row as it is.
    void TransferUnderNewName(int row, const std::string& source, const std::string& name)
    {
        for (uint64_t number = 1;; ++number) {
            if (Transfer(source, destinationFolder_ + NumberedName(name, number))) {
                RowDone(row);
                return;
            }
            if (platform::LastError() != clashCode_) return;
        }
    }

    ActionTarget& target_;
    CopyMoveProgress& progress_;
    CopyMoveChoices& choices_;
    Prompter& prompter_;
    const bool move_;
    const uint32_t clashCode_;
    std::string destination_;
    std::string destinationFolder_;
    int total_ = 0;
    int done_ = 0;
    std::optional<ClashAnswer> remembered_;  // "Apply the same action to all"
};

}  // namespace

std::string CopyMoveCaption(int32_t actionMode) { return actionMode == ActionModeCopy ? " Copying..." : " Moving..."; }

std::string NumberedName(const std::string& fileName, uint64_t number)
{
    const size_t dot = fileName.rfind('.');
    const size_t split = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, split) + "_" + std::to_string(number) + fileName.substr(split);
}

void CopyMoveWorker(ActionTarget& target, CopyMoveProgress& progress, CopyMoveChoices& choices, Prompter& prompter)
{
    CopyMoveRun(target, progress, choices, prompter).Run();
}

}  // namespace tolvane
