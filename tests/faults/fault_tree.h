// Hostile trees: hashes of a whole tree before and after a run, and the runs a
// page makes over a tree (find, compare, the actions on what they listed).
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

#include "compare/compare_run.h"
#include "support/file_action_fixture.h"
#include "support/search_test_support.h"

namespace tolvane::test {
namespace fs = std::filesystem;

// FNV-1a 64 of every regular file under root by relative path (links not followed, past the length limit).
using TreeHashes = std::map<fs::path, uint64_t>;
using Paths = std::vector<std::string>;
TreeHashes HashTree(const fs::path& root);

// What an action was meant to do: files moved and copied (old to new relative path) and deleted.
struct Intended {
    std::map<fs::path, fs::path> moved{};
    std::set<fs::path> deleted{};
    std::map<fs::path, fs::path> copied{};
};

// One line per file lost or changed, per file left where it was moved or deleted from,
// and per file that is new: empty when the tree changed exactly as intended.
std::vector<std::string> Damage(const TreeHashes& before, const TreeHashes& after, const Intended& intended = {});

template <typename Row>
std::vector<Row> Sorted(std::vector<Row> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}
inline Paths Sorted(std::initializer_list<std::string> paths) { return Sorted(Paths(paths)); }

using ErrorRow = std::pair<std::string, std::string>;  // the path and the system's text
std::vector<ErrorRow> ErrorRows(const MemoryResultList& log);

using Messages = std::vector<Shown>;

// A 1 MiB tmpfs, or bindSource again, on target for the object's life (POSIX, where the test may mount).
class TestMount {
public:
    TestMount(const std::string& target, bool readOnly, const std::string& bindSource = {});
    ~TestMount();
    bool Mounted() const { return mounted_; }

private:
    std::string target_;
    bool mounted_ = false;
};

// A Find for every file under root, its lists kept for an action.
struct FindRun : FindSearch {
    explicit FindRun(const std::string& root) { Run({root}); }
    void AimAtFiles(ActionTarget& target, int32_t mode = ActionModeMove);
};

// A compare run over root (by content and name unless told otherwise), its lists kept for an action.
struct CompareSession {
    explicit CompareSession(const std::string& root,
                            const CompareOptions& boxes = {.matchContent = true, .matchName = true});
    std::vector<Paths> Groups(CompareTab tab) const;  // full paths, sorted within each group
    std::vector<ErrorRow> Errors() const { return ErrorRows(lists[static_cast<int>(CompareTab::ErrorLog)]); }
    // DeleteMarked on the tab's list.
    ScriptedPrompter DeleteMarked(CompareTab tab);

    CompareRunView view;
    ScriptedPrompter prompter;
    FileContentSource files;
    MemoryResultList lists[CompareTabCount];
    CompareRun run{view, prompter, files, ResultListsOf(lists)};
};

// Deletes the target's marked rows, answering Yes to the question and No to each abort question.
ScriptedPrompter DeleteMarked(ActionTarget& target);
// Copies (or moves) every file a find listed into destination, a clash answered Skip.
ScriptedPrompter TransferAll(FindRun& found, const std::string& destination, int32_t mode,
                             const std::function<void()>& onFile = {});

}  // namespace tolvane::test
