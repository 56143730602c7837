#include "cli/script_options.h"

#include <CLI/CLI.hpp>

namespace tolvane::cli {

const char* const ExitStatusValues =
    "0 something was listed, 1 nothing was, 2 the command could not run or its output could not be "
    "written.\n";

WalkLimits ScriptOptions::Limits() const
{
    WalkLimits limits;
    limits.namePatterns = globs;
    limits.excludedPatterns = excludes;
    limits.maxDepth = maxDepth;
    limits.oneFileSystem = oneFileSystem;
    return limits;
}

CLI::Option* AddListOption(CLI::App& command, const std::string& names, std::vector<std::string>& values,
                           const std::string& help)
{
    return command.add_option(names, values, help)->allow_extra_args(false);
}

void AddScriptOptions(CLI::App& command, ScriptOptions& o)
{
    const CLI::Validator notEmpty(
        [](std::string& value) { return std::string(value.empty() ? "the pattern is empty" : ""); }, "");
    AddListOption(command, "--glob", o.globs,
                  "List only entries whose name matches a shell wildcard pattern (* ? [...]); repeatable")
        ->type_name("PATTERN")
        ->check(notEmpty);
    AddListOption(command, "--exclude", o.excludes,
                  "Leave out files and folders whose name matches the pattern, and do not enter such folders; "
                  "repeatable")
        ->type_name("PATTERN")
        ->check(notEmpty);
    command.add_option("--max-depth", o.maxDepth, "Go at most N levels down (1: only the entries in each location)")
        ->type_name("N")
        ->check(CLI::Range(1u, 65535u));
    command.add_flag("--one-file-system", o.oneFileSystem, "Do not enter folders on another device than the location");
    CLI::Option* print0 = command.add_flag("-0,--print0", o.print0, "End each output line with NUL (for xargs -0)");
    o.jsonOption = command.add_flag("--json", o.json, "Print JSON Lines, one object per row");
    o.jsonOption->excludes(print0);
}

std::vector<std::string> LocationsOrCurrentFolder(const std::vector<std::string>& locations, bool listFileGiven)
{
    if (locations.empty() && !listFileGiven) return {"."};
    return locations;
}

}  // namespace tolvane::cli
