// The commands of the two extra tools:
//   tolvane new-folders PARENT [--type upper|lower|numbers] [--count 10|20|...|100]
//                              [--zeros] [--prefix TEXT] [--suffix TEXT]
//   tolvane fake-file PATH SIZE [--unit B|kB|MB|GB] [--overwrite]
// Each prints the tool's own messages and sets the exit status: 0 when the
// tool succeeded, 1 when it failed, 2 for input it refuses.
#pragma once

#include <ostream>

namespace CLI {
class App;
}

namespace tolvane::cli {

// Adds both commands to app; a command that runs writes its exit status to
// exitStatus, which must outlive the parse.
void AddToolsCommands(CLI::App& app, std::ostream& out, std::ostream& err, int& exitStatus);

}  // namespace tolvane::cli
