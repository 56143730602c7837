#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/error.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using platform::LastError;
using test::ReadWholeFile;
using test::TempFolder;

bool Exists(const std::string& path) { return fs::exists(fs::path(path)); }

TEST(CopyFileNoReplace, CopiesBytesAndModifiedTime)
{
    TempFolder temp;
    const std::string source = temp.WriteFile("a/report.txt", std::string(100000, 'x') + "end");
    ASSERT_TRUE(test::SetFileTimes(source, test::UtcFileTime(2001, 2, 3, 4, 5, 6), test::UtcFileTime(2002, 1, 1)));
    const std::string destination = temp.MakeFolder("b") + "report.txt";

    ASSERT_TRUE(platform::CopyFileNoReplace(source, destination));
    EXPECT_EQ(ReadWholeFile(destination), ReadWholeFile(source));
    EXPECT_EQ(fs::last_write_time(destination), fs::last_write_time(source));
}

TEST(CopyFileNoReplace, NeverTouchesAnExistingDestination)
{
    TempFolder temp;
    const std::string source = temp.WriteFile("a/x.txt", "new content");
    const std::string destination = temp.WriteFile("b/x.txt", "old");

    EXPECT_FALSE(platform::CopyFileNoReplace(source, destination));
    EXPECT_EQ(LastError(), platform::ErrorFileExists);
    EXPECT_EQ(ReadWholeFile(destination), "old");

    // Onto itself is a clash as well, and the file survives.
    EXPECT_FALSE(platform::CopyFileNoReplace(source, source));
    EXPECT_EQ(LastError(), platform::ErrorFileExists);
    EXPECT_EQ(ReadWholeFile(source), "new content");
}

TEST(CopyFileNoReplace, TellsAMissingSourceFromAMissingDestinationFolder)
{
    TempFolder temp;
    const std::string source = temp.WriteFile("x.txt", "x");

    EXPECT_FALSE(platform::CopyFileNoReplace(temp.PathOf("gone.txt"), temp.PathOf("copy.txt")));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);
    EXPECT_FALSE(Exists(temp.PathOf("copy.txt")));

    EXPECT_FALSE(platform::CopyFileNoReplace(source, temp.PathOf("no/such/x.txt")));
    EXPECT_EQ(LastError(), platform::ErrorPathNotFound);
}

TEST(MoveFileNoReplace, MovesAndRefusesATakenName)
{
    TempFolder temp;
    const std::string source = temp.WriteFile("a/x.txt", "moving");
    const std::string taken = temp.WriteFile("b/x.txt", "staying");

    EXPECT_FALSE(platform::MoveFileNoReplace(source, taken));
    EXPECT_EQ(LastError(), platform::ErrorAlreadyExists);
    EXPECT_EQ(ReadWholeFile(source), "moving");
    EXPECT_EQ(ReadWholeFile(taken), "staying");

    EXPECT_FALSE(platform::MoveFileNoReplace(source, source));
    EXPECT_EQ(LastError(), platform::ErrorAlreadyExists);
    EXPECT_EQ(ReadWholeFile(source), "moving");

    const std::string destination = temp.PathOf("b/y.txt");
    ASSERT_TRUE(platform::MoveFileNoReplace(source, destination));
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadWholeFile(destination), "moving");

    EXPECT_FALSE(platform::MoveFileNoReplace(source, temp.PathOf("b/z.txt")));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);
}

TEST(RemoveFile, DeletesOnlyWritableFiles)
{
    TempFolder temp;
    const std::string plain = temp.WriteFile("plain.txt", "p");
    const std::string locked = temp.WriteFile("locked.txt", "l");
    ASSERT_TRUE(test::SetReadOnly(locked, true));
    const std::string folder = temp.MakeFolder("folder");

    ASSERT_TRUE(platform::RemoveFile(plain));
    EXPECT_FALSE(Exists(plain));

    EXPECT_FALSE(platform::RemoveFile(plain));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);

    EXPECT_FALSE(platform::RemoveFile(locked));
    EXPECT_EQ(LastError(), platform::ErrorAccessDenied);
    EXPECT_EQ(ReadWholeFile(locked), "l");

    EXPECT_FALSE(platform::RemoveFile(folder.substr(0, folder.size() - 1)));
    EXPECT_EQ(LastError(), platform::ErrorAccessDenied);
    EXPECT_TRUE(Exists(folder));
}

}  // namespace
}  // namespace tolvane
