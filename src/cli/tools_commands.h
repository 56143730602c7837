// The commands of the two extra tools:
//   tolvane new-folders PARENT [--type upper|lower|numbers] [--count 10|20|...|100]
//                              [--zeros] [--prefix TEXT] [--suffix TEXT]
//   tolvane fake-file PATH SIZE [--unit B|kB|MB|GB] [--overwrite]
// Each prints the tool's own messages; the exit status is 0 when the tool
// succeeded, 1 when it failed, 2 for input it refuses.
#pragma once

#include <ostream>
#include <string>

#include "cli/command.h"

namespace tolvane::cli {

class NewFoldersCommand : public Command {
public:
    explicit NewFoldersCommand(CLI::App& app);
    int Run(std::ostream& out, std::ostream& err) const override;

private:
    std::string parent_;
    std::string type_ = "upper";
    int count_ = 10;
    bool zeros_ = false;
    std::string prefix_;
    std::string suffix_;
};

class FakeFileCommand : public Command {
public:
    explicit FakeFileCommand(CLI::App& app);
    int Run(std::ostream& out, std::ostream& err) const override;

private:
    std::string path_;
    std::string size_;
    std::string unit_ = "B";
    bool overwrite_ = false;
};

}  // namespace tolvane::cli
