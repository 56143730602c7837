// Shared by the fuzz programs; they also use the tests' support: the temporary
// folder, the scripted prompter and the command line run in-process.
#pragma once

#include <cstdlib>

namespace tolvane::fuzz {

// Ends the run as a finding: libFuzzer saves the input that broke the rule.
inline void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace tolvane::fuzz
