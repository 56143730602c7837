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

TEST(CopyFileNoReplace, CopiesBytesAndTimeButNeverOntoAnExistingFile)
{
    test::TempFolder temp;
    const std::string source = temp.WriteFile("a/report.txt", std::string(100000, 'x') + "end");
    ASSERT_TRUE(test::SetFileTimes(source, test::UtcFileTime(2001, 2, 3, 4, 5, 6), test::UtcFileTime(2002, 1, 1)));
    const std::string destination = temp.MakeFolder("b") + "report.txt";
    ASSERT_TRUE(platform::CopyFileNoReplace(source, destination));
    EXPECT_EQ(ReadWholeFile(destination), ReadWholeFile(source));
    EXPECT_EQ(fs::last_write_time(destination), fs::last_write_time(source));

    const std::string taken = temp.WriteFile("b/x.txt", "old");
    for (const std::string& target : {taken, source}) {  // onto itself is a clash as well
        EXPECT_FALSE(platform::CopyFileNoReplace(source, target));
        EXPECT_EQ(LastError(), platform::ErrorFileExists);
    }
    EXPECT_EQ(ReadWholeFile(taken), "old");
    EXPECT_EQ(ReadWholeFile(source), ReadWholeFile(destination));

    EXPECT_FALSE(platform::CopyFileNoReplace(temp.PathOf("gone.txt"), temp.PathOf("copy.txt")));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);
    EXPECT_FALSE(fs::exists(temp.PathOf("copy.txt")));
    EXPECT_FALSE(platform::CopyFileNoReplace(source, temp.PathOf("no/such/x.txt")));
    EXPECT_EQ(LastError(), platform::ErrorPathNotFound);
}

TEST(MoveFileNoReplace, MovesAndRefusesATakenName)
{
    test::TempFolder temp;
    const std::string source = temp.WriteFile("a/x.txt", "moving");
    const std::string taken = temp.WriteFile("b/x.txt", "staying");
    for (const std::string& target : {taken, source}) {
        EXPECT_FALSE(platform::MoveFileNoReplace(source, target));
        EXPECT_EQ(LastError(), platform::ErrorAlreadyExists);
    }
    EXPECT_EQ(ReadWholeFile(source), "moving");
    EXPECT_EQ(ReadWholeFile(taken), "staying");

    ASSERT_TRUE(platform::MoveFileNoReplace(source, temp.PathOf("b/y.txt")));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(ReadWholeFile(temp.PathOf("b/y.txt")), "moving");
    EXPECT_FALSE(platform::MoveFileNoReplace(source, temp.PathOf("b/z.txt")));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);
}

TEST(RemoveFile, DeletesOnlyWritableFiles)
{
    test::TempFolder temp;
    const std::string plain = temp.WriteFile("plain.txt", "p");
    const std::string locked = temp.WriteFile("locked.txt", "l");
    ASSERT_TRUE(test::SetReadOnly(locked, true));
    const std::string folder = temp.MakeFolder("folder");

    ASSERT_TRUE(platform::RemoveFile(plain));
    EXPECT_FALSE(fs::exists(plain));
    EXPECT_FALSE(platform::RemoveFile(plain));
    EXPECT_EQ(LastError(), platform::ErrorFileNotFound);
    EXPECT_FALSE(platform::RemoveFile(locked));
    EXPECT_EQ(LastError(), platform::ErrorAccessDenied);
    EXPECT_EQ(ReadWholeFile(locked), "l");
    EXPECT_FALSE(platform::RemoveFile(folder.substr(0, folder.size() - 1)));
    EXPECT_EQ(LastError(), platform::ErrorAccessDenied);
    EXPECT_TRUE(fs::exists(folder));
}

}  // namespace
}  // namespace tolvane
