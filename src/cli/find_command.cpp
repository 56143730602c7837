#include "cli/find_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <optional>

#include "cli/filter_options.h"
#include "cli/location_options.h"
#include "cli/output_format.h"
#include "common/prompter.h"
#include "common/result_list.h"
#include "common/size_date_text.h"
#include "find/filter_normalisation.h"
#include "find/find_status_text.h"
#include "find/search_engine.h"

namespace tolvane::cli {
namespace {

constexpr const char* CommandName = "tolvane find";

const std::vector<std::string> TargetNames = {"files", "folders", "both"};
const std::vector<std::string> NameModeNames = {"contains", "matches", "not-contains"};
const std::vector<std::string> ContentModeNames = {"containing", "not-containing"};

// Message boxes on the error stream. A question is answered Yes: giving no
// rule (or none that applies to folders) on a command line is a choice made
// on purpose, not a slip of the mouse, so it is shown only with --verbose.
class StreamPrompter : public Prompter {
public:
    StreamPrompter(std::ostream& err, bool showQuestions) : err_(err), showQuestions_(showQuestions) {}

    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        const bool question = (style & 0xF) == MbYesNo;
        if (question && !showQuestions_) return IdYes;
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        err_ << CommandName << ": " << caption << ": " << line << (question ? " Yes." : "") << "\n";
        return question ? IdYes : IdOk;
    }

private:
    std::ostream& err_;
    bool showQuestions_;
};

enum class RowForm { Path, Long, Json };

// Prints each found file or folder as the walk finds it. When the output
// cannot be written the search is stopped.
class RowPrinter {
public:
    RowPrinter(std::ostream& out, RowForm form, char lineEnd, std::atomic<bool>& stopRequested)
        : out_(out), form_(form), lineEnd_(lineEnd), stopRequested_(stopRequested)
    {
    }

    void Print(const FileRecord& record, bool folder)
    {
        if (failed_) return;
        switch (form_) {
        case RowForm::Path: out_ << record.folderPath << record.fileName << lineEnd_; break;
        case RowForm::Long:
            out_ << EscapedField(record.fileName) << '\t' << EscapedField(record.folderPath) << '\t';
            if (!folder) out_ << SizeText(record.size, false) << '\t';
            out_ << FileTimeText(record.modifiedTime) << lineEnd_;
            break;
        case RowForm::Json: {
            std::string path(record.folderPath);
            path += record.fileName;
            out_ << JsonLine()
                        .Path("path", path)
                        .Text("type", folder ? "folder" : "file")
                        .Number("size", record.size)
                        .Time("modified", record.modifiedTime)
                        .Finish();
            break;
        }
        }
        if (!out_) Fail();
    }

    // The last rows are written out; false when any could not be.
    bool Flush()
    {
        if (!failed_ && !out_.flush()) Fail();
        return !failed_;
    }

private:
    void Fail()
    {
        failed_ = true;
        stopRequested_.store(true);
    }

    std::ostream& out_;
    RowForm form_;
    char lineEnd_;
    std::atomic<bool>& stopRequested_;
    bool failed_ = false;
};

// Lists the command line does not keep: the rows were printed as found.
class CountedList : public ResultList {
public:
    int RowCount() const override { return rows_; }
    int StateImage(int) const override { return StateImageNone; }
    void SetStateImage(int, int) override {}
    std::string CellText(int, int, size_t) const override { return {}; }
    void SetCellText(int, int, std::string_view) override {}
    void InsertRow(int) override { ++rows_; }
    void DeleteRow(int) override { --rows_; }
    void DeleteAllRows() override { rows_ = 0; }
    void SetEnabled(bool) override {}
    bool IsEnabled() const override { return true; }

private:
    int rows_ = 0;
};

// Prints each entry as the walk finds it.
class StreamRunView : public FindRunView {
public:
    explicit StreamRunView(RowPrinter& printer) : printer_(printer) {}
    void EntryFound(const FileRecord& record, bool folder) override { printer_.Print(record, folder); }

private:
    RowPrinter& printer_;
};

}  // namespace

FindCommand::FindCommand(CLI::App& app)
{
    command_ = app.add_subcommand("find", "Find files and folders that pass every rule given");
    command_->add_option("location", locations_, "Folder to search in (default: the current folder)")
        ->type_name("LOCATION...");
    command_->add_option("--locations", locationsFile_, "Also search the folders of a locations list file")
        ->type_name("FILE");
    command_->add_flag("--no-subfolders", noSubfolders_, "Search only the entries directly inside each location");
    command_->add_option("--target", target_, "What to look for (default files)")
        ->check(CLI::IsMember(TargetNames));
    command_->add_option("-n,--name", name_, "Name pattern (no wildcards; none of \\ / : * ? \" < > |)");
    command_->add_option("--name-mode", nameMode_, "How the name is compared (default contains)")
        ->check(CLI::IsMember(NameModeNames));
    command_->add_flag("--name-case", nameCase_, "Compare names case-sensitively");
    AddListOption(*command_, "-e,--ext", extensions_,
                  "Extensions separated by slashes, such as jpg/png (files only); repeatable");
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
    AddListOption(*command_, "--attr", attributes_,
                  "Attribute rule, repeatable; NAME archive|index|readonly|hidden|system|temporary|offline|compressed|"
                         "encrypted|sparse|reparsepoint")
        ->type_name("include|exclude:NAME[,NAME...]");
    AddScriptOptions(*command_, script_);
    CLI::Option* longForm = command_->add_flag(
        "--long", long_, "Print Name, Path, Size, Modified (files) and Name, Path, Modified (folders), tab-separated");
    longForm->excludes(script_.jsonOption);
    command_->add_flag("-q,--quiet", quiet_, "Leave out the two status lines");
    command_->add_flag("--verbose", verbose_, "Also show the questions the search answers Yes");
    command_->footer(
        "Each found file or folder is printed as it is found, one full path a line; error rows go to the error "
        "stream as path, tab, system text. --long escapes tabs, line ends and backslashes in names as \\t, \\n, "
        "\\r and \\\\. --json prints {\"path\", \"type\" (file or folder), \"size\", \"modified\" (UTC, ISO 8601)} "
        "a line; a name byte that is not UTF-8 is written \\udcXX (Python's surrogateescape).\n"
        "Without any rule the search runs anyway, and so it does when searching for folders with no rule that "
        "applies to folders (--verbose shows the questions answered Yes).\n"
        "Exit status: " + std::string(ExitStatusValues));
}

