#include "common/walk_roots.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

using Paths = std::vector<std::string>;

// A new folder's path without its trailing separator.
std::string Folder(const test::TempFolder& temp, const char* name)
{
    std::string path = temp.MakeFolder(name);
    while (platform::EndsWithSeparator(path)) path.pop_back();
    return path;
}

TEST(WalkRoots, DropsOnlyRepeatsAndWithSubfoldersTheFoldersInsideOthers)
{
    test::TempFolder temp;
    const std::string data = Folder(temp, "Data");
    const std::string backup = Folder(temp, "Data Backup");  // sorts between Data and Data/Old
    const std::string old = Folder(temp, "Data/Old");
    const std::string data2 = Folder(temp, "Data2");  // only begins like Data
    const std::string spelt = data + platform::PathSeparator;

    EXPECT_EQ(WalkRoots(Paths{data, backup, old, data2}, true), (Paths{data, backup, data2}));
    EXPECT_EQ(WalkRoots(Paths{old, backup, data}, true), (Paths{backup, data}));
    EXPECT_EQ(WalkRoots(Paths{data, backup, old}, false), (Paths{data, backup, old}));
    // Two spellings of one folder: the first is kept.
    EXPECT_EQ(WalkRoots(Paths{data, spelt}, false), Paths{data});
    EXPECT_EQ(WalkRoots(Paths{spelt, data, spelt}, true), Paths{spelt});

#ifdef _WIN32
    const std::string root = "C:\\", inside = "C:\\Windows";
    std::string shouted = data;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(WalkRoots(Paths{data, shouted}, false), Paths{data});
    EXPECT_EQ(WalkRoots(Paths{shouted + "\\Old", data}, true), Paths{data});
#else
    const std::string root = "/", inside = "/tmp";
    const std::string upper = Folder(temp, "DATA");  // another folder here
    EXPECT_EQ(WalkRoots(Paths{data, upper}, true), (Paths{data, upper}));
    const std::string link = temp.PathOf("link");
    std::filesystem::create_directory_symlink(data, link);
    EXPECT_EQ(WalkRoots(Paths{data, link}, false), Paths{data});
    EXPECT_EQ(WalkRoots(Paths{link + "/", old}, true), Paths{link + "/"});
#endif
    EXPECT_EQ(WalkRoots(Paths{inside, root}, true), Paths{root});
    EXPECT_EQ(WalkRoots(Paths{inside, root}, false), (Paths{inside, root}));
}

}  // namespace
}  // namespace tolvane
