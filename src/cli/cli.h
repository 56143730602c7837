// The command-line front end: `tolvane COMMAND [OPTIONS]`. Each command runs
// the same engines as the Windows program, headless.
#pragma once

#include <ostream>

namespace tolvane::cli {

// Runs the command line and returns the process's exit status; normal output
// goes to out, messages and errors to err.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Reads and checks a `find` or `compare` command line as RunCommandLine does,
// with the same messages, but runs nothing: no folder is walked and nothing is
// written. Returns 0 when the command could run (or help was shown), else 2.
// The tool commands are not offered, since they act while being read.
int CheckSearchCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
