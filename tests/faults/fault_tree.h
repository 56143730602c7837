// Hostile trees for the engines and actions: content hashes of a whole tree
// taken before and after a run, and the three ways of running over a tree that
// a page offers (find, compare, copy or move of what a find listed).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "actions/file_action_fixture.h"
#include "compare/compare_run.h"
#include "find/search_test_support.h"

namespace tolvane::test {
namespace fs = std::filesystem;

// FNV-1a 64 of every regular file under root (links not followed, paths
// past the length limit included), by path relative to root.
using TreeHashes = std::map<fs::path, uint64_t>;
using Paths = std::vector<std::string>;
TreeHashes HashTree(const fs::path& root);

// What an action was meant to do to the tree: files moved (old to new
// relative path) and files deleted.
struct Intended {
    std::map<fs::path, fs::path> moved;
    std::set<fs::path> deleted;
};

// One line per file lost or overwritten, and per new file that holds the
// bytes of no file that was there before (a partial copy): empty when the tree
// after the run is the tree before it changed only as intended.
std::vector<std::string> Damage(const TreeHashes& before, const TreeHashes& after, const Intended& intended = {});

// An error-log row: the path and the system's text.
using ErrorRow = std::pair<std::string, std::string>;

template <typename Row>
std::vector<Row> Sorted(std::vector<Row> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}
inline Paths Sorted(std::initializer_list<std::string> paths) { return Sorted(Paths(paths)); }
std::vector<ErrorRow> ErrorRows(const MemoryResultList& log);

// A Find search for every file under root (no filters, unless rules sets
// some); the lists stay for an action to work on, as the page hands them over.
struct FindRun {
    explicit FindRun(const std::string& root, SearchTarget target = SearchTarget::Files,
                     const std::function<void(SearchCriteria&)>& rules = {});
    // Full paths of the Files (or Folders) rows.
    std::vector<std::string> Paths(const MemoryResultList& list) const;
    // Points target at the Files list, as the page hands it to an action.
    void AimAtFiles(ActionTarget& target, int32_t mode = ActionModeMove);

    FindState state;
    MemoryResultList files, folders, errors{false};
    FindLists lists{files, folders, errors};
    FindRunView view;
    ScriptedPrompter prompter;
    SearchOutcome outcome;
};

// Reports the phases to onPhase when given.
class QuietView : public CompareRunView {
public:
    explicit QuietView(std::function<void(ComparePhase)> onPhase = {}) : onPhase_(std::move(onPhase)) {}
    void PhaseEntered(ComparePhase phase) override
    {
        if (onPhase_) onPhase_(phase);
    }

private:
    std::function<void(ComparePhase)> onPhase_;
};

// A compare run over root (by content and name unless told otherwise) whose
// lists stay for an action to work on, as the page hands them over; onPhase
// sees every phase, so a test can change the tree once the walk is done.
struct CompareSession {
    explicit CompareSession(const std::string& root,
                            const CompareOptions& boxes = {.matchContent = true, .matchName = true},
                            std::function<void(ComparePhase)> onPhase = {});
    // Full paths of each group of the tab's list, sorted within each group.
    std::vector<Paths> Groups(CompareTab tab) const;
    std::vector<ErrorRow> Errors() const { return ErrorRows(lists[static_cast<int>(CompareTab::ErrorLog)]); }
    Paths ZeroSize() const;
    // Deletes the marked rows of the tab's list, answering Yes to the
    // confirmation and No to each abort question; the messages shown.
    std::vector<ShownMessage> DeleteMarked(CompareTab tab);

    QuietView view;
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    CompareRun run{view, prompter, files, ResultListsOf(lists)};
};

// Copies (or moves) every file a find listed under source into destination,
// answering a clash with Skip; returns the messages shown.
std::vector<ShownMessage> TransferAll(FindRun& found, const std::string& destination, int32_t mode,
                                      const std::function<void()>& onFile = {});

// Deletes the files a find listed whose full path isMarked picks, answering
// the question with Yes; returns the messages shown.
std::vector<ShownMessage> DeleteMarked(FindRun& found, const std::function<bool(const std::string&)>& isMarked);

}  // namespace tolvane::test
