// Runs (or only checks) the command line in-process and splits what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tolvane::test {

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun RunTolvane(std::vector<std::string> arguments, decltype(&cli::RunCommandLine) run = cli::RunCommandLine)
{
    arguments.insert(arguments.begin(), "tolvane");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out, err;
    const int status = run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

inline std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
    if (!text.empty() && text.back() == separator && separator != '\n') parts.emplace_back();
    return parts;
}

inline std::vector<std::string> Lines(const std::string& text) { return Split(text, '\n'); }

}  // namespace tolvane::test
