#include "cli/compare_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "common/size_date_text.h"
#include "compare/compare_filter_normalisation.h"
#include "compare/compare_run.h"
#include "platform/fs.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/time.h"

namespace tolvane::cli {
namespace {

std::vector<std::string> SplitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string Lowered(std::string text)
{
    for (char& c : text) c = platform::LowerAnsi(c);
    return text;
}

// "12", "12B", "5kB", "9MB": the number and its unit.
bool ParseSizeBound(const std::string& text, uint32_t& number, SizeUnit& unit)
{
    size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits == 0 || digits > 9) return false;
    number = static_cast<uint32_t>(std::stoul(text.substr(0, digits)));
    const std::string suffix = Lowered(text.substr(digits));
    if (suffix.empty() || suffix == "b") {
        unit = SizeUnit::Bytes;
    } else if (suffix == "kb") {
        unit = SizeUnit::Kilobytes;
    } else if (suffix == "mb") {
        unit = SizeUnit::Megabytes;
    } else {
        return false;
    }
    return true;
}

std::optional<std::string> ParseSizeFilter(const std::string& text, CompareFilterRows& rows)
{
    const std::string usage = "--size-filter takes MODE:N[UNIT][:N[UNIT]] with MODE eq, min, max, between or "
                              "not-between and UNIT B, kB or MB: '" + text + "'";
    const std::vector<std::string> parts = SplitAt(text, ':');
    static const char* const modes[] = {"eq", "min", "max", "between", "not-between"};
    const auto mode = std::find(std::begin(modes), std::end(modes), parts[0]);
    if (mode == std::end(modes)) return usage;
    rows.sizeMode = static_cast<SizeRuleMode>(mode - std::begin(modes));
    const bool range = rows.sizeMode == SizeRuleMode::Between || rows.sizeMode == SizeRuleMode::NotBetween;
    if (parts.size() != (range ? 3u : 2u)) return usage;
    if (!ParseSizeBound(parts[1], rows.sizeFromNumber, rows.sizeFromUnit)) return usage;
    if (range && !ParseSizeBound(parts[2], rows.sizeToNumber, rows.sizeToUnit)) return usage;
    rows.sizeChecked = true;
    return std::nullopt;
}

bool ParseCalendarDate(const std::string& text, SystemTime& date)
{
    const std::vector<std::string> parts = SplitAt(text, '-');
    if (parts.size() != 3 || parts[0].size() != 4 || parts[1].size() != 2 || parts[2].size() != 2) return false;
    for (const std::string& part : parts) {
        if (!std::all_of(part.begin(), part.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
            return false;
        }
    }
    date = SystemTime{};
    date.wYear = static_cast<uint16_t>(std::stoi(parts[0]));
    date.wMonth = static_cast<uint16_t>(std::stoi(parts[1]));
    date.wDay = static_cast<uint16_t>(std::stoi(parts[2]));
    FileTime check;
    return date.wYear >= 1601 && platform::CalendarToFileTime(date, check);
}

std::optional<std::string> ParseDate(const std::string& text, CompareFilterRows& rows)
{
    const std::string usage = "--date takes KIND:REL:YYYY-MM-DD[:YYYY-MM-DD] with KIND created, modified or accessed "
                              "and REL on, before, after, between or not-between: '" + text + "'";
    const std::vector<std::string> parts = SplitAt(text, ':');
    if (parts.size() < 3) return usage;
    static const char* const kinds[] = {"created", "modified", "accessed"};
    static const char* const relations[] = {"on", "before", "after", "between", "not-between"};
    const auto kind = std::find(std::begin(kinds), std::end(kinds), parts[0]);
    const auto relation = std::find(std::begin(relations), std::end(relations), parts[1]);
    if (kind == std::end(kinds) || relation == std::end(relations)) return usage;
    rows.dateKind = static_cast<FileTimeKind>(kind - std::begin(kinds));
    rows.dateRelation = static_cast<DateRelation>(relation - std::begin(relations));
    const bool range = rows.dateRelation == DateRelation::Between || rows.dateRelation == DateRelation::NotBetween;
    if (parts.size() != (range ? 4u : 3u)) return usage;
    if (!ParseCalendarDate(parts[2], rows.dateFrom)) return "--date: not a date: '" + parts[2] + "'";
    rows.dateTo = rows.dateFrom;
    if (range && !ParseCalendarDate(parts[3], rows.dateTo)) return "--date: not a date: '" + parts[3] + "'";
    rows.dateChecked = true;
    return std::nullopt;
}

std::optional<std::string> ParseAttributes(const std::string& text, CompareFilterRows& rows, AttributeFlags& flags)
{
    const std::string usage = "--attr takes include|exclude:NAME[,NAME...] with NAME archive, index, readonly, hidden, "
                              "system, temporary, offline, compressed, encrypted or sparse: '" + text + "'";
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return usage;
    const std::string mode = text.substr(0, colon);
    if (mode != "include" && mode != "exclude") return usage;
    rows.attributeMode = mode == "include" ? AttributeRuleMode::Include : AttributeRuleMode::Exclude;
    static const char* const names[] = {"archive", "index",   "readonly",   "hidden",    "system",
                                        "temporary", "offline", "compressed", "encrypted", "sparse"};
    for (const std::string& name : SplitAt(text.substr(colon + 1), ',')) {
        const auto found = std::find(std::begin(names), std::end(names), name);
        if (found == std::end(names)) {
            if (name == "reparsepoint") return std::string("--attr: reparsepoint is not a Compare filter");
            return usage;
        }
        flags[static_cast<size_t>(found - std::begin(names))] = 1;
    }
    if (flags[static_cast<int>(AttributeFlag::Compressed)] && flags[static_cast<int>(AttributeFlag::Encrypted)]) {
        return std::string("--attr: compressed and encrypted exclude each other");
    }
    rows.attributesChecked = true;
    return std::nullopt;
}

// The list as the dialog's extension edit would let it be typed.
std::optional<std::string> ParseExtensions(const std::string& text, const std::string& mode, CompareFilterRows& rows)
{
    const std::string list = Lowered(text);
    const bool forbidden = list.find_first_of("\\:*?\"<>|.") != std::string::npos;
    if (list.empty() || forbidden || list.front() == '/' || list.find("//") != std::string::npos ||
        list.size() > ExtensionListMax) {
        return "--ext takes extensions without dots separated by single slashes, at most 99 characters, "
               "such as bmp/jpg/png: '" + text + "'";
    }
    rows.extensionChecked = true;
    rows.extensionMode = mode == "include" ? ExtensionRuleMode::IncludeTypes : ExtensionRuleMode::ExcludeTypes;
    rows.extensionText = list;
    return std::nullopt;
}

// The folders named by a locations list file: one per line; a line that
// names no existing folder is skipped.
bool ReadLocationsFile(const std::string& path, std::vector<std::string>& locations)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        while (!line.empty() && static_cast<unsigned char>(line.back()) < 32) line.pop_back();
        if (!line.empty() && platform::IsExistingFolder(line)) locations.push_back(line);
    }
    return true;
}

