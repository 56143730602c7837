// The shape of every subcommand: the constructor declares it and its options
// on the app, the parse fills the options, and Run carries out the command
// that was chosen.
#pragma once

#include <ostream>

namespace CLI {
class App;
}

namespace tolvane::cli {

class Command {
public:
    Command() = default;
    Command(const Command&) = delete;  // the parse writes into the members
    Command& operator=(const Command&) = delete;
    virtual ~Command() = default;

    bool Chosen() const;
    // Runs the command; returns its exit status.
    virtual int Run(std::ostream& out, std::ostream& err) const = 0;

protected:
    CLI::App* command_ = nullptr;  // set by the constructor of each command
};

}  // namespace tolvane::cli
