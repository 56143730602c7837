#include "tools/fake_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fs.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ScriptedPrompter;

TEST(FakeFileByteCount, UsesPowersOf1024AndNeverZero)
{
    EXPECT_EQ(FakeFileByteCount("", UnitGigabytes), 1u);
    EXPECT_EQ(FakeFileByteCount("0", UnitMegabytes), 1u);
    EXPECT_EQ(FakeFileByteCount("1", UnitBytes), 1u);
    EXPECT_EQ(FakeFileByteCount("1", UnitKilobytes), 1024u);
    EXPECT_EQ(FakeFileByteCount("5", UnitMegabytes), 5242880u);
    EXPECT_EQ(FakeFileByteCount("4", UnitGigabytes), 4294967296u);
    EXPECT_EQ(FakeFileByteCount("4096", UnitMegabytes), 4294967296u);
    EXPECT_EQ(FakeFileByteCount("9999", UnitGigabytes), 10736344498176u);
    EXPECT_EQ(FakeFileByteCount("0012", UnitBytes), 12u);
    EXPECT_EQ(FakeFileByteCount("7", 9), 7u);
}

TEST(FakeFileByteCount, RefusesAnythingButUpToFourDigits)
{
    EXPECT_FALSE(FakeFileByteCount("10000", UnitBytes));
    EXPECT_FALSE(FakeFileByteCount("-1", UnitBytes));
    EXPECT_FALSE(FakeFileByteCount("1.5", UnitKilobytes));
    EXPECT_FALSE(FakeFileByteCount(" 1", UnitBytes));
}

TEST(CreateFakeFile, CreatesExactSizesOfZeros)
{
    test::TempFolder temp;
    const std::string path = temp.PathOf("fake.bin");
    const struct {
        const char* size;
        int unit;
        uint64_t bytes;
    } cases[] = {{"", UnitBytes, 1}, {"0", UnitGigabytes, 1}, {"1", UnitKilobytes, 1024}, {"5", UnitMegabytes, 5242880}};
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        ASSERT_TRUE(CreateFakeFile(path, c.size, c.unit, prompter)) << c.size;
        EXPECT_EQ(fs::file_size(path), c.bytes);
        EXPECT_EQ(test::ReadWholeFile(path), std::string(c.bytes, '\0'));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, "The file created succesfully");
        EXPECT_EQ(prompter.shown[0].caption, "Done");
        EXPECT_EQ(prompter.shown[0].style, MbOk);
    }
}

TEST(CreateFakeFile, ReplacesAnExistingFile)
{
    test::TempFolder temp;
    const std::string path = temp.WriteFile("old.txt", std::string(3000, 'o'));
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateFakeFile(path, "2", UnitKilobytes, prompter));
    EXPECT_EQ(test::ReadWholeFile(path), std::string(2048, '\0'));
}

TEST(CreateFakeFile, RefusalsAndFailuresSayWhyAndKeepExistingFiles)
{
    test::TempFolder temp;
    ScriptedPrompter prompter;

    EXPECT_FALSE(CreateFakeFile("", "1", UnitBytes, prompter));
    EXPECT_EQ(prompter.shown.back().text, "Select the desired filepath.");
    EXPECT_EQ(prompter.shown.back().caption, "Create what?");

    const std::string kept = temp.WriteFile("kept.txt", "keep me");
    EXPECT_FALSE(CreateFakeFile(kept, "12a", UnitBytes, prompter));
    EXPECT_EQ(prompter.shown.back().caption, "Cannot continue");
    EXPECT_EQ(test::ReadWholeFile(kept), "keep me");

    EXPECT_FALSE(CreateFakeFile(temp.PathOf("missing/fake.bin"), "1", UnitBytes, prompter));
    EXPECT_EQ(prompter.shown.back().caption, "File creation failed");
    EXPECT_EQ(prompter.shown.back().style, MbIconHand);
    EXPECT_FALSE(prompter.shown.back().text.empty());
}

// Read one byte at an offset.
int ByteAt(const std::string& path, uint64_t offset)
{
    platform::File file;
    char byte = 'x';
    if (!file.OpenForReading(path) || !file.Seek(offset) || file.Read(&byte, 1) != 1) return -1;
    return static_cast<unsigned char>(byte);
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
    EXPECT_EQ(ByteAt(path, 0), 0);
    EXPECT_EQ(ByteAt(path, uint64_t{1} << 31), 0);
    EXPECT_EQ(ByteAt(path, FourGigabytes - 1), 0);
    EXPECT_EQ(ByteAt(path, FourGigabytes), -1);
}

}  // namespace
}  // namespace tolvane