bool SamePath(const std::string& a, const std::string& b)
{
#ifdef _WIN32
    return Lowered(a) == Lowered(b);
#else
    return a == b;
#endif
}

// Full paths, in the order given, without repeats; with subfolders, a
// location inside another is left out (its files would be collected twice
// and grouped with themselves).
std::vector<std::string> NormaliseLocations(const std::vector<std::string>& given, bool includeSubfolders)
{
    std::vector<std::string> full;
    for (const std::string& location : given) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(location, error);
        full.push_back(platform::WithTrailingSeparator(error ? location : absolute.lexically_normal().string()));
    }
    std::vector<std::string> kept;
    for (size_t i = 0; i < full.size(); ++i) {
        bool covered = false;
        for (size_t j = 0; j < full.size() && !covered; ++j) {
            if (i == j) continue;
            if (SamePath(full[i], full[j])) {
                covered = j < i;
            } else if (includeSubfolders && full[i].size() > full[j].size()) {
                covered = SamePath(full[i].substr(0, full[j].size()), full[j]);
            }
        }
        if (!covered) kept.push_back(full[i]);
    }
    return kept;
}

class ConsoleView : public CompareRunView {
public:
    ConsoleView(std::ostream& err, bool quiet, bool terminal) : err_(err), quiet_(quiet), terminal_(terminal) {}
    ~ConsoleView() override { EndProgressLine(); }

