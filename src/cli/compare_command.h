// `tolvane compare`: collect the files of the locations and list the groups
// of duplicates, headless.
#pragma once

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/script_options.h"
#include "compare/compare_engine.h"

namespace tolvane::cli {

struct CompareCommandOptions {
    std::vector<std::string> locations;
    std::string locationsFile;
    bool noSubfolders = false;

    bool content = false;
    bool truncated = false;
    bool groupTruncated = false;
    bool name = false;
    bool ignoreCase = false;
    bool size = false;
    bool zeroSize = false;
    bool combined = false;
    bool only = false;

    std::vector<std::string> extensions;
    std::string extensionMode = "include";
    std::string sizeFilter;
    std::string date;
    std::vector<std::string> attributes;

    bool tsv = false;
    std::string list;
    bool quiet = false;
    ScriptOptions script;

    // The value options given, even with an empty value: an empty value is
    // refused, not taken for an option left out.
    std::set<std::string> given;
    bool Given(const std::string& option) const { return given.count(option) > 0; }
};

// The progress line of a terminal: the step's status, the share done and,
// while files are read, the files and bytes done of the phase's total, as in
// "Comparing... 42% (420 of 1000 files, 1.1 GB of 2.6 GB)".
std::string ProgressLine(const std::string& status, const CompareProgress& progress);

class CompareCommand : public Command {
public:
    // Adds the `compare` subcommand and its options to app.
    explicit CompareCommand(CLI::App& app);

    // Runs the comparison (by content when no match option is given). Exit
    // status: 0 when a group list has rows, 1 when none has, 2 when the run
    // cannot start or the output cannot be written. A terminal as the error
    // stream turns on the progress display.
    int Run(std::ostream& out, std::ostream& err) const override;
    // Reads and checks the options as Run does, without comparing: 0 when the
    // run could start, 2 (with the message on err) when not.
    int Check(std::ostream& err) const;

private:
    CompareCommandOptions options_;
};

}  // namespace tolvane::cli
