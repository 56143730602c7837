#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include "cli/find_command.h"
#include "cli/tools_commands.h"

namespace tolvane::cli {

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Tolvane: find files and folders, and find duplicate files", "tolvane"};
    app.require_subcommand(1);
    int exitStatus = 0;
    AddToolsCommands(app, out, err, exitStatus);
    const FindCommand find(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "tolvane: " << error.what() << "\n" << "Run 'tolvane --help' for the commands.\n";
        return 2;
    }
    if (find.Chosen()) return find.Run(out, err);
    return exitStatus;
}

}  // namespace tolvane::cli