    void SetStatusText(const std::string& text) override
    {
        if (quiet_ || text == "Done" || text == "Idle") return;
        EndProgressLine();
        status_ = text;
        if (terminal_) {
            err_ << '\r' << status_ << std::flush;
            progressShown_ = true;
        } else {
            err_ << status_ << '\n';
        }
    }
    void SetButtonText(const std::string&) override {}
    void ReportProgress(int percent) override
    {
        if (quiet_ || !terminal_ || status_.empty()) return;
        err_ << '\r' << status_ << ' ' << percent << '%' << std::flush;
        progressShown_ = true;
    }
    void SetOptionControlsEnabled(bool) override {}
    void SetActionsEnabled(bool) override {}
    void ShowTab(CompareTab) override {}

private:
    void EndProgressLine()
    {
        if (progressShown_) err_ << '\n';
        progressShown_ = false;
    }

    std::ostream& err_;
    bool quiet_;
    bool terminal_;
    bool progressShown_ = false;
    std::string status_;
};

// Messages go to stderr; the run asks no questions.
class ConsolePrompter : public Prompter {
public:
    explicit ConsolePrompter(std::ostream& err) : err_(err) {}
    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        err_ << "tolvane: " << caption << ": " << text << '\n';
        return (style & 0xF) == MbYesNo ? IdNo : IdOk;
    }

private:
    std::ostream& err_;
};

struct ListToPrint {
    const char* key;
    const char* heading;
    const GroupList* groups;
    const RowIndex* rows;
};

void PrintList(const ListToPrint& list, const FileRecords& records, bool tsv, std::ostream& out)
{
    const RowIndex& rows = list.groups ? list.groups->rows : *list.rows;
    if (rows.empty()) return;
    const bool zeroSize = std::strcmp(list.key, "zero") == 0;
    if (!tsv) out << '[' << list.heading << "]\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        const FileRecord record = records[rows[r]];
        if (tsv) {
            out << list.key << '\t';
            if (list.groups) out << list.groups->groups[r];
            out << '\t' << record.folderPath << record.fileName << '\t' << SizeText(record.size, true) << '\t'
                << FileTimeText(zeroSize ? record.createdTime : record.modifiedTime) << '\n';
            continue;
        }
        if (list.groups && r > 0 && list.groups->groups[r] != list.groups->groups[r - 1]) out << '\n';
        out << record.folderPath << record.fileName << '\n';
    }
    if (!tsv) out << '\n';
}

}  // namespace

CLI::App* AddCompareCommand(CLI::App& app, CompareCommandOptions& o)
{
    CLI::App* command = app.add_subcommand("compare", "Find duplicate files by content, name and/or size");
    // A location such as /data is a path, never an option, on every system.
    command->allow_windows_style_options(false);
    command->add_option("LOCATION", o.locations, "Folders to compare (subfolders included)");
    command->add_option("--locations", o.locationsFile, "Add the folders of a locations list file");
    command->add_flag("--no-subfolders", o.noSubfolders, "Only the files directly inside each location");
    command->add_flag("--content", o.content, "Match content");
    command->add_flag("--truncated", o.truncated, "So truncated: a file that is the beginning of a longer one matches");
    command->add_flag("--group-truncated", o.groupTruncated, "Group truncated copies with their longer file");
    command->add_flag("--name", o.name, "Match name");
    command->add_flag("--ignore-case", o.ignoreCase, "Ignore the letter case of names (A-Z only)");
    command->add_flag("--size", o.size, "Match size");
    command->add_flag("--zero-size", o.zeroSize, "Group zero size files by size too");
    command->add_flag("--combined", o.combined, "Combined result of name with content or size");
    command->add_flag("--only", o.only, "Only the combined result");
    command->add_option("--ext", o.extensions, "Extension filter, such as jpg/png");
    command->add_option("--ext-mode", o.extensionMode, "include (default) or exclude");
    command->add_option("--size-filter", o.sizeFilter, "MODE:N[UNIT][:N[UNIT]], MODE eq|min|max|between|not-between");
    command->add_option("--date", o.date, "KIND:REL:YYYY-MM-DD[:YYYY-MM-DD]");
    command->add_option("--attr", o.attributes, "include|exclude:NAME[,NAME...]");
    command->add_flag("--tsv", o.tsv, "One tab-separated line per row: LIST, GROUP, PATH, SIZE, DATE");
    command->add_option("--list", o.list, "Print one list only: combined, content, name, size, truncated or zero");
    command->add_flag("--quiet", o.quiet, "No phase lines on stderr");
    return command;
}

