#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/error.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;

using Operation = bool (*)(const std::string&, const std::string&);
bool Remove(const std::string& path, const std::string&) { return platform::RemoveFile(path); }

// A copy keeps the bytes and the modified time; nothing is ever replaced, not
// even a file by itself, and a refusal leaves everything as it was.
TEST(FileOps, CopyMoveAndRemoveNeverReplaceAndFailWithTheCodesCallersBranchOn)
{
    test::TempFolder temp;
    const std::string source = temp.WriteFile("a/report.txt", std::string(100000, 'x') + "end");
    ASSERT_TRUE(test::SetFileTimes(source, test::UtcFileTime(2001, 2, 3, 4, 5, 6), test::UtcFileTime(2002, 1, 1)));
    const std::string copy = temp.MakeFolder("b") + "report.txt";
    ASSERT_TRUE(platform::CopyFileNoReplace(source, copy));
    EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(source));
    EXPECT_EQ(fs::last_write_time(copy), fs::last_write_time(source));

    temp.MakeFolder("folder");
    const std::string folder = temp.PathOf("folder"), gone = temp.PathOf("gone.txt");
    const Operation copyFile = platform::CopyFileNoReplace, moveFile = platform::MoveFileNoReplace;
    const struct { Operation operation; std::string from, to; uint32_t code; } refusals[] = {
        {copyFile, source, source, platform::ErrorFileExists},
        {copyFile, gone, temp.PathOf("copy.txt"), platform::ErrorFileNotFound},
        {copyFile, source, temp.PathOf("no/such/x.txt"), platform::ErrorPathNotFound},
        {copyFile, folder, temp.PathOf("copied"), platform::ErrorAccessDenied},
        {moveFile, source, source, platform::ErrorAlreadyExists},
        {moveFile, gone, temp.PathOf("b/z.txt"), platform::ErrorFileNotFound},
        {Remove, folder, "", platform::ErrorAccessDenied},
    };
    const std::string before = test::FolderText(temp.Path());
    for (const auto& r : refusals) {
        EXPECT_FALSE(r.operation(r.from, r.to)) << r.from << " > " << r.to;
        EXPECT_EQ(platform::LastError(), r.code) << r.from << " > " << r.to;
    }
    EXPECT_EQ(test::FolderText(temp.Path()), before);

    ASSERT_TRUE(platform::MoveFileNoReplace(source, temp.PathOf("b/y.txt")));
    ASSERT_TRUE(platform::RemoveFile(copy));
    EXPECT_EQ(test::FolderText(temp.PathOf("b")), "y.txt=" + std::string(100000, 'x') + "end");
}

}  // namespace
}  // namespace tolvane
