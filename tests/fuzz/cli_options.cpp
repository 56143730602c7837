// Fuzzes the reading of `tolvane find` and `tolvane compare` command lines,
// split into arguments at NUL and newline bytes, only checked, never run, in
// a scratch folder with one subfolder and one locations list. Each argument
// also goes to every rule option's reader, and the first to a rule option
// both commands share, which must take or refuse it alike.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/filter_options.h"
#include "find/filter_normalisation.h"
#include "fuzz_support.h"
#include "platform/text.h"
#include "platform/time.h"
#include "support/command_run.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace tolvane;
using namespace tolvane::cli;
using fuzz::Require;
using test::RunTolvane;

constexpr size_t MaxArguments = 64;

fs::path scratch;
std::string before;

// A reader either refuses the value with a message that names its option or
// returns what it read.
template <typename Read>
bool Reads(const std::string& option, Read read)
{
    try {
        read();
        return true;
    } catch (const BadValue& bad) {
        Require(bad.message.starts_with(option + ": "));
        return false;
    }
}

bool IsRange(int relation) { return relation == 3 || relation == 4; }

bool WholeDate(const SystemTime& date)
{
    FileTime ignored;
    return date.wYear >= 1601 && platform::CalendarToFileTime(date, ignored);
}

void CheckOptionReaders(const std::string& value)
{
    // Each reader's value is one the filter dialogs could hold.
    std::string list, typed;
    if (Reads("--ext", [&] { typed = list = ParseExtensionOption(value); }))
        Require(!list.empty() && list.size() <= ExtensionListMax && list.back() != '/' &&
                !FilterTypedExtensions(typed) &&
                std::none_of(list.begin(), list.end(), [](char c) { return platform::LowerAnsi(c) != c; }));

    SizeOption size;
    if (Reads("--size", [&] { size = ParseSizeOption("--size", value); })) {
        const bool range = size.mode == SizeRuleMode::Between || size.mode == SizeRuleMode::NotBetween;
        Require(static_cast<int>(size.mode) >= 0 && static_cast<int>(size.mode) <= 4);
        Require(range == !size.to.digits.empty());
        for (const SizeBound* bound : {&size.from, &size.to}) {
            const bool read = bound->number == SizeFieldValue(bound->digits);
            Require((bound->digits.empty() && bound == &size.to) ||
                    (read && SizeInBytes(bound->number, bound->unit) != UINT64_MAX));
        }
    }

    DateOption date;
    if (Reads("--date", [&] { date = ParseDateOption(value); }))
        Require(WholeDate(date.from) && WholeDate(date.to) &&
                (IsRange(static_cast<int>(date.relation)) || std::memcmp(&date.from, &date.to, sizeof date.to) == 0));
    TimeOption time;
    if (Reads("--time", [&] { time = ParseTimeOption(value); }))
        for (const SystemTime* t : {&time.from, &time.to}) Require(t->wHour < 24 && t->wMinute < 60 && WholeDate(*t));
    AttributeOption attributes;
    if (Reads("--attr", [&] { attributes = ParseAttributeOption(value); })) {
        const auto has = [&](AttributeFlag flag) { return std::ranges::count(attributes.flags, flag) > 0; };
        Require(!attributes.flags.empty() && !(has(AttributeFlag::Compressed) && has(AttributeFlag::Encrypted)));
    }
}

// The rule options find and compare share take or refuse a value alike.
void CheckSharedOption(const std::string& value, size_t choice)
{
    static const char* const shared[] = {"--ext", "--date", "--attr"};
    const std::string option = shared[choice % std::size(shared)];
    const std::string location = scratch.string();
    Require(RunTolvane({"find", location, option, value}, CheckSearchCommandLine).status ==
            RunTolvane({"compare", "--content", location, option, value}, CheckSearchCommandLine).status);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static const test::TempFolder folder;
    scratch = fs::path(folder.Path()).parent_path();  // without the trailing separator
    fs::create_directory(scratch / "sub");
    std::ofstream(scratch / "list.txt") << (scratch / "sub").string() << "\nnot-a-folder\n" << scratch.string() << "\n";
    fs::current_path(scratch);
    before = test::FolderText(scratch.string());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const std::string_view piece : test::Pieces(input, {"\0\n", 2}, MaxArguments)) arguments.emplace_back(piece);
    const test::CliRun run = RunTolvane(arguments, CheckSearchCommandLine);

    // Refused: a message and nothing else; help comes without one.
    Require(run.status == 0 || run.status == 2);
    if (run.status == 2) Require(run.out.empty() && !run.err.empty() && run.err.back() == '\n');
    if (!run.out.empty()) Require(run.err.empty());
    for (const std::string& argument : arguments) CheckOptionReaders(argument);
    if (!arguments.empty()) CheckSharedOption(arguments[0], arguments.size());

    // Reading a command line writes nothing.
    Require(test::FolderText(scratch.string()) == before);
    return 0;
}
