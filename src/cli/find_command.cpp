#include "cli/find_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>

#include "cli/filter_options.h"
#include "cli/location_options.h"
#include "common/prompter.h"
#include "common/result_list.h"
#include "find/filter_normalisation.h"
#include "find/search_engine.h"

namespace tolvane::cli {
namespace {

constexpr const char* CommandName = "tolvane find";

const std::vector<std::string> TargetNames = {"files", "folders", "both"};
const std::vector<std::string> NameModeNames = {"contains", "matches", "not-contains"};
const std::vector<std::string> ContentModeNames = {"containing", "not-containing"};

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
            rows.extensionText = ParseExtensionOption(extensions_);
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
            const AttributeOption attributes = ParseAttributeOption(attributes_);
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

        state.locations = AcceptLocations(locations_, command_->count("--locations") > 0
                                                          ? std::optional<std::string>(locationsFile_)
                                                          : std::nullopt,
                                          !noSubfolders_, prompter);
    } catch (const BadValue& bad) {
        err << CommandName << ": " << bad.message << "\n";
        return false;
    }
    AcceptFilterRows(rows, state.criteria, prompter);
    return true;
}

int FindCommand::Check(std::ostream& err) const
{
    StreamPrompter prompter(err, quiet_);
    FindState state;
    FilterRows rows;
    return Prepare(state, rows, prompter, err) ? 0 : 2;
}

int FindCommand::Run(std::ostream& out, std::ostream& err) const
{
    StreamPrompter prompter(err, quiet_);
    FindState state;
    FilterRows rows;
    if (!Prepare(state, rows, prompter, err)) return 2;

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
