// Find and compare over trees that fight back: the run completes, logs what it
// could not handle, holds only true matches and leaves the tree as it was.
#include "common/error_log.h"
#include "faults/fault_tree.h"
#include "platform/error.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tolvane::test {
namespace {

// closed cannot be listed; names-only can be listed but not entered, so its
// file's details cannot be read: both are logged, not silently left out.
TEST(WalkFaults, AnUnreadableFolderIsLoggedAndEverythingElseIsFound)
{
    TempFolder tree;
    const Paths same = {tree.WriteFile("a.txt", "same"), tree.WriteFile("open/c.txt", "same")};
    const std::string other = tree.WriteFile("d.txt", "other");
    tree.WriteFile("closed/b.txt", "same");
    const std::string unseen = tree.WriteFile("names-only/e.txt", "same");
    const std::string closed = tree.MakeFolder("closed"), namesOnly = tree.MakeFolder("names-only");
    const TreeHashes before = HashTree(tree.Path());
    if (!MakeUnreadable(closed)) GTEST_SKIP() << "this system cannot make a folder unreadable";
    fs::permissions(namesOnly, fs::perms::owner_read);
    FindRun find(tree.Path());
    const CompareSession compare(tree.Path());
    MakeReadable(closed);
    MakeReadable(namesOnly);

    const std::string denied = BlankControlBytes(platform::SystemErrorText(platform::ErrorAccessDenied));
    const std::vector<ErrorRow> logged = {{closed, denied}, {unseen, denied}};
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted({same[0], same[1], other}));
    EXPECT_EQ(Sorted(ErrorRows(find.errors)), logged);
    EXPECT_EQ(compare.Groups(CompareTab::Content), std::vector<Paths>{same});
    EXPECT_EQ(Sorted(compare.Errors()), logged);
    EXPECT_EQ(Damage(before, HashTree(tree.Path())), Paths{});
}

// Two names of one file are no copies: sub/x and sub/lone are hard links, sub/y
// a true copy of y; loop shows real again, sub/m shows y again (bind mounts).
TEST(WalkFaults, TwoNamesOfOneFileAreNeverGroupedAsCopies)
{
    TempFolder tree;
    const std::string x = tree.WriteFile("real/x", "dup"), y = tree.WriteFile("real/y", "dup");
    const std::string lone = tree.WriteFile("real/lone", "only one"), subY = tree.WriteFile("real/sub/y", "dup");
    fs::create_hard_link(x, tree.PathOf("real/sub/x"));
    fs::create_hard_link(lone, tree.PathOf("real/sub/lone"));
    const std::string root = tree.PathOf("real");
    TestMount loop(tree.MakeFolder("real/loop"), false, root), file(tree.WriteFile("real/sub/m", ""), false, y);
    for (const bool byContent : {true, false}) {
        for (const bool only : {false, true}) {
            const CompareSession compare(root, {.combinedResult = true, .combinedOnly = only, .matchContent = byContent,
                                                .matchName = true, .matchSize = !byContent});
            EXPECT_EQ(compare.Groups(CompareTab::Combined), std::vector<Paths>{Sorted({y, subY})}) << byContent << only;
            EXPECT_EQ(compare.run.ErrorCount(), 0);
        }
    }
    Paths eachOnce = {x, y, lone, subY, tree.PathOf("real/sub/x"), tree.PathOf("real/sub/lone")};
    if (fs::exists(tree.PathOf("real/sub/m"))) eachOnce.push_back(tree.PathOf("real/sub/m"));
    FindRun find(root);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(eachOnce));

    EXPECT_EQ(CompareSession(root).Groups(CompareTab::Content), std::vector<Paths>{Sorted({x, y, subY})});
    if (!loop.Mounted() || !file.Mounted())
        GTEST_SKIP() << "a folder cannot be mounted twice here (bind mounts need root)";
}

#ifndef _WIN32
// Links (Wine makes none): folder links up the tree end no walk; a file link
// carries no size of its own and is left out of the compare, so it neither
// stands in Zero size nor joins the group of what it names.
TEST(WalkFaults, LinksEndNoWalkAndAreNotComparedAsFiles)
{
    TempFolder tree;
    const std::string content(588 << 10, 'a');
    const Paths same = {tree.WriteFile("a", content), tree.WriteFile("inner/b", content)};
    const std::string empty = tree.WriteFile("empty", "");
    for (const auto& [target, link] : {std::pair(tree.Path(), "inner/up"), {tree.PathOf("inner"), "inner/self"},
                                       {same[0], "inner/to-a"}, {empty, "to-empty"}})
        ASSERT_EQ(symlink(target.c_str(), tree.PathOf(link).c_str()), 0);
    const TreeHashes before = HashTree(tree.Path());
    const CompareSession compare(tree.Path());

    EXPECT_EQ(compare.Groups(CompareTab::Content), std::vector<Paths>{same});
    ASSERT_EQ(compare.run.Lists().zeroSizeRows.size(), 1u);
    EXPECT_EQ(compare.run.Records().FullPath(compare.run.Lists().zeroSizeRows[0]), empty);
    EXPECT_TRUE(compare.Errors().empty());
    EXPECT_EQ(Damage(before, HashTree(tree.Path())), Paths{});
}
#endif

}  // namespace
}  // namespace tolvane::test
