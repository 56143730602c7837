#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"
#include "tools/fake_file.h"
#include "tools/new_folders.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

TEST(FakeFile, UpToFourDigitsInPowersOf1024ReplaceAFileWithThatManyZerosOrSayWhyNot)
{
    const struct { const char* size; int unit; uint64_t bytes; /* 0: refused */ } cases[] = {
        {"", UnitGigabytes, 1},  {"0", UnitMegabytes, 1},  {"0012", UnitBytes, 12}, {"1", UnitKilobytes, 1024},
        {"9999", UnitGigabytes, 10736344498176}, {"7", 9, 7}, {"10000", UnitBytes, 0}, {" 1", UnitBytes, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FakeFileByteCount(c.size, c.unit).value_or(0), c.bytes) << c.size;
    test::TempFolder temp;
    test::ScriptedPrompter prompter;
    const std::string path = temp.WriteFile("fake.bin", std::string(3000, 'o'));
    ASSERT_TRUE(CreateFakeFile(path, "2", UnitKilobytes, prompter));
    EXPECT_FALSE(CreateFakeFile("", "1", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(path, "12a", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(temp.PathOf("missing/fake.bin"), "1", UnitBytes, prompter));
    EXPECT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(test::ReadWholeFile(path), std::string(2048, '\0'));

    // Four gigabytes are past the 32-bit limit exactly; stored in full, so only with room to spare.
    std::error_code error;
    if (fs::space(temp.Path(), error).available < (uint64_t{5} << 30) || error) return;
    ASSERT_TRUE(CreateFakeFile(temp.PathOf("four.bin"), "4", UnitGigabytes, prompter));
    EXPECT_EQ(fs::file_size(temp.PathOf("four.bin")), uint64_t{4} << 30);
}

// Numbers are padded to the count's width. Typing stops one short of the name limit, a paste at the path limit.
TEST(NewFolders, NamesNameTextAndASeriesUpToTheFirstFailureOrNoneAtAll)
{
    NewFoldersSettings letters{"", SequenceLowerCase, NoCountSelected, false, "p-", "-s"};  // no count for letters
    const std::pair<NewFoldersSettings, const char*> series[] = {{letters, "p-a-s p-z-s"},
        {{"", SequenceNumbers, 4, false, "", ""}, "1 50"}, {{"", SequenceNumbers, NoCountSelected, true, "", ""}, "01 01"}};
    for (const auto& [settings, firstAndLast] : series)
        EXPECT_EQ(PreviewName(settings) + " " + FolderNames(settings).back(), firstAndLast);
    letters.parentFolder = std::string("base") + platform::PathSeparator;  // one separator, never two
    EXPECT_EQ(FolderPaths(letters).front(), letters.parentFolder + "p-a-s");

    test::TempFolder temp;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(CheckNameText("a*b|c", "", 10, 0, prompter), "ab|c");
    EXPECT_EQ(CheckNameText("123456", "12345", 190, 4, prompter), "12345");
    const size_t room = static_cast<size_t>(platform::MaxPath) - 1 - 100 - 1 - 3;
    EXPECT_EQ(CheckNameText(std::string(room, 'p'), "old", 100, 0, prompter), std::string(room, 'p'));
    EXPECT_EQ(CheckNameText(std::string(room + 1, 'p'), "old", 100, 0, prompter), "old");
    ASSERT_EQ(prompter.shown.size(), 2u);

    temp.MakeFolder("numbers/img_004");
    EXPECT_FALSE(CreateFolders({temp.PathOf("numbers"), SequenceNumbers, 9, true, "img_", ""}, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("numbers/img_003")));
    EXPECT_FALSE(fs::exists(temp.PathOf("numbers/img_005")));
    NewFoldersSettings settings{temp.MakeFolder("long"), SequenceNumbers, 9, false, "", "s"};
    settings.prefix.assign(static_cast<size_t>(platform::MaxPath) - 1 - settings.parentFolder.size() - 3, 'n');
    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_TRUE(fs::is_empty(settings.parentFolder));
    EXPECT_EQ(prompter.shown.size(), 4u);
}

}  // namespace
}  // namespace tolvane
