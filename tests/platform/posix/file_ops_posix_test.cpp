#include "platform/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/error.h"
#include "platform/fs.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

// Between file systems (to /dev/shm when it is another one) a move never replaces a file; that it copies,
// then deletes, shows in the fault suite's moves onto a volume of its own.
TEST(MoveFileNoReplace, AMoveToAnotherVolumeNeverReplaces)
{
    test::TempFolder temp;
    struct stat here{}, shm{};
    if (stat(temp.Path().c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev ||
        access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    test::TempFolder other("/dev/shm");
    const std::string source = temp.WriteFile("x.txt", "travelling"), taken = other.WriteFile("taken.txt", "resident");
    EXPECT_FALSE(platform::MoveFileNoReplace(source, taken));
    EXPECT_EQ(platform::LastError(), platform::ErrorAlreadyExists);
    EXPECT_EQ(test::ReadWholeFile(taken) + test::ReadWholeFile(source), "residenttravelling");
}

// A folder that may be read but not searched gives its names but no details of its entries.
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
    while (listing.Next(entry)) names.insert(entry.cFileName + std::string(entry.IsDirectory() ? "/" : ""));
    EXPECT_FALSE(listing.FillDetails(entry));
    EXPECT_EQ(platform::LastError(), platform::ErrorAccessDenied);
    test::MakeReadable(folder);
    EXPECT_EQ(names, (std::set<std::string>{"./", "../", "file.txt", "inner/"}));
}

}  // namespace
}  // namespace tolvane
