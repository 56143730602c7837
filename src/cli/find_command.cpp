#include "cli/find_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "common/prompter.h"
#include "common/result_list.h"
#include "find/filter_normalisation.h"
#include "find/locations.h"
#include "find/search_engine.h"
#include "platform/fs.h"
#include "platform/time.h"

namespace tolvane::cli {
namespace {

constexpr const char* CommandName = "tolvane find";

const std::vector<std::string> TargetNames = {"files", "folders", "both"};
const std::vector<std::string> NameModeNames = {"contains", "matches", "not-contains"};
const std::vector<std::string> ExtensionModeNames = {"include", "exclude"};
const std::vector<std::string> ContentModeNames = {"containing", "not-containing"};
const std::vector<std::string> SizeModeNames = {"eq", "min", "max", "between", "not-between"};
const std::vector<std::string> SizeUnitNames = {"B", "kB", "MB"};
const std::vector<std::string> TimeKindNames = {"created", "modified", "accessed"};
const std::vector<std::string> DateRelationNames = {"on", "before", "after", "between", "not-between"};
const std::vector<std::string> TimeRelationNames = {"at", "before", "after", "between", "not-between"};
const std::vector<std::string> AttributeModeNames = {"include", "exclude"};
// In the order of the attribute flags.
const std::vector<std::string> AttributeNames = {"archive", "index",      "readonly",  "hidden",
                                                 "system",  "temporary",  "offline",   "compressed",
                                                 "encrypted", "sparse",   "reparsepoint"};

// A value the options cannot take: the message names the option.
struct BadValue {
    std::string message;
};

int IndexOf(const std::vector<std::string>& names, const std::string& name)
{
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

int Choice(const std::vector<std::string>& names, const std::string& value, const std::string& option,
           const std::string& what)
{
    const int index = IndexOf(names, value);
    if (index < 0) throw BadValue{option + ": unknown " + what + " '" + value + "' (one of " + Joined(names) + ")"};
    return index;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// N[UNIT] of --size as the field's text and the unit's item index.
std::pair<std::string, int> SizeBound(const std::string& text)
{
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    const std::string number = text.substr(0, digits);
    const std::string unit = text.substr(digits);
    if (number.empty()) throw BadValue{"--size: '" + text + "' is not a number of bytes, kB or MB"};
    int unitIndex = 0;
    if (!unit.empty()) {
        unitIndex = -1;
        for (size_t i = 0; i < SizeUnitNames.size(); ++i) {
            if (std::equal(unit.begin(), unit.end(), SizeUnitNames[i].begin(), SizeUnitNames[i].end(),
                           [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                       std::tolower(static_cast<unsigned char>(b)); }))
                unitIndex = static_cast<int>(i);
        }
        if (unitIndex < 0) throw BadValue{"--size: unknown unit '" + unit + "' (one of B|kB|MB)"};
    }
    const uint64_t value = SizeFieldValue(number);
    if (SizeInBytes(value, static_cast<SizeUnit>(unitIndex)) == UINT64_MAX)
        throw BadValue{"--size: '" + text + "' is too large"};
    return {number, unitIndex};
}

// An option's bounds: one for the plain relations, two for the two ranges.
void CheckBoundCount(size_t bounds, bool range, const std::string& option)
{
    if (range && bounds != 2) throw BadValue{option + ": between and not-between take two bounds"};
    if (!range && bounds != 1) throw BadValue{option + ": only between and not-between take a second bound"};
}

SystemTime ParseDate(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, '-');
    SystemTime date;
    FileTime check;
    if (parts.size() == 3 && parts[0].size() == 4 && parts[1].size() == 2 && parts[2].size() == 2 &&
        AllDigits(parts[0]) && AllDigits(parts[1]) && AllDigits(parts[2])) {
        date.wYear = static_cast<uint16_t>(std::stoi(parts[0]));
        date.wMonth = static_cast<uint16_t>(std::stoi(parts[1]));
        date.wDay = static_cast<uint16_t>(std::stoi(parts[2]));
        if (date.wYear >= 1601 && platform::CalendarToFileTime(date, check)) return date;
    }
    throw BadValue{"--date: '" + text + "' is not a date YYYY-MM-DD"};
}

SystemTime ParseTime(const std::string& hours, const std::string& minutes)
{
    SystemTime time;
    if (hours.size() == 2 && minutes.size() == 2 && AllDigits(hours) && AllDigits(minutes)) {
        time.wHour = static_cast<uint16_t>(std::stoi(hours));
        time.wMinute = static_cast<uint16_t>(std::stoi(minutes));
        // A valid day, so that the value is a whole picker value.
        time.wYear = 2000;
        time.wMonth = 1;
        time.wDay = 1;
        if (time.wHour < 24 && time.wMinute < 60) return time;
    }
    throw BadValue{"--time: '" + hours + ":" + minutes + "' is not a time HH:MM"};
}

// Message boxes on the error stream. A question is answered Yes: giving no
// rule (or none that applies to folders) on a command line is a choice made
// on purpose, not a slip of the mouse.
class StreamPrompter : public Prompter {
public:
    StreamPrompter(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}

    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        const bool question = (style & 0xF) == MbYesNo;
        if (question && quiet_) return IdYes;
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        err_ << CommandName << ": " << caption << ": " << line << (question ? " Yes." : "") << "\n";
        return question ? IdYes : IdOk;
    }

private:
    std::ostream& err_;
    bool quiet_;
};

// The page as the command line has it: only the target and the last status
// text matter.
class StreamRunView : public FindRunView {
public:
    explicit StreamRunView(SearchTarget target) : target_(target) {}

