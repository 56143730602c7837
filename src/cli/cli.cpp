#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/compare_command.h"
#include "cli/find_command.h"
#include "cli/tools_commands.h"

namespace tolvane::cli {
namespace {

// Progress is redrawn in place only on a terminal; a redirected stderr gets
// plain lines.
bool StderrIsTerminal(const std::ostream& err)
{
    if (&err != &std::cerr) return false;
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Tolvane: find files and folders, and find duplicate files", "tolvane"};
    app.require_subcommand(1);
    int exitStatus = 0;
    AddToolsCommands(app, out, err, exitStatus);
    const FindCommand find(app);
    CompareCommandOptions compareOptions;
    CLI::App* compare = AddCompareCommand(app, compareOptions);
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
    if (compare->parsed()) return RunCompareCommand(compareOptions, out, err, StderrIsTerminal(err));
    return exitStatus;
}

}  // namespace tolvane::cli
