// `tolvane find`: one Find search from the command line, with the rules given
// as options and the found paths written one per line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/script_options.h"

namespace tolvane {
struct FilterRows;
struct FindState;
class Prompter;
}  // namespace tolvane

namespace tolvane::cli {

class FindCommand : public Command {
public:
    // Adds the `find` subcommand and its options to app.
    explicit FindCommand(CLI::App& app);

    // Runs the search, printing each match as it is found; 0 when something
    // matched, 1 when nothing did, 2 when the search could not run (bad
    // values, no locations, memory) or the output could not be written.
    int Run(std::ostream& out, std::ostream& err) const override;
    // Reads and checks the options as Run does, without searching: 0 when the
    // search could start, 2 (with the message on err) when not.
    int Check(std::ostream& err) const;

private:
    // Fills the state's criteria and locations as the dialogs' Accept would
    // store them. False, with the message on err, for a value the dialogs
    // refuse or that names no folder.
    bool Prepare(FindState& state, FilterRows& rows, Prompter& prompter, std::ostream& err) const;

    std::vector<std::string> locations_;
    std::string locationsFile_;
    bool noSubfolders_ = false;
    std::string target_ = "files";
    std::string name_;
    std::string nameMode_ = "contains";
    bool nameCase_ = false;
    std::vector<std::string> extensions_;
    std::string extensionMode_ = "include";
    std::string content_;
    std::string contentMode_ = "containing";
    bool contentCase_ = false;
    std::string size_;
    std::string date_;
    std::string time_;
    std::vector<std::string> attributes_;
    bool long_ = false;
    bool quiet_ = false;
    bool verbose_ = false;
    ScriptOptions script_;
};

}  // namespace tolvane::cli
