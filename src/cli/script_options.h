// The options that `tolvane find` and `tolvane compare` share for scripts:
// name patterns, pruning, depth, staying on one device, and the -0 and
// --json output forms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/walk_limits.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tolvane::cli {

struct ScriptOptions {
    std::vector<std::string> globs;
    std::vector<std::string> excludes;
    uint32_t maxDepth = 0;
    bool oneFileSystem = false;
    bool print0 = false;
    bool json = false;
    CLI::Option* jsonOption = nullptr;

    WalkLimits Limits() const;
    // What ends each printed line: a newline, or NUL with -0.
    char LineEnd() const { return print0 ? '\0' : '\n'; }
};

void AddScriptOptions(CLI::App& command, ScriptOptions& options);

// Repeatable list options: each occurrence takes one value, so that a
// LOCATION after it stays a location.
CLI::Option* AddListOption(CLI::App& command, const std::string& names, std::vector<std::string>& values,
                           const std::string& help);

// The folders searched when a command names none: the current one.
std::vector<std::string> LocationsOrCurrentFolder(const std::vector<std::string>& locations, bool listFileGiven);

// The exit statuses of find and compare, for the --help texts.
extern const char* const ExitStatusValues;

}  // namespace tolvane::cli
