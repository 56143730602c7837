#include "cli/compare_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/filter_options.h"
#include "cli/location_options.h"
#include "cli/output_format.h"
#include "common/size_date_text.h"
#include "compare/compare_filter_normalisation.h"
#include "compare/compare_run.h"
#include "compare/compare_status_text.h"

namespace tolvane::cli {
namespace {

// Each step of the run on a line of its own; on a terminal one line redrawn
// in place, with the percentage of a phase that reads files.
class ConsoleView : public CompareRunView {
public:
    ConsoleView(std::ostream& err, bool quiet, bool terminal) : err_(err), quiet_(quiet), terminal_(terminal) {}
    ~ConsoleView() override { EndProgressLine(); }

    void CollectingFiles() override { Show(CollectingFilesText); }
    void PhaseEntered(ComparePhase phase) override { Show(ComparePhaseText(phase)); }
    void WritingLists() override { Show(WritingListsText); }
    void ReportProgress(const CompareProgress& progress) override
    {
        if (quiet_ || !terminal_ || status_.empty()) return;
        const std::string line = ProgressLine(status_, progress);
        // Blanks over what is left of a longer line drawn before.
        const size_t clear = shownLength_ > line.size() ? shownLength_ - line.size() : 0;
        err_ << '\r' << line << std::string(clear, ' ') << std::flush;
        shownLength_ = line.size();
        progressShown_ = true;
    }

private:
    void Show(const char* text)
    {
        if (quiet_) return;
        EndProgressLine();
        status_ = text;
        if (terminal_) {
            err_ << '\r' << status_ << std::flush;
            shownLength_ = status_.size();
            progressShown_ = true;
        } else {
            err_ << status_ << '\n';
        }
    }
    void EndProgressLine()
    {
        if (progressShown_) err_ << '\n';
        progressShown_ = false;
    }