bool FindCommand::Prepare(FindState& state, FilterRows& rows, Prompter& prompter, std::ostream& err) const
{
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
            rows.extensionChecked = true;
            rows.extensionText = ParseExtensionOptions(extensions_);
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
            const SizeOption size = ParseSizeOption("--size", size_);
            rows.sizeModeIndex = static_cast<int>(size.mode);
            rows.sizeFromText = size.from.digits;
            rows.sizeFromUnitIndex = static_cast<int>(size.from.unit);
            rows.sizeToText = size.to.digits;
            rows.sizeToUnitIndex = static_cast<int>(size.to.unit);
            rows.sizeChecked = true;
        }

        if (command_->count("--date") > 0) {
            const DateOption date = ParseDateOption(date_);
            rows.dateKindIndex = static_cast<int>(date.kind);
            rows.dateRelationIndex = static_cast<int>(date.relation);
            rows.dateFrom = date.from;
            rows.dateTo = date.to;
            rows.dateChecked = true;
        }

        if (command_->count("--time") > 0) {
            const TimeOption time = ParseTimeOption(time_);
            rows.timeKindIndex = static_cast<int>(time.kind);
            rows.timeRelationIndex = static_cast<int>(time.relation);
            rows.timeFrom = time.from;
            rows.timeTo = time.to;
            rows.timeChecked = true;
        }

        if (command_->count("--attr") > 0) {
            const AttributeOption attributes = ParseAttributeOptions(attributes_);
            rows.attributeModeIndex = static_cast<int>(attributes.mode);
            for (const AttributeFlag flag : attributes.flags) {
                // The attributes dialog offers these only where they can be present.
                if (rows.searchTarget == SearchTarget::Folders &&
                    (flag == AttributeFlag::Temporary || flag == AttributeFlag::Sparse))
                    throw BadValue{"--attr: " + AttributeName(flag) + " does not apply to --target folders"};
                if (rows.searchTarget == SearchTarget::Files && flag == AttributeFlag::ReparsePoint)
                    throw BadValue{"--attr: reparsepoint applies to folders, not to --target files"};
                state.criteria.attributeFlags[static_cast<size_t>(flag)] = 1;
            }
            rows.attributeChecked = true;
        }

        const bool listFileGiven = command_->count("--locations") > 0;
        state.locations = AcceptLocations(LocationsOrCurrentFolder(locations_, listFileGiven),
                                          listFileGiven ? std::optional<std::string>(locationsFile_) : std::nullopt,
                                          !noSubfolders_, prompter);
        state.walkLimits = script_.Limits();
        state.unlimitedRows = true;
    } catch (const BadValue& bad) {
        err << CommandName << ": " << bad.message << "\n";
        return false;
    }
    AcceptFilterRows(rows, state.criteria, prompter);
    return true;
}

int FindCommand::Check(std::ostream& err) const
{
    StreamPrompter prompter(err, verbose_ && !quiet_);
    FindState state;
    FilterRows rows;
    return Prepare(state, rows, prompter, err) ? 0 : 2;
}

int FindCommand::Run(std::ostream& out, std::ostream& err) const
{
    StreamPrompter prompter(err, verbose_ && !quiet_);
    FindState state;
    FilterRows rows;
    if (!Prepare(state, rows, prompter, err)) return 2;

    CountedList files, folders;
    MemoryResultList errors(false);
    FindLists lists(files, folders, errors);
    const RowForm form = script_.json ? RowForm::Json : long_ ? RowForm::Long : RowForm::Path;
    RowPrinter printer(out, form, script_.LineEnd(), state.stopRequested);
    StreamRunView view(printer);
    state.criteria.searchTarget = rows.searchTarget;
    const SearchOutcome outcome = SearchWorker(state, view, prompter, lists);
    const bool written = printer.Flush();

    for (int row = 0; row < errors.RowCount(); ++row)
        err << errors.Cell(row, ErrorLogObjectColumn) << '\t' << errors.Cell(row, ErrorLogEventColumn) << '\n';
    if (outcome == SearchOutcome::NotStarted) return 2;
    if (!written) {
        err << CommandName << ": the output cannot be written\n";
        return 2;
    }
    if (!quiet_) err << FindStatusText(state, FindStatusEvent::Final) << '\n';
    if (outcome == SearchOutcome::Aborted) return 2;
    return files.RowCount() + folders.RowCount() > 0 ? 0 : 1;
}

}  // namespace tolvane::cli
