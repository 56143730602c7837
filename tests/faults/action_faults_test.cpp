// Copy and move into destinations that refuse part of the work, and moves of
// files that change under them: every failure is reported, no partial file is
// left or counted, and no source is lost.
#include <optional>

#include "faults/fault_tree.h"
#include "platform/error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#endif

namespace tolvane::test {
namespace {

constexpr int32_t Modes[] = {ActionModeCopy, ActionModeMove};

const char* ModeName(int32_t mode) { return mode == ActionModeCopy ? "copy" : "move"; }

// A small volume of its own on a folder of the tree, for the test's life;
// Mounted() is false where the test may not mount one.
class SmallVolume {
public:
#ifdef _WIN32
    SmallVolume(const std::string&, bool) {}
    bool Mounted() const { return false; }
#else
    SmallVolume(const std::string& folder, bool readOnly) : folder_(folder)
    {
        mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=1m") == 0;
    }
    ~SmallVolume()
    {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
#endif
};

using Messages = std::vector<std::pair<std::string, std::string>>;  // text, caption

Messages Said(const std::vector<ShownMessage>& shown)
{
    Messages said;
    for (const ShownMessage& m : shown) said.emplace_back(m.text, m.caption);
    return said;
}

// Rows are handled from the last up: a and c fit on the 1 MiB volume, big
// does not, and the run ends there.
TEST(ActionFaults, AFullDestinationEndsTheRunWithoutAPartialFileOrALostSource)
{
    for (const int32_t mode : Modes) {
        TempFolder tree;
        tree.WriteFile("from/a", std::string(1000, 'a'));
        tree.WriteFile("from/big", std::string(3 << 20, 'b'));
        tree.WriteFile("from/c", std::string(1000, 'c'));
        const std::string full = tree.MakeFolder("full");
        SmallVolume volume(full, false);
        if (!volume.Mounted()) GTEST_SKIP() << "no small volume can be mounted here";
        const TreeHashes before = HashTree(tree.Path());
        FindRun find(tree.PathOf("from"));
        ASSERT_EQ(find.files.RowCount(), 3);
        const Paths rows = find.Paths(find.files);

        const std::vector<ShownMessage> shown = TransferAll(find, full, mode);
        const TreeHashes after = HashTree(tree.Path());
        EXPECT_EQ(Said(shown), (Messages{{platform::SystemErrorText(platform::ErrorDiskFull), "Operation aborted"}}))
            << ModeName(mode);
        // The rows below big's were handled before it and went through whole.
        size_t reached = 0;
        Intended intended;
        for (size_t row = rows.size(); fs::path(rows[--row]).filename() != "big"; ++reached) {
            const fs::path name = fs::path(rows[row]).filename();
            if (mode == ActionModeMove) intended.moved[fs::path("from") / name] = fs::path("full") / name;
        }
        EXPECT_EQ(Damage(before, after, intended), Paths{}) << ModeName(mode);
        EXPECT_EQ(after.size(), mode == ActionModeCopy ? 3 + reached : 3u);
        EXPECT_EQ(find.files.RowCount(), static_cast<int>(mode == ActionModeCopy ? 3 : 3 - reached));
    }
}

// A read-only volume refuses the run at its first file; a read-only file of
// the same name is a clash (answered Skip) and is never replaced.
TEST(ActionFaults, AReadOnlyDestinationIsReportedAndTheSourcesStay)
{
    for (const int32_t mode : Modes) {
        for (const bool wholeVolume : {true, false}) {
            TempFolder tree;
            tree.WriteFile("from/a.txt", "new a");
            tree.WriteFile("from/b.txt", "new b");
            const std::string destination = tree.MakeFolder("to");
            std::optional<SmallVolume> volume;
            if (wholeVolume) {
                volume.emplace(destination, true);
                if (!volume->Mounted()) continue;  // and Windows ignores a read-only folder
            } else {
                ASSERT_TRUE(SetReadOnly(tree.WriteFile("to/a.txt", "old a"), true));
            }
            const TreeHashes before = HashTree(tree.Path());
            FindRun find(tree.PathOf("from"));

            const std::vector<ShownMessage> shown = TransferAll(find, destination, mode);
            const TreeHashes after = HashTree(tree.Path());
            Intended intended;
            if (!wholeVolume && mode == ActionModeMove) intended.moved["from/b.txt"] = "to/b.txt";
            EXPECT_EQ(Damage(before, after, intended), Paths{}) << ModeName(mode) << wholeVolume;
            if (wholeVolume) {
                EXPECT_EQ(Said(shown),
                          (Messages{{platform::SystemErrorText(platform::ErrorAccessDenied), "Operation aborted"}}));
            } else {
                EXPECT_EQ(shown.size(), 0u) << "a clash asks in its own dialog";
                EXPECT_EQ(ReadWholeFile(destination + "a.txt"), "old a");
                EXPECT_EQ(ReadWholeFile(destination + "b.txt"), "new b");
            }
            SetReadOnly(destination + "a.txt", false);
        }
    }
}

// Someone else replaces (POSIX) or holds open without leave to delete
// (Windows) the first file a move reaches, after the find listed it. It is
// moved whole, with the bytes it holds then, or reported and left.
TEST(ActionFaults, ASourceReplacedOrHeldDuringAMoveIsMovedWholeOrLeft)
{
    for (const bool otherVolume : {false, true}) {
        TempFolder tree;
        tree.WriteFile("from/a", "first a");
        tree.WriteFile("from/b", "first b");
        const std::string destination = tree.MakeFolder("to");
        std::optional<SmallVolume> volume;
        if (otherVolume) {
            volume.emplace(destination, false);
            if (!volume->Mounted()) continue;
        }
        FindRun find(tree.PathOf("from"));
        const Paths rows = find.Paths(find.files);
        const fs::path first = fs::path(rows.back()).filename(), second = fs::path(rows.front()).filename();
        TreeHashes before;
#ifdef _WIN32
        HANDLE holder = INVALID_HANDLE_VALUE;
#endif
        const std::vector<ShownMessage> shown = TransferAll(find, destination, ActionModeMove, [&] {
            if (!before.empty()) return;
#ifdef _WIN32
            holder = CreateFileA(rows.back().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
#else
            fs::rename(tree.WriteFile("replacement", "a longer replacement"), rows.back());
#endif
            before = HashTree(tree.Path());
        });
#ifdef _WIN32
        CloseHandle(holder);
#endif
        const TreeHashes after = HashTree(tree.Path());
        Intended intended;
        intended.moved[fs::path("from") / second] = fs::path("to") / second;
        if (fs::exists(rows.back())) {
            EXPECT_EQ(Said(shown), (Messages{{"Do you want to abort?", "Error occured"},
                                             {platform::SystemErrorText(platform::ErrorSharingViolation), "Operation failed"}}));
        } else {
            intended.moved[fs::path("from") / first] = fs::path("to") / first;
            EXPECT_EQ(shown.size(), 0u);
        }
        EXPECT_EQ(Damage(before, after, intended), Paths{}) << otherVolume;
#ifndef _WIN32
        EXPECT_EQ(ReadWholeFile(destination + first.string()), "a longer replacement") << otherVolume;
#endif
    }
}

}  // namespace
}  // namespace tolvane::test
