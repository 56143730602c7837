#include "cli/tools_commands.h"

#include <CLI/CLI.hpp>

#include <memory>
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

struct NewFoldersOptions {
    std::string parent;
    std::string type = "upper";
    int count = 10;
    bool zeros = false;
    std::string prefix;
    std::string suffix;
};

int RunNewFolders(const NewFoldersOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.parent.empty()) {
        err << "tolvane: new-folders: PARENT must name a folder\n";
        return ExitUsage;
    }
    if (HasForbiddenCharacter(options.prefix) || HasForbiddenCharacter(options.suffix)) {
        err << "tolvane: Info: " << ForbiddenCharactersMessage << "\n";
        return ExitUsage;
    }
    NewFoldersSettings settings;
    settings.parentFolder = options.parent;
    settings.sequenceType = options.type == "numbers" ? SequenceNumbers
                            : options.type == "lower" ? SequenceLowerCase
                                                      : SequenceUpperCase;
    settings.countIndex = options.count / 10 - 1;
    settings.leadingZeros = options.zeros;
    settings.prefix = options.prefix;
    settings.suffix = options.suffix;
    ConsolePrompter prompter(out, err);
    return CreateFolders(settings, prompter) ? ExitSuccess : ExitFailure;
}

struct FakeFileOptions {
    std::string path;
    std::string size;
    std::string unit = "B";
    bool overwrite = false;
};

int UnitIndex(const std::string& unit)
{
    if (unit == "kB") return UnitKilobytes;
    if (unit == "MB") return UnitMegabytes;
    if (unit == "GB") return UnitGigabytes;
    return UnitBytes;
}

int RunFakeFile(const FakeFileOptions& options, std::ostream& out, std::ostream& err)
{
    const int unit = UnitIndex(options.unit);
    if (!FakeFileByteCount(options.size, unit)) {
        err << "tolvane: fake-file: SIZE must be a whole number from 0 to 9999\n";
        return ExitUsage;
    }
    // The window asks before it replaces a file; here the option says so.
    uint32_t attributes = 0;
    if (!options.overwrite && platform::GetPathAttributes(options.path, attributes)) {
        err << "tolvane: fake-file: " << options.path << " already exists; add --overwrite to replace it\n";
        return ExitFailure;
    }
    ConsolePrompter prompter(out, err);
    return CreateFakeFile(options.path, options.size, unit, prompter) ? ExitSuccess : ExitFailure;
}

}  // namespace

void AddToolsCommands(CLI::App& app, std::ostream& out, std::ostream& err, int& exitStatus)
{
    auto newFolders = std::make_shared<NewFoldersOptions>();
    CLI::App* folders = app.add_subcommand("new-folders", "Create a lettered or numbered series of folders");
    folders->add_option("PARENT", newFolders->parent, "The folder to create them in")->required();
    folders->add_option("--type", newFolders->type, "Sequence: upper (A-Z), lower (a-z) or numbers (1 to the count)")
        ->check(CLI::IsMember({"upper", "lower", "numbers"}))
        ->capture_default_str();
    folders->add_option("--count", newFolders->count, "How many numbered folders (with --type numbers)")
        ->check(CLI::IsMember({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}))
        ->capture_default_str();
    folders->add_flag("--zeros", newFolders->zeros, "Pad the numbers with leading zeros");
    folders->add_option("--prefix", newFolders->prefix, "Text before each name");
    folders->add_option("--suffix", newFolders->suffix, "Text after each name");
    folders->callback([newFolders, &out, &err, &exitStatus] { exitStatus = RunNewFolders(*newFolders, out, err); });

    auto fakeFile = std::make_shared<FakeFileOptions>();
    CLI::App* fake = app.add_subcommand("fake-file", "Create a file of a given size filled with zeros");
    fake->add_option("PATH", fakeFile->path, "The file to create")->required();
    fake->add_option("SIZE", fakeFile->size, "The size, 0 to 9999 (0 makes 1 byte)")->required();
    fake->add_option("--unit", fakeFile->unit, "Unit of SIZE: B, kB, MB or GB (powers of 1024)")
        ->transform(CLI::IsMember({"B", "kB", "MB", "GB"}, CLI::ignore_case))
        ->capture_default_str();
    fake->add_flag("--overwrite", fakeFile->overwrite, "Replace PATH when it exists");
    fake->callback([fakeFile, &out, &err, &exitStatus] { exitStatus = RunFakeFile(*fakeFile, out, err); });
}

}  // namespace tolvane::cli
