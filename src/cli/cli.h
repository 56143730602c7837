// The command-line front end: `tolvane COMMAND [OPTIONS]`. Each command runs
// the same engines as the Windows program, headless.
#pragma once

#include <ostream>

namespace tolvane::cli {

// Runs the command line and returns the process's exit status; normal output
// goes to out, messages and errors to err.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
