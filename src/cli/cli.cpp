#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <optional>

#include "cli/compare_command.h"
#include "cli/find_command.h"
#include "cli/script_options.h"
#include "cli/tools_commands.h"

namespace tolvane::cli {
namespace {

constexpr const char* Description = "Tolvane: find files and folders, and find duplicate files";

// The top level of both command lines: --version, and the exit statuses.
void SetUpApp(CLI::App& app)
{
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("tolvane ") + TOLVANE_VERSION, "Print the version and exit");
    app.footer("Run 'tolvane COMMAND --help' for the options of a command.\nExit status of find and compare: " +
               std::string(ExitStatusValues));
}

// The find and compare commands on one app.
struct SearchCommands {
    explicit SearchCommands(CLI::App& app) : find(app), compare(app) {}

    FindCommand find;
    CompareCommand compare;
};

// Parses argv into app; returns the exit status when that ends the run
// (help shown, or an error reported), nothing when a command is to go on.
std::optional<int> Parse(CLI::App& app, int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "tolvane: " << error.what() << "\n" << "Run 'tolvane --help' for the commands.\n";
        return 2;
    }
    return std::nullopt;
}

}  // namespace

bool Command::Chosen() const { return command_ && command_->parsed(); }

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{Description, "tolvane"};
    SetUpApp(app);
    NewFoldersCommand newFolders(app);
    FakeFileCommand fakeFile(app);
    SearchCommands search(app);
    if (const std::optional<int> status = Parse(app, argc, argv, out, err)) return *status;
    const Command* const commands[] = {&newFolders, &fakeFile, &search.find, &search.compare};
    for (const Command* command : commands) {
        if (command->Chosen()) return command->Run(out, err);
    }
    return 2;  // not reached: the parse requires one command
}

int CheckSearchCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{Description, "tolvane"};
    SetUpApp(app);
    SearchCommands commands(app);
    if (const std::optional<int> status = Parse(app, argc, argv, out, err)) return *status;
    if (commands.find.Chosen()) return commands.find.Check(err);
    // Exactly one command is required, so it is compare.
    return commands.compare.Check(err);
}

}  // namespace tolvane::cli
