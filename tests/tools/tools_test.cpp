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
using Names = std::vector<std::string>;

TEST(FakeFileByteCount, UpToFourDigitsInPowersOf1024AndNeverZero)
{
    const struct { const char* size; int unit; uint64_t bytes; /* 0: refused */ } cases[] = {
        {"", UnitGigabytes, 1}, {"0", UnitMegabytes, 1}, {"0012", UnitBytes, 12}, {"1", UnitKilobytes, 1024}, {"4", UnitGigabytes, 4294967296},
        {"9999", UnitGigabytes, 10736344498176}, {"7", 9, 7}, {"10000", UnitBytes, 0}, {"-1", UnitBytes, 0}, {"1.5", UnitKilobytes, 0}, {" 1", UnitBytes, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FakeFileByteCount(c.size, c.unit).value_or(0), c.bytes) << c.size;
}

// A bad size is read before the file is replaced.
TEST(CreateFakeFile, ReplacesAFileWithThatManyZerosOrSaysWhyNot)
{
    test::TempFolder temp;
    test::ScriptedPrompter prompter;
    const std::string path = temp.WriteFile("fake.bin", std::string(3000, 'o'));
    ASSERT_TRUE(CreateFakeFile(path, "2", UnitKilobytes, prompter));
    EXPECT_FALSE(CreateFakeFile("", "1", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(path, "12a", UnitBytes, prompter));
    EXPECT_FALSE(CreateFakeFile(temp.PathOf("missing/fake.bin"), "1", UnitBytes, prompter));
    Names said;
    for (const auto& m : prompter.shown) said.push_back(m.caption + " " + std::to_string(m.style & 0xF0));
    EXPECT_EQ(said, (Names{"Done 0", "Create what? 0", "Cannot continue 64", "File creation failed 16"}));
    EXPECT_EQ(test::ReadWholeFile(path), std::string(2048, '\0'));

    // Four gigabytes are past the 32-bit limit exactly.
    constexpr uint64_t FourGigabytes = uint64_t{4} << 30;
    std::error_code error;  // room for the file, where the file system stores it in full
    if (fs::space(temp.Path(), error).available < FourGigabytes + (uint64_t{1} << 30) || error) return;
    ASSERT_TRUE(CreateFakeFile(temp.PathOf("four.bin"), "4", UnitGigabytes, prompter));
    EXPECT_EQ(fs::file_size(temp.PathOf("four.bin")), FourGigabytes);
}

// Numbers are padded to the width of the count. Typing stops one short of the
// name limit (a parent of 190 leaves 9 for prefix and suffix); a paste must only
// fit the paths. A series whose last path is too long is not begun.
TEST(NewFolders, NamesNameTextAndASeriesUpToTheFirstFailureOrNoneAtAll)
{
    NewFoldersSettings letters{"", SequenceLowerCase, NoCountSelected, false, "p-", "-s"};  // no count for letters
    const std::pair<NewFoldersSettings, const char*> series[] = {
        {letters, "p-a-s p-z-s"},      {{"", SequenceNumbers, 9, true, "img_", ""}, "img_001 img_100"},
        {{"", SequenceNumbers, 8, true, "", ""}, "01 90"}, {{"", SequenceNumbers, 4, false, "", ""}, "1 50"},
        {{"", SequenceNumbers, NoCountSelected, true, "", ""}, "01 01"}};
    for (const auto& [settings, firstAndLast] : series) {
        const Names names = FolderNames(settings);
        EXPECT_EQ(names.front() + " " + names.back(), firstAndLast);
        EXPECT_EQ(PreviewName(settings), names.front());
    }
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
    EXPECT_NE(prompter.shown[1].text.find("too long"), std::string::npos);

    temp.MakeFolder("numbers/img_004");
    EXPECT_FALSE(CreateFolders({temp.PathOf("numbers"), SequenceNumbers, 9, true, "img_", ""}, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("numbers/img_003")));
    EXPECT_FALSE(fs::exists(temp.PathOf("numbers/img_005")));
    NewFoldersSettings settings{temp.MakeFolder("long"), SequenceNumbers, 9, false, "", "s"};
    settings.prefix.assign(static_cast<size_t>(platform::MaxPath) - 1 - settings.parentFolder.size() - 3, 'n');
    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_TRUE(fs::is_empty(settings.parentFolder));
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(prompter.shown[3].caption, "Cannot create directory");
}

}  // namespace
}  // namespace tolvane
