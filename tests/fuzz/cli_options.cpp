// Fuzzes the reading of `tolvane find` and `tolvane compare` command lines.
// The input is split into arguments at NUL and newline bytes; the program's
// own name comes first. The commands are only read and checked, never run,
// from inside a scratch folder that holds one subfolder and one locations
// list file, so that relative locations and --locations can succeed.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "cli/cli.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using tolvane::fuzz::Require;

constexpr size_t MaxArguments = 64;

using Snapshot = std::set<std::tuple<std::string, bool, uintmax_t>>;

// Every entry of the scratch folder: path, folder or not, size.
Snapshot Take(const fs::path& root)
{
    Snapshot entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const bool folder = entry.is_directory();
        entries.emplace(entry.path().string(), folder, folder ? 0 : entry.file_size());
    }
    return entries;
}

fs::path scratch;
Snapshot before;

std::vector<std::string> Arguments(std::string_view input)
{
    std::vector<std::string> arguments{"tolvane"};
    for (size_t start = 0; start <= input.size() && arguments.size() <= MaxArguments;) {
        const size_t end = std::min(input.find_first_of(std::string_view("\0\n", 2), start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// The only message an accepted command may show: the Find dialog's warning
// that a zero size overrides the content rule.
bool IsAcceptedWarning(const std::string& line)
{
    return line.starts_with("tolvane find: Conflicting rules: You have selected files with zero size,");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/tolvane-fuzz-cli-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    scratch = pattern;
    fs::create_directory(scratch / "sub");
    std::ofstream(scratch / "list.txt") << (scratch / "sub").string() << "\nnot-a-folder\n" << scratch.string() << "\n";
    fs::current_path(scratch);
    before = Take(scratch);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> arguments = Arguments(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());

    std::ostringstream out, err;
    const int status = tolvane::cli::CheckSearchCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);

    // Refused: a message and nothing else. Accepted: help on the output, or a
    // command that would run, with no error message.
    Require(status == 0 || status == 2);
    if (status == 2) {
        Require(out.str().empty() && !err.str().empty() && err.str().back() == '\n');
    } else if (!out.str().empty()) {
        Require(err.str().empty());
    } else {
        for (const std::string& line : Lines(err.str())) Require(IsAcceptedWarning(line));
    }
    // Reading a command line writes nothing.
    Require(Take(scratch) == before);
    return 0;
}