    std::ostream& err_;
    bool quiet_;
    bool terminal_;
    bool progressShown_ = false;
    size_t shownLength_ = 0;
    std::string status_;
};

}  // namespace

std::string ProgressLine(const std::string& status, const CompareProgress& progress)
{
    std::string line = status + ' ' + std::to_string(progress.percent) + '%';
    if (progress.files > 0) {
        line += " (" + std::to_string(progress.filesDone) + " of " + std::to_string(progress.files) + " files, " +
                SizeText(progress.bytesDone, false) + " of " + SizeText(progress.bytes, false) + ')';
    }
    return line;
}

namespace {

// Progress is redrawn in place only on a terminal; a redirected stderr gets
// plain lines.
bool IsTerminal(const std::ostream& err)
{
    if (&err != &std::cerr) return false;
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

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

// The Compare filters dialog's rows for the rule options; the attributes
// dialog writes its flags straight into flags.
CompareFilterRows FilterRows(const CompareCommandOptions& o, AttributeFlags& flags)
{
    CompareFilterRows rows;
    if (o.Given("--ext")) {
        rows.extensionChecked = true;
        rows.extensionText = ParseExtensionOptions(o.extensions);
    }
    rows.extensionMode = static_cast<ExtensionRuleMode>(Choice(ExtensionModeNames, o.extensionMode, "--ext-mode", "mode"));
    if (o.Given("--size-filter")) {
        const SizeOption size = ParseSizeOption("--size-filter", o.sizeFilter);
        // The dialog's size fields hold 32-bit numbers.
        for (const SizeBound* bound : {&size.from, &size.to}) {
            if (bound->number > UINT32_MAX)
                throw BadValue{"--size-filter: '" + bound->digits + "' is too large"};
        }
        rows.sizeChecked = true;
        rows.sizeMode = size.mode;
        rows.sizeFromNumber = static_cast<uint32_t>(size.from.number);
        rows.sizeFromUnit = size.from.unit;
        rows.sizeToNumber = static_cast<uint32_t>(size.to.number);
        rows.sizeToUnit = size.to.unit;
    }
    if (o.Given("--date")) {
        const DateOption date = ParseDateOption(o.date);
        rows.dateChecked = true;
        rows.dateKind = date.kind;
        rows.dateRelation = date.relation;
        rows.dateFrom = date.from;
        rows.dateTo = date.to;
    }
    if (o.Given("--attr")) {
        const AttributeOption attributes = ParseAttributeOptions(o.attributes);
        rows.attributesChecked = true;
        rows.attributeMode = attributes.mode;
        for (const AttributeFlag flag : attributes.flags) {
            // The Compare attributes dialog has no reparse point box.
            if (flag == AttributeFlag::ReparsePoint) throw BadValue{"--attr: reparsepoint is not a Compare filter"};
            flags[static_cast<size_t>(flag)] = 1;
        }
    }
    return rows;
}

struct ListToPrint {
    const char* key;
    const char* heading;
    const GroupList* groups;
    const RowIndex* rows;
};

void PrintList(const ListToPrint& list, const FileRecords& records, const CompareCommandOptions& o, std::ostream& out)
{
    const RowIndex& rows = list.groups ? list.groups->rows : *list.rows;
    if (rows.empty()) return;
    const bool zeroSize = std::strcmp(list.key, "zero") == 0;
    const char end = o.script.LineEnd();
    if (!o.tsv && !o.script.json) out << '[' << list.heading << ']' << end;
    for (size_t r = 0; r < rows.size(); ++r) {
        const FileRecord record = records[rows[r]];
        std::string path(record.folderPath);
        path += record.fileName;
        if (o.script.json) {
            JsonLine line;
            line.Text("list", list.key);
            if (list.groups)
                line.Number("group", list.groups->groups[r]);
            else
                line.Null("group");
            out << line.Path("path", path).Number("size", record.size).Time("modified", record.modifiedTime).Finish();
            continue;
        }
        if (o.tsv) {
            out << list.key << '\t';
            if (list.groups) out << list.groups->groups[r];
            out << '\t' << EscapedField(path) << '\t' << SizeText(record.size, true) << '\t'
                << FileTimeText(zeroSize ? record.createdTime : record.modifiedTime) << end;
            continue;
        }
        if (list.groups && r > 0 && list.groups->groups[r] != list.groups->groups[r - 1]) out << end;
        out << path << end;
    }
    if (!o.tsv && !o.script.json) out << end;
}

// The run's settings as the page holds them after the filters and locations
// dialogs' Accept. False, with the message on err, for a value the dialogs
// refuse or that names no folder.
bool PrepareCompareRun(const CompareCommandOptions& o, CompareRunSettings& settings, Prompter& prompter,
                       std::ostream& err)
{
    static const char* const listKeys[] = {"combined", "content", "name", "size", "truncated", "zero"};
    if (o.Given("--list") && std::find(std::begin(listKeys), std::end(listKeys), o.list) == std::end(listKeys)) {
        err << "tolvane compare: --list takes combined, content, name, size, truncated or zero: '" << o.list << "'\n";
        return false;
    }

    settings.includeSubfolders = !o.noSubfolders;
    try {
        AcceptCompareFilters(FilterRows(o, settings.criteria.attributeFlags), settings.criteria);
        const std::optional<std::string> listFile =
            o.Given("--locations") ? std::optional<std::string>(o.locationsFile) : std::nullopt;
        const LocationList stored = AcceptLocations(LocationsOrCurrentFolder(o.locations, listFile.has_value()),
                                                    listFile, settings.includeSubfolders, prompter);
        settings.locationPaths = stored.locationPaths;
        settings.locationsSpecified = stored.locationsSpecified;
        settings.walkLimits = o.script.Limits();
    } catch (const BadValue& bad) {
        err << "tolvane compare: " << bad.message << '\n';
        return false;
    }

    CompareOptions& boxes = settings.boxes;
    // Comparing by content is what a duplicate finder does unless told otherwise.
    boxes.matchContent = o.content || (!o.name && !o.size);
    boxes.soTruncated = o.truncated;
    boxes.dontGroupTruncated = !o.groupTruncated;
    boxes.matchName = o.name;
    boxes.ignoreCase = o.ignoreCase;
    boxes.matchSize = o.size;
    boxes.ignoreZeroSize = !o.zeroSize;
    boxes.combinedResult = o.combined;
    boxes.combinedOnly = o.only;
    return true;
}

}  // namespace

CompareCommand::CompareCommand(CLI::App& app)
{
    CompareCommandOptions& o = options_;
    command_ = app.add_subcommand("compare", "Find duplicate files by content, name and/or size");
    CLI::App* command = command_;
    // A location such as /data is a path, never an option, on every system.
    command->allow_windows_style_options(false);
    command->add_option("LOCATION", o.locations, "Folders to compare, subfolders included (default: the current folder)");
    // Notes each value option given, so that an empty value is not mistaken for none.
    const auto valueOption = [this](const std::string& name, std::string& value, const std::string& help) {
        command_->add_option(name, value, help)->each([this, name](const std::string&) { options_.given.insert(name); });
    };
    valueOption("--locations", o.locationsFile, "Add the folders of a locations list file");
    command->add_flag("--no-subfolders", o.noSubfolders, "Only the files directly inside each location");
    command->add_flag("--content", o.content, "Match content (the default when no match option is given)");
    command->add_flag("--truncated", o.truncated, "So truncated: a file that is the beginning of a longer one matches");
    command->add_flag("--group-truncated", o.groupTruncated, "Group truncated copies with their longer file");
    command->add_flag("-n,--name", o.name, "Match name");
    command->add_flag("--ignore-case", o.ignoreCase, "Ignore the letter case of names (A-Z only)");
    command->add_flag("--size", o.size, "Match size");
    command->add_flag("--zero-size", o.zeroSize, "Group zero size files by size too");
    command->add_flag("--combined", o.combined, "Combined result of name with content or size");
    command->add_flag("--only", o.only, "Only the combined result");
    AddListOption(*command, "-e,--ext", o.extensions, "Extension filter, such as jpg/png; repeatable")
        ->each([this](const std::string&) { options_.given.insert("--ext"); });
    command->add_option("--ext-mode", o.extensionMode, "include (default) or exclude");
    valueOption("--size-filter", o.sizeFilter, "MODE:N[UNIT][:N[UNIT]], MODE eq|min|max|between|not-between");
    valueOption("--date", o.date, "KIND:REL:YYYY-MM-DD[:YYYY-MM-DD]");
    AddListOption(*command, "--attr", o.attributes, "include|exclude:NAME[,NAME...]; repeatable")
        ->each([this](const std::string&) { options_.given.insert("--attr"); });
    AddScriptOptions(*command, o.script);
    command->add_flag("--tsv", o.tsv, "One tab-separated line per row: LIST, GROUP, PATH, SIZE, DATE")
        ->excludes(o.script.jsonOption);
    valueOption("--list", o.list, "Print one list only: combined, content, name, size, truncated or zero");
    command->add_flag("-q,--quiet", o.quiet, "No phase lines on stderr");
    command->footer(
        "Each list is printed under its [heading], its groups apart by an empty line. --tsv escapes tabs, line "
        "ends and backslashes in paths as \\t, \\n, \\r and \\\\. --json prints {\"list\", \"group\" (null in the "
        "truncated and zero lists), \"path\", \"size\", \"modified\" (UTC, ISO 8601)} a line; a name byte that is not "
        "UTF-8 is written \\udcXX (Python's surrogateescape). -0 ends every line with NUL instead.\n"
        "Exit status: " + std::string(ExitStatusValues));
}

int CompareCommand::Check(std::ostream& err) const
{
    ConsolePrompter prompter(err);
    CompareRunSettings settings;
    return PrepareCompareRun(options_, settings, prompter, err) && CompareRunMayStart(settings, prompter) ? 0 : 2;
}

int CompareCommand::Run(std::ostream& out, std::ostream& err) const
{
    const CompareCommandOptions& o = options_;
    ConsolePrompter prompter(err);
    CompareRunSettings settings;
    if (!PrepareCompareRun(o, settings, prompter, err)) return 2;

    ConsoleView view(err, o.quiet, IsTerminal(err));
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
        if (o.list.empty() || o.list == list.key) PrintList(list, run.Records(), o, out);
    }
    if (!out.flush()) {
        err << "tolvane compare: the output cannot be written\n";
        return 2;
    }
    const bool anyGroup = !result.combined.rows.empty() || !result.content.rows.empty() || !result.name.rows.empty() ||
                          !result.size.rows.empty();
    return anyGroup ? 0 : 1;
}

}  // namespace tolvane::cli
