#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <string>

#include "platform/error.h"
#include "platform/fs.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

// A folder that may be read but not searched gives its names but no details
// of its entries; the names must not be lost.
TEST(FolderListing, ListsTheNamesOfAFolderThatCannotBeSearched)
{
    test::TempFolder temp;
    const std::string folder = temp.MakeFolder("names-only");
    temp.WriteFile("names-only/file.txt", "abc");
    temp.MakeFolder("names-only/inner");
    if (!test::MakeUnreadable(folder)) GTEST_SKIP() << "permissions are not enforced here";
    chmod(folder.c_str(), S_IRUSR);

    std::set<std::string> names;
    platform::FolderListing listing;
    ASSERT_TRUE(listing.Open(folder));
    FindData entry;
    bool innerIsFolder = false;
    while (listing.Next(entry)) {
        names.insert(entry.cFileName);
        if (std::string(entry.cFileName) == "inner") innerIsFolder = entry.IsDirectory();
    }
    EXPECT_FALSE(listing.FillDetails(entry));
    EXPECT_EQ(platform::LastError(), platform::ErrorAccessDenied);
    test::MakeReadable(folder);

    EXPECT_EQ(names, (std::set<std::string>{".", "..", "file.txt", "inner"}));
    EXPECT_TRUE(innerIsFolder);
}

}  // namespace
}  // namespace tolvane
