#include "tools/fake_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fs.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

TEST(FakeFileByteCount, UpToFourDigitsInPowersOf1024AndNeverZero)
{
    const struct { const char* size; int unit; uint64_t bytes; /* 0: refused */ } cases[] = {
        {"", UnitGigabytes, 1},   {"0", UnitMegabytes, 1},       {"0012", UnitBytes, 12},  {"1", UnitKilobytes, 1024},
        {"4", UnitGigabytes, 4294967296}, {"9999", UnitGigabytes, 10736344498176}, {"7", 9, 7}, {"10000", UnitBytes, 0},
        {"-1", UnitBytes, 0},     {"1.5", UnitKilobytes, 0},     {" 1", UnitBytes, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FakeFileByteCount(c.size, c.unit).value_or(0), c.bytes) << c.size;
}

TEST(CreateFakeFile, ReplacesAFileWithThatManyZerosOrSaysWhyNot)
{
    test::TempFolder temp;
    test::ScriptedPrompter prompter;
    const std::string path = temp.WriteFile("fake.bin", std::string(3000, 'o'));
    ASSERT_TRUE(CreateFakeFile(path, "2", UnitKilobytes, prompter));
    EXPECT_EQ(test::ReadWholeFile(path), std::string(2048, '\0'));
    EXPECT_FALSE(CreateFakeFile("", "1", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(path, "12a", UnitBytes, prompter));  // read before the file is replaced
    EXPECT_FALSE(CreateFakeFile(temp.PathOf("missing/fake.bin"), "1", UnitBytes, prompter));
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(prompter.shown[0].text, "The file created succesfully");
    EXPECT_EQ((std::vector<std::string>{prompter.shown[1].caption, prompter.shown[2].caption, prompter.shown[3].caption}),
              (std::vector<std::string>{"Create what?", "Cannot continue", "File creation failed"}));
    EXPECT_EQ(prompter.shown[3].style, MbIconHand);
    EXPECT_EQ(test::ReadWholeFile(path), std::string(2048, '\0'));
}

TEST(CreateFakeFile, FourGigabytesArePastThe32BitLimitExactly)
{
    test::TempFolder temp;
    constexpr uint64_t FourGigabytes = uint64_t{4} << 30;
    std::error_code error;  // where the file system stores the file in full it needs the room
    if (fs::space(temp.Path(), error).available < FourGigabytes + (uint64_t{1} << 30) || error)
        GTEST_SKIP() << "the temporary folder's file system cannot hold 4 GB";
    const std::string path = temp.PathOf("four.bin");
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(CreateFakeFile(path, "4", UnitGigabytes, prompter));
    EXPECT_EQ(fs::file_size(path), FourGigabytes);
    platform::File file;
    char byte = 'x';
    ASSERT_TRUE(file.OpenForReading(path) && file.Seek(FourGigabytes - 1) && file.Read(&byte, 1) == 1);
    EXPECT_EQ(byte, '\0');
}

}  // namespace
}  // namespace tolvane
