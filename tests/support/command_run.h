// Runs (or only checks) the command line in-process and splits what it printed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
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

// The text cut at any of the separators, every piece kept (empty ones too), at most limit pieces.
inline std::vector<std::string_view> Pieces(std::string_view text, std::string_view separators, size_t limit = SIZE_MAX)
{
    std::vector<std::string_view> pieces;
    for (size_t start = 0; start <= text.size() && pieces.size() < limit;) {
        const size_t end = std::min(text.find_first_of(separators, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

inline std::vector<std::string> Split(std::string_view text, char separator)
{
    const std::vector<std::string_view> pieces = Pieces(text, std::string_view(&separator, 1));
    return {pieces.begin(), pieces.end()};
}

// No line follows the last line end.
inline std::vector<std::string> Lines(std::string_view text)
{
    if (text.empty()) return {};
    return Split(text.substr(0, text.size() - (text.back() == '\n')), '\n');
}

}  // namespace tolvane::test
