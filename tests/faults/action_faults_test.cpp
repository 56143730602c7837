// Copies and moves that are refused or whose files change under them: every
// failure is reported, no partial file is left, no source is lost.
#include <chrono>
#include <fstream>

#include "actions/source_check.h"

#include "faults/fault_tree.h"
#include "platform/error.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tolvane::test {
namespace {

// Rows are handled from the last up, and big is found first (the walk is
// breadth-first): on a 1 MiB volume a and c fit, big does not, and the run ends
// there; a read-only volume refuses the first file.
TEST(ActionFaults, AFullOrReadOnlyDestinationEndsTheRunWithoutAPartialFileOrALostSource)
{
    for (const bool readOnly : {false, true}) {
        for (const int32_t mode : {ActionModeCopy, ActionModeMove}) {
            TempFolder tree;
            tree.WriteFile("from/big", std::string(3 << 20, 'b'));
            tree.WriteFile("from/more/a", std::string(1000, 'a'));
            tree.WriteFile("from/more/c", std::string(1000, 'c'));
            const std::string volume = tree.MakeFolder("to");
            TestMount mount(volume, readOnly);
            if (!mount.Mounted()) GTEST_SKIP() << "no small volume can be mounted here";
            const TreeHashes before = HashTree(tree.Path());
            FindRun find(tree.PathOf("from"));

            const Messages said = Said(TransferAll(find, volume, mode));  // first: the text below is the last error's
            const uint32_t error = readOnly ? platform::ErrorAccessDenied : platform::ErrorDiskFull;
            EXPECT_EQ(said, Messages{SystemError("Operation aborted", error)}) << mode;
            Intended intended;
            for (const std::string name : {"a", "c"}) {
                if (!readOnly) (mode == ActionModeMove ? intended.moved : intended.copied)["from/more/" + name] = "to/" + name;
            }
            EXPECT_EQ(Damage(before, HashTree(tree.Path()), intended), Paths{}) << mode << readOnly;
            EXPECT_EQ(find.files.RowCount(), 3 - static_cast<int>(intended.moved.size()));
        }
    }
}

// The first file a move reaches is edited after the find (reported and left) or, as the move reaches it,
// replaced (POSIX; same size and time: moved whole as it is then) or held open (Windows: reported and left).
// (A move to another volume, copy and delete, shows in the full-volume test above.)
TEST(ActionFaults, ASourceChangedOrHeldDuringAMoveIsMovedWholeOrLeft)
{
    for (const bool edited : {false, true}) {
        TempFolder tree;
        tree.WriteFile("from/a", "first a");
        tree.WriteFile("from/b", "first b");
        const std::string destination = tree.MakeFolder("to");
        FindRun find(tree.PathOf("from"));
        const Paths rows = find.Paths(find.files);
        const fs::path first = fs::path(rows.back()).filename(), second = fs::path(rows.front()).filename();
        if (edited) std::ofstream(rows.back(), std::ios::binary | std::ios::app) << " and more";
        TreeHashes before = edited ? HashTree(tree.Path()) : TreeHashes{};
#ifdef _WIN32
        HANDLE holder = INVALID_HANDLE_VALUE;
#endif
        const Messages said = Said(TransferAll(find, destination, ActionModeMove, [&] {
            if (!before.empty()) return;
#ifdef _WIN32
            holder = CreateFileA(rows.back().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
#else
            const std::string replacement = tree.WriteFile("replacement", "other a");
            fs::last_write_time(replacement, fs::last_write_time(rows.back()));
            fs::rename(replacement, rows.back());
#endif
            before = HashTree(tree.Path());
        }));
#ifdef _WIN32
        CloseHandle(holder);
#endif
        Intended intended;
        intended.moved[fs::path("from") / second] = fs::path("to") / second;
        if (edited) {
            EXPECT_EQ(said, (Messages{AbortQuestion, {SourceCheckText(SourceCheck::Changed, rows.back()), "Operation failed", MbIconHand}}));
        } else if (fs::exists(rows.back())) {
            EXPECT_EQ(said, (Messages{AbortQuestion, SystemError("Operation failed", platform::ErrorSharingViolation)}));
        } else {
            intended.moved[fs::path("from") / first] = fs::path("to") / first;
            EXPECT_EQ(said, Messages{});
        }
        EXPECT_EQ(Damage(before, HashTree(tree.Path()), intended), Paths{}) << edited;
        EXPECT_EQ(find.Paths(find.files), intended.moved.size() == 2 ? Paths{} : Paths{rows.back()});
    }
}

// A file is deleted only as listed and while an unmarked copy is as listed; a
// group marked whole goes. Both lists of equal content. A new time alone is a change.
TEST(ActionFaults, ADeletionLeavesAChangedFileAndTheLastCopy)
{
    const auto retime = [](const std::string& path) { fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1)); };
    const struct {
        const char* what;
        bool markBoth, changeKept;
        std::function<void(const std::string&)> change;
        SourceCheck refused;  // AsListed: the marked file is deleted
    } cases[] = {
        {"unchanged", false, false, {}, SourceCheck::AsListed},
        {"marked file touched", false, false, retime, SourceCheck::Changed},
        {"kept copy touched", false, true, retime, SourceCheck::NoCopyLeft},
        {"kept copy deleted", false, true, [](const std::string& path) { fs::remove(path); }, SourceCheck::NoCopyLeft},
        {"all marked", true, false, {}, SourceCheck::AsListed},
    };
    for (const CompareTab tab : {CompareTab::Content, CompareTab::Combined}) {
        for (const auto& c : cases) {
            TempFolder tree;
            const std::string kept = tree.WriteFile("one/f", "same"), marked = tree.WriteFile("two/f", "same");
            CompareSession compare(tree.Path(), {.combinedResult = true, .matchContent = true, .matchName = true});
            MemoryResultList& list = compare.lists[static_cast<int>(tab)];
            c.markBoth ? MarkAll(list) : MarkAllButFirst(list);
            if (c.change) c.change(c.changeKept ? kept : marked);
            const TreeHashes before = HashTree(tree.Path());

            const Messages said = Said(compare.DeleteMarked(tab));
            Intended intended;
            if (c.refused == SourceCheck::AsListed) intended.deleted.insert("two/f");
            if (c.markBoth) intended.deleted.insert("one/f");
            EXPECT_EQ(Damage(before, HashTree(tree.Path()), intended), Paths{}) << c.what;
            Messages expected = {ConfirmDelete};
            if (c.refused != SourceCheck::AsListed) expected.insert(expected.end(), {{SourceCheckText(c.refused, marked), "Operation failed", MbIconHand}, AbortQuestion});
            EXPECT_EQ(said, expected) << c.what;
            EXPECT_EQ(list.RowCount(), c.refused == SourceCheck::AsListed ? 0 : 2) << c.what;
        }
    }
}

}  // namespace
}  // namespace tolvane::test
