#include "tools/fake_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "platform/fs.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScriptedPrompter;

TEST(FakeFileByteCount, UpToFourDigitsInPowersOf1024AndNeverZero)
{
    const struct {
        const char* size;
        int unit;
        uint64_t bytes;  // 0: refused
    } cases[] = {
        {"", UnitGigabytes, 1},          {"0", UnitMegabytes, 1},        {"0012", UnitBytes, 12},
        {"1", UnitKilobytes, 1024},      {"5", UnitMegabytes, 5242880},  {"4", UnitGigabytes, 4294967296},
        {"9999", UnitGigabytes, 10736344498176}, {"7", 9, 7},            {"10000", UnitBytes, 0},
        {"-1", UnitBytes, 0},            {"1.5", UnitKilobytes, 0},      {" 1", UnitBytes, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FakeFileByteCount(c.size, c.unit).value_or(0), c.bytes) << c.size;
}

TEST(CreateFakeFile, ReplacesAnyFileWithExactlyThatManyZeros)
{
    test::TempFolder temp;
    const std::string path = temp.WriteFile("fake.bin", std::string(3000, 'o'));
    for (const auto& [size, unit, bytes] : {std::tuple<const char*, int, size_t>{"2", UnitKilobytes, 2048},
                                            {"", UnitBytes, 1}, {"5", UnitMegabytes, 5242880}}) {
        ScriptedPrompter prompter;
        ASSERT_TRUE(CreateFakeFile(path, size, unit, prompter)) << size;
        EXPECT_EQ(ReadWholeFile(path), std::string(bytes, '\0'));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, "The file created succesfully");
        EXPECT_EQ(prompter.shown[0].style, MbOk);
    }
}

TEST(CreateFakeFile, RefusalsAndFailuresSayWhyAndKeepExistingFiles)
{
    test::TempFolder temp;
    ScriptedPrompter prompter;
    const std::string kept = temp.WriteFile("kept.txt", "keep me");
    EXPECT_FALSE(CreateFakeFile("", "1", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(kept, "12a", UnitBytes, prompter));  // read before the file is replaced
    EXPECT_FALSE(CreateFakeFile(temp.PathOf("missing/fake.bin"), "1", UnitBytes, prompter));
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].caption, "Create what?");
    EXPECT_EQ(prompter.shown[1].caption, "Cannot continue");
    EXPECT_EQ(prompter.shown[2].caption, "File creation failed");
    EXPECT_EQ(prompter.shown[2].style, MbIconHand);
    EXPECT_EQ(ReadWholeFile(kept), "keep me");
}

TEST(CreateFakeFile, FourGigabytesArePastThe32BitLimitExactly)
{
    test::TempFolder temp;
    constexpr uint64_t FourGigabytes = uint64_t{4} << 30;
    // Where the file system stores the file in full it needs the room.
    std::error_code error;
    if (fs::space(temp.Path(), error).available < FourGigabytes + (uint64_t{1} << 30) || error)
        GTEST_SKIP() << "the temporary folder's file system cannot hold 4 GB";
    const std::string path = temp.PathOf("four.bin");
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateFakeFile(path, "4", UnitGigabytes, prompter));
    EXPECT_EQ(fs::file_size(path), FourGigabytes);
    platform::File file;
    char byte = 'x';
    ASSERT_TRUE(file.OpenForReading(path) && file.Seek(FourGigabytes - 1));
    EXPECT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, '\0');
}

}  // namespace
}  // namespace tolvane
