#include "common/walk_roots.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

using Paths = std::vector<std::string>;

std::string WithoutSeparator(std::string path)
{
    while (platform::EndsWithSeparator(path)) path.pop_back();
    return path;
}

TEST(WalkRoots, DropsAFolderInsideAnotherWhateverTheSortedOrderPutsBetweenThem)
{
    test::TempFolder temp;
    const std::string data = WithoutSeparator(temp.MakeFolder("Data"));
    const std::string backup = WithoutSeparator(temp.MakeFolder("Data Backup"));
    const std::string old = WithoutSeparator(temp.MakeFolder("Data/Old"));
    // A blank sorts before a separator, so the list shows Data, Data Backup, Data/Old.
    const Paths accepted{data, backup, old};

    EXPECT_EQ(WalkRoots(accepted, true), (Paths{data, backup}));
    EXPECT_EQ(WalkRoots(Paths{old, backup, data}, true), (Paths{backup, data}));
    EXPECT_EQ(WalkRoots(accepted, false), accepted);
}

TEST(WalkRoots, KeepsTheFirstOfTwoSpellingsOfOneFolder)
{
    test::TempFolder temp;
    const std::string withSeparator = temp.MakeFolder("photos");
    const std::string without = WithoutSeparator(withSeparator);
    EXPECT_EQ(WalkRoots(Paths{without, withSeparator}, false), Paths{without});
    EXPECT_EQ(WalkRoots(Paths{withSeparator, without, withSeparator}, true), Paths{withSeparator});
}

TEST(WalkRoots, AFolderWhoseNameOnlyBeginsLikeAnotherIsNotInsideIt)
{
    test::TempFolder temp;
    const std::string data = WithoutSeparator(temp.MakeFolder("Data"));
    const std::string data2 = WithoutSeparator(temp.MakeFolder("Data2"));
    EXPECT_EQ(WalkRoots(Paths{data, data2}, true), (Paths{data, data2}));
}

TEST(WalkRoots, ARootCoversEverythingBelowIt)
{
#ifdef _WIN32
    const std::string root = "C:\\";
    const std::string inside = "C:\\Windows";
#else
    const std::string root = "/";
    const std::string inside = "/tmp";
#endif
    EXPECT_EQ(WalkRoots(Paths{inside, root}, true), Paths{root});
    EXPECT_EQ(WalkRoots(Paths{inside, root}, false), (Paths{inside, root}));
}

#ifdef _WIN32
TEST(WalkRoots, LetterCaseDoesNotMakeAnotherFolderOnWindows)
{
    test::TempFolder temp;
    const std::string data = WithoutSeparator(temp.MakeFolder("Data"));
    std::string shouted = data;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(WalkRoots(Paths{data, shouted}, false), Paths{data});
    EXPECT_EQ(WalkRoots(Paths{shouted + "\\sub", data}, true), Paths{data});
}
#else
TEST(WalkRoots, ALinkToALocationNamesTheSameFolder)
{
    test::TempFolder temp;
    const std::string data = WithoutSeparator(temp.MakeFolder("Data"));
    const std::string link = temp.PathOf("link");
    std::filesystem::create_directory_symlink(data, link);
    EXPECT_EQ(WalkRoots(Paths{data, link}, false), Paths{data});
    EXPECT_EQ(WalkRoots(Paths{link + "/", data}, true), Paths{link + "/"});
}

TEST(WalkRoots, LetterCaseNamesAnotherFolderOnPosix)
{
    test::TempFolder temp;
    const std::string lower = WithoutSeparator(temp.MakeFolder("data"));
    const std::string upper = WithoutSeparator(temp.MakeFolder("DATA"));
    EXPECT_EQ(WalkRoots(Paths{lower, upper}, true), (Paths{lower, upper}));
}
#endif

}  // namespace
}  // namespace tolvane