    SearchTarget SelectedTarget() const override { return target_; }
    void SetStatusText(const std::string& text) override { status_ = text; }
    void SetOptionsCaption(const std::string&) override {}
    void ShowOptions(bool) override {}
    void ShowStatus(bool) override {}
    void SetIndicator(IndicatorState) override {}
    void SetSearchButtonText(const std::string&) override {}
    void StartProgressTimer() override {}
    void StopProgressTimer() override {}
    void EnableActions(bool) override {}
    void SelectTab(int) override {}

    const std::string& Status() const { return status_; }

private:
    SearchTarget target_;
    std::string status_;
};

}  // namespace

FindCommand::FindCommand(CLI::App& app)
{
    command_ = app.add_subcommand("find", "Find files and folders that pass every rule given");
    command_->add_option("location", locations_, "Folder to search in")->type_name("LOCATION...");
    command_->add_option("--locations", locationsFile_, "Also search the folders of a locations list file")
        ->type_name("FILE");
    command_->add_flag("--no-subfolders", noSubfolders_, "Search only the entries directly inside each location");
    command_->add_option("--target", target_, "What to look for (default files)")
        ->check(CLI::IsMember(TargetNames));
    command_->add_option("--name", name_, "Name pattern (no wildcards; none of \\ / : * ? \" < > |)");
    command_->add_option("--name-mode", nameMode_, "How the name is compared (default contains)")
        ->check(CLI::IsMember(NameModeNames));
    command_->add_flag("--name-case", nameCase_, "Compare names case-sensitively");
    command_->add_option("--ext", extensions_, "Extensions separated by slashes, such as jpg/png (files only)");
    command_->add_option("--ext-mode", extensionMode_, "Keep or leave out those extensions (default include)")
        ->check(CLI::IsMember(ExtensionModeNames));
    command_->add_option("--content", content_, "Text to look for inside files (files only)");
    command_->add_option("--content-mode", contentMode_, "Files with or without the text (default containing)")
        ->check(CLI::IsMember(ContentModeNames));
    command_->add_flag("--content-case", contentCase_, "Compare the text case-sensitively (else A-Z only fold)");
    command_->add_option("--size", size_, "Size rule, MODE eq|min|max|between|not-between, UNIT B|kB|MB")
        ->type_name("MODE:N[UNIT][:N[UNIT]]");
    command_->add_option("--date", date_, "Date rule, KIND created|modified|accessed, REL on|before|after|between|not-between")
        ->type_name("KIND:REL:YYYY-MM-DD[:YYYY-MM-DD]");
    command_->add_option("--time", time_, "Time-of-day rule, REL at|before|after|between|not-between")
        ->type_name("KIND:REL:HH:MM[:HH:MM]");
    command_->add_option("--attr", attributes_,
                         "Attribute rule; NAME archive|index|readonly|hidden|system|temporary|offline|compressed|"
                         "encrypted|sparse|reparsepoint")
        ->type_name("include|exclude:NAME[,NAME...]");
    command_->add_flag("--long", long_, "Print Name, Path, Size, Modified (files) and Name, Path, Modified (folders)");
    command_->add_flag("--quiet", quiet_, "Leave out the two status lines and the answered questions");
    command_->footer(
        "Found files and then found folders are printed one full path a line; error rows go to the error stream as "
        "path, tab, system text.\n"
        "Without any rule the search runs anyway (the question \"No filters selected\" is answered Yes), and so it "
        "does when searching for folders with no rule that applies to folders.\n"
        "Exit status: 0 something matched, 1 nothing matched, 2 the search could not run.\n");
}

bool FindCommand::Chosen() const { return command_->parsed(); }

int FindCommand::Run(std::ostream& out, std::ostream& err) const
{
    StreamPrompter prompter(err, quiet_);
    FindState state;
    FilterRows rows;
    try {
        const int targetIndex = Choice(TargetNames, target_, "--target", "target");
        rows.searchTarget = static_cast<SearchTarget>(targetIndex);
        if (rows.searchTarget == SearchTarget::Folders) {
            for (const char* option : {"--ext", "--content", "--size"}) {
                if (command_->count(option) > 0)
                    throw BadValue{std::string(option) + " applies to files only, not to --target folders"};
            }
        }

        if (command_->count("--name") > 0) {
            if (name_.empty()) throw BadValue{"--name: the name pattern is empty"};
            if (name_.size() > NameTextMax) throw BadValue{"--name: the name pattern is longer than 259 characters"};
            if (std::any_of(name_.begin(), name_.end(), IsForbiddenNameCharacter))
                throw BadValue{"--name: names cannot contain any of \\ / : * ? \" < > |"};
            rows.nameChecked = true;
            rows.nameText = name_;
            rows.nameModeIndex = Choice(NameModeNames, nameMode_, "--name-mode", "mode");
            rows.nameCaseChecked = nameCase_;
        }

        if (command_->count("--ext") > 0) {
            // As the dialog's edit takes it: lower case, and the characters a
            // list cannot hold (dots, doubled slashes) dropped.
            std::string list = extensions_;
            for (char& c : list) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            while (FilterTypedExtensions(list)) {
            }
            if (!list.empty() && list.back() == '/') list.pop_back();
            if (list.empty()) throw BadValue{"--ext: no extension given"};
            if (list.size() > ExtensionListMax) throw BadValue{"--ext: the list is longer than 99 characters"};
            rows.extensionChecked = true;
            rows.extensionText = list;
            rows.extensionModeIndex = Choice(ExtensionModeNames, extensionMode_, "--ext-mode", "mode");
        }

        if (command_->count("--content") > 0) {
            if (content_.empty()) throw BadValue{"--content: the text is empty"};
            if (content_.size() > ContentTextMax) throw BadValue{"--content: the text is longer than 259 characters"};
            rows.contentChecked = true;
            rows.contentText = content_;
            rows.contentModeIndex = Choice(ContentModeNames, contentMode_, "--content-mode", "mode");
            rows.contentCaseChecked = contentCase_;
        }

        if (command_->count("--size") > 0) {
            const std::vector<std::string> parts = Split(size_, ':');
            rows.sizeModeIndex = Choice(SizeModeNames, parts[0], "--size", "mode");
            CheckBoundCount(parts.size() - 1, rows.sizeModeIndex >= 3, "--size");
            std::tie(rows.sizeFromText, rows.sizeFromUnitIndex) = SizeBound(parts[1]);
            if (parts.size() > 2) std::tie(rows.sizeToText, rows.sizeToUnitIndex) = SizeBound(parts[2]);
            rows.sizeChecked = true;
        }

        if (command_->count("--date") > 0) {
            const std::vector<std::string> parts = Split(date_, ':');
            if (parts.size() < 3) throw BadValue{"--date: expected KIND:REL:YYYY-MM-DD[:YYYY-MM-DD]"};
            rows.dateKindIndex = Choice(TimeKindNames, parts[0], "--date", "kind");
            rows.dateRelationIndex = Choice(DateRelationNames, parts[1], "--date", "relation");
            CheckBoundCount(parts.size() - 2, rows.dateRelationIndex >= 3, "--date");
            rows.dateFrom = ParseDate(parts[2]);
            rows.dateTo = parts.size() > 3 ? ParseDate(parts[3]) : rows.dateFrom;
            rows.dateChecked = true;
        }

        if (command_->count("--time") > 0) {
            const std::vector<std::string> parts = Split(time_, ':');
            if (parts.size() != 4 && parts.size() != 6) throw BadValue{"--time: expected KIND:REL:HH:MM[:HH:MM]"};
            rows.timeKindIndex = Choice(TimeKindNames, parts[0], "--time", "kind");
            rows.timeRelationIndex = Choice(TimeRelationNames, parts[1], "--time", "relation");
            CheckBoundCount(parts.size() == 6 ? 2 : 1, rows.timeRelationIndex >= 3, "--time");
            rows.timeFrom = ParseTime(parts[2], parts[3]);
            rows.timeTo = parts.size() == 6 ? ParseTime(parts[4], parts[5]) : rows.timeFrom;
            rows.timeChecked = true;
        }

        if (command_->count("--attr") > 0) {
            const size_t colon = attributes_.find(':');
            if (colon == std::string::npos) throw BadValue{"--attr: expected include|exclude:NAME[,NAME...]"};
            rows.attributeModeIndex = Choice(AttributeModeNames, attributes_.substr(0, colon), "--attr", "mode");
            for (const std::string& name : Split(attributes_.substr(colon + 1), ',')) {
                const auto flag = static_cast<AttributeFlag>(Choice(AttributeNames, name, "--attr", "attribute"));
                // The attributes dialog offers these only where they can be present.
                if (rows.searchTarget == SearchTarget::Folders &&
                    (flag == AttributeFlag::Temporary || flag == AttributeFlag::Sparse))
                    throw BadValue{"--attr: " + name + " does not apply to --target folders"};
                if (rows.searchTarget == SearchTarget::Files && flag == AttributeFlag::ReparsePoint)
                    throw BadValue{"--attr: reparsepoint applies to folders, not to --target files"};
                state.criteria.attributeFlags[static_cast<size_t>(flag)] = 1;
            }
            rows.attributeChecked = true;
        }

        for (const std::string& location : locations_) {
            if (!platform::IsExistingFolder(location)) throw BadValue{"'" + location + "' is not an existing folder"};
        }
    } catch (const BadValue& bad) {
        err << CommandName << ": " << bad.message << "\n";
        return 2;
    }

    // The locations as the locations dialog keeps them: sorted, without
    // duplicates and, with subfolders, without folders inside listed ones.
    LocationsEditor editor(LocationList{});
    editor.SetIncludeSubfolders(!noSubfolders_);
    for (const std::string& location : locations_) editor.Add(location);
    if (command_->count("--locations") > 0 && editor.Load(locationsFile_, prompter) != LocationsFileResult::Done) {
        err << CommandName << ": --locations: cannot read '" << locationsFile_ << "'\n";
        return 2;
    }
    editor.Accept(state.locations, prompter);
    if (!state.locations.locationsSpecified) {
        err << CommandName << ": no folder to search: give a LOCATION or a --locations FILE that lists one\n";
        return 2;
    }

    AcceptFilterRows(rows, state.criteria, prompter);

    MemoryResultList files, folders, errors(false);
    FindLists lists(files, folders, errors);
    StreamRunView view(rows.searchTarget);
    const SearchOutcome outcome = SearchWorker(state, view, prompter, lists);

    for (int row = 0; row < errors.RowCount(); ++row)
        err << errors.Cell(row, ErrorLogObjectColumn) << '\t' << errors.Cell(row, ErrorLogEventColumn) << '\n';
    if (outcome == SearchOutcome::NotStarted) return 2;

    for (int row = 0; row < files.RowCount(); ++row) {
        if (long_)
            out << files.Cell(row, NameColumn) << '\t' << files.Cell(row, PathColumn) << '\t'
                << files.Cell(row, FileSizeColumn) << '\t' << files.Cell(row, FileModifiedColumn) << '\n';
        else
            out << files.Cell(row, PathColumn) << files.Cell(row, NameColumn) << '\n';
    }
    for (int row = 0; row < folders.RowCount(); ++row) {
        if (long_)
            out << folders.Cell(row, NameColumn) << '\t' << folders.Cell(row, PathColumn) << '\t'
                << folders.Cell(row, FolderModifiedColumn) << '\n';
        else
            out << folders.Cell(row, PathColumn) << folders.Cell(row, NameColumn) << '\n';
    }
    out.flush();
    if (!quiet_) err << view.Status() << '\n';
    if (outcome == SearchOutcome::Aborted) return 2;
    return files.RowCount() + folders.RowCount() > 0 ? 0 : 1;
}

}  // namespace tolvane::cli
