#include "cli/tools_commands.h"

#include <CLI/CLI.hpp>

#include <string>

#include "common/prompter.h"
#include "platform/fs.h"
#include "tools/fake_file.h"
#include "tools/new_folders.h"

namespace tolvane::cli {
namespace {

constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// Shows the tools' message boxes as lines: plain boxes (successes) on the
// normal output, boxes with an icon on the error output with their caption.
class ConsolePrompter : public Prompter {
public:
    ConsolePrompter(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        std::string line = text;
        // The system's texts end with a line break of their own.
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if ((style & 0xF0) == 0)
            out_ << line << "\n";
        else
            err_ << "tolvane: " << caption << ": " << line << "\n";
        return (style & 0xF) == MbYesNo ? IdNo : IdOk;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
};

int UnitIndex(const std::string& unit)
{
    if (unit == "kB") return UnitKilobytes;
    if (unit == "MB") return UnitMegabytes;
    if (unit == "GB") return UnitGigabytes;
    return UnitBytes;
}

}  // namespace

NewFoldersCommand::NewFoldersCommand(CLI::App& app)
{
    command_ = app.add_subcommand("new-folders", "Create a lettered or numbered series of folders");
    command_->add_option("PARENT", parent_, "The folder to create them in")->required();
    command_->add_option("--type", type_, "Sequence: upper (A-Z), lower (a-z) or numbers (1 to the count)")
        ->check(CLI::IsMember({"upper", "lower", "numbers"}))
        ->capture_default_str();
    command_->add_option("--count", count_, "How many numbered folders (with --type numbers)")
        ->check(CLI::IsMember({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}))
        ->capture_default_str();
    command_->add_flag("--zeros", zeros_, "Pad the numbers with leading zeros");
    command_->add_option("--prefix", prefix_, "Text before each name");
    command_->add_option("--suffix", suffix_, "Text after each name");
}

int NewFoldersCommand::Run(std::ostream& out, std::ostream& err) const
{
    if (parent_.empty()) {
        err << "tolvane: new-folders: PARENT must name a folder\n";
        return ExitUsage;
    }
    if (HasForbiddenCharacter(prefix_) || HasForbiddenCharacter(suffix_)) {
        err << "tolvane: Info: " << ForbiddenCharactersMessage << "\n";
        return ExitUsage;
    }
    NewFoldersSettings settings;
    settings.parentFolder = parent_;
    settings.sequenceType = type_ == "numbers" ? SequenceNumbers
                            : type_ == "lower" ? SequenceLowerCase
                                               : SequenceUpperCase;
    settings.countIndex = count_ / 10 - 1;
    settings.leadingZeros = zeros_;
    settings.prefix = prefix_;
    settings.suffix = suffix_;
    ConsolePrompter prompter(out, err);
    return CreateFolders(settings, prompter) ? ExitSuccess : ExitFailure;
}

FakeFileCommand::FakeFileCommand(CLI::App& app)
{
    command_ = app.add_subcommand("fake-file", "Create a file of a given size filled with zeros");
    command_->add_option("PATH", path_, "The file to create")->required();
    command_->add_option("SIZE", size_, "The size, 0 to 9999 (0 makes 1 byte)")->required();
    command_->add_option("--unit", unit_, "Unit of SIZE: B, kB, MB or GB (powers of 1024)")
        ->transform(CLI::IsMember({"B", "kB", "MB", "GB"}, CLI::ignore_case))
        ->capture_default_str();
    command_->add_flag("--overwrite", overwrite_, "Replace PATH when it exists");
}

int FakeFileCommand::Run(std::ostream& out, std::ostream& err) const
{
    const int unit = UnitIndex(unit_);
    if (!FakeFileByteCount(size_, unit)) {
        err << "tolvane: fake-file: SIZE must be a whole number from 0 to 9999\n";
        return ExitUsage;
    }
    // The window asks before it replaces a file; here the option says so.
    uint32_t attributes = 0;
    if (!overwrite_ && platform::GetPathAttributes(path_, attributes)) {
        err << "tolvane: fake-file: " << path_ << " already exists; add --overwrite to replace it\n";
        return ExitFailure;
    }
    ConsolePrompter prompter(out, err);
    return CreateFakeFile(path_, size_, unit, prompter) ? ExitSuccess : ExitFailure;
}

}  // namespace tolvane::cli