int RunCompareCommand(const CompareCommandOptions& o, std::ostream& out, std::ostream& err, bool stderrIsTerminal)
{
    static const char* const listKeys[] = {"combined", "content", "name", "size", "truncated", "zero"};
    if (!o.list.empty() && std::find(std::begin(listKeys), std::end(listKeys), o.list) == std::end(listKeys)) {
        err << "tolvane compare: --list takes combined, content, name, size, truncated or zero: '" << o.list << "'\n";
        return 2;
    }

    CompareRunSettings settings;
    settings.includeSubfolders = !o.noSubfolders;
    CompareFilterRows rows;
    std::optional<std::string> problem;
    if (o.extensionMode != "include" && o.extensionMode != "exclude") {
        problem = "--ext-mode takes include or exclude: '" + o.extensionMode + "'";
    }
    if (!problem && !o.extensions.empty()) problem = ParseExtensions(o.extensions, o.extensionMode, rows);
    if (!problem && !o.sizeFilter.empty()) problem = ParseSizeFilter(o.sizeFilter, rows);
    if (!problem && !o.date.empty()) problem = ParseDate(o.date, rows);
    if (!problem && !o.attributes.empty()) problem = ParseAttributes(o.attributes, rows, settings.criteria.attributeFlags);
    if (problem) {
        err << "tolvane compare: " << *problem << '\n';
        return 2;
    }
    AcceptCompareFilters(rows, settings.criteria);

    std::vector<std::string> locations = o.locations;
    if (!o.locationsFile.empty() && !ReadLocationsFile(o.locationsFile, locations)) {
        err << "tolvane compare: cannot open the locations file '" << o.locationsFile << "'\n";
        return 2;
    }
    settings.locationPaths = NormaliseLocations(locations, settings.includeSubfolders);
    settings.locationsSpecified = !settings.locationPaths.empty();

    CompareOptions& boxes = settings.boxes;
    boxes.matchContent = o.content;
    boxes.soTruncated = o.truncated;
    boxes.dontGroupTruncated = !o.groupTruncated;
    boxes.matchName = o.name;
    boxes.ignoreCase = o.ignoreCase;
    boxes.matchSize = o.size;
    boxes.ignoreZeroSize = !o.zeroSize;
    boxes.combinedResult = o.combined;
    boxes.combinedOnly = o.only;

    ConsoleView view(err, o.quiet, stderrIsTerminal);
    ConsolePrompter prompter(err);
    FileContentSource source;
    MemoryResultList errorLog(false);
    CompareResultLists lists;
    lists.lists[static_cast<int>(CompareTab::ErrorLog)] = &errorLog;
    CompareRun run(view, prompter, source, lists);
    run.Run(settings);
    if (run.RunState() != CompareRunState::Finished) return 2;

    for (int row = 0; row < errorLog.RowCount(); ++row) {
        err << errorLog.Cell(row, ErrorLogObjectColumn) << '\t' << errorLog.Cell(row, ErrorLogEventColumn) << '\n';
    }
    if (!run.ListsWritten()) return 2;

    const CompareLists& result = run.Lists();
    const ListToPrint printed[] = {
        {"combined", "Combined", &result.combined, nullptr},      {"content", "Same content", &result.content, nullptr},
        {"name", "Same name", &result.name, nullptr},             {"size", "Same size", &result.size, nullptr},
        {"truncated", "Truncated", nullptr, &result.truncatedRows}, {"zero", "Zero size", nullptr, &result.zeroSizeRows},
    };
    for (const ListToPrint& list : printed) {
        if (o.list.empty() || o.list == list.key) PrintList(list, run.Records(), o.tsv, out);
    }
    const bool anyGroup = !result.combined.rows.empty() || !result.content.rows.empty() || !result.name.rows.empty() ||
                          !result.size.rows.empty();
    return anyGroup ? 0 : 1;
}

}  // namespace tolvane::cli
