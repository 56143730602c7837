#include "tools/new_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(NewFolderNames, LettersRunAToZAndNumbersArePaddedToTheWidthOfTheCount)
{
    NewFoldersSettings letters{"", SequenceLowerCase, NoCountSelected, false, "p-", "-s"};  // no count for letters
    Names names = FolderNames(letters);
    EXPECT_EQ((Names{names.front(), names.back(), PreviewName(letters)}), (Names{"p-a-s", "p-z-s", "p-a-s"}));
    const std::pair<NewFoldersSettings, Names> series[] = {
        {{"", SequenceNumbers, 9, true, "img_", ""}, {"img_001", "img_100"}}, {{"", SequenceNumbers, 4, true, "", ""}, {"01", "50"}},
        {{"", SequenceNumbers, 4, false, "", ""}, {"1", "50"}}, {{"", SequenceNumbers, NoCountSelected, true, "", ""}, {"01", "01"}}};
    for (const auto& [settings, firstAndLast] : series) {
        names = FolderNames(settings);
        EXPECT_EQ((Names{names.front(), names.back()}), firstAndLast);
    }
    letters.parentFolder = std::string("base") + platform::PathSeparator;  // one separator, never two
    EXPECT_EQ(FolderPaths(letters).front(), letters.parentFolder + "p-a-s");
}

TEST(NameTextCheck, RemovesOneForbiddenCharacterPerCheckAndKeepsWithinTheLimits)
{
    test::ScriptedPrompter prompter;
    EXPECT_EQ(CheckNameText("a*b|c", "", 10, 0, prompter), "ab|c");
    // A parent of 190 characters leaves 9 for prefix and suffix together:
    // typing stops short of that, a paste must only fit the paths.
    EXPECT_EQ(CheckNameText("123456", "12345", 190, 4, prompter), "12345");
    const size_t room = static_cast<size_t>(platform::MaxPath) - 1 - 100 - 1 - 3;
    EXPECT_EQ(CheckNameText(std::string(room, 'p'), "old", 100, 0, prompter), std::string(room, 'p'));
    EXPECT_EQ(CheckNameText(std::string(room + 1, 'p'), "old", 100, 0, prompter), "old");
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_NE(prompter.shown[1].text.find("too long"), std::string::npos);
}

TEST(CreateFolders, CreatesTheSeriesUntilTheFirstFailureAndNoneWhenTheLastIsTooLong)
{
    test::TempFolder temp;
    test::ScriptedPrompter prompter;
    const NewFoldersSettings numbers{temp.MakeFolder("numbers"), SequenceNumbers, 9, true, "img_", ""};
    temp.MakeFolder("numbers/img_004");
    EXPECT_FALSE(CreateFolders(numbers, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("numbers/img_003")));
    EXPECT_FALSE(fs::exists(temp.PathOf("numbers/img_005")));

    // The first folders would fit; the last, one character longer, would not.
    NewFoldersSettings settings{temp.MakeFolder("long"), SequenceNumbers, 9, false, "", "s"};
    settings.prefix.assign(static_cast<size_t>(platform::MaxPath) - 1 - settings.parentFolder.size() - 3, 'n');
    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_TRUE(fs::is_empty(settings.parentFolder));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].caption, "Cannot create directory");
}

}  // namespace
}  // namespace tolvane
