#include "tools/new_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using test::ScriptedPrompter;
using Names = std::vector<std::string>;

NewFoldersSettings Numbers(int countIndex, bool leadingZeros, std::string prefix = "")
{
    NewFoldersSettings settings;
    settings.sequenceType = SequenceNumbers;
    settings.countIndex = countIndex;
    settings.leadingZeros = leadingZeros;
    settings.prefix = std::move(prefix);
    return settings;
}

int EntryCount(const std::string& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(NewFolderNames, LettersRunAToZAndNumbersArePaddedToTheWidthOfTheCount)
{
    NewFoldersSettings letters;
    letters.prefix = "p-";
    letters.suffix = "-s";
    letters.countIndex = NoCountSelected;  // the count is ignored for letters
    Names names = FolderNames(letters);
    EXPECT_EQ(names.size(), 26u);
    EXPECT_EQ((Names{names.front(), names.back(), PreviewName(letters)}), (Names{"p-A-s", "p-Z-s", "p-A-s"}));
    letters.sequenceType = SequenceLowerCase;
    names = FolderNames(letters);
    EXPECT_EQ((Names{names[1], names.back()}), (Names{"p-b-s", "p-z-s"}));

    names = FolderNames(Numbers(9, true, "img_"));
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ((Names{names[0], names[9], names[98], names[99]}), (Names{"img_001", "img_010", "img_099", "img_100"}));
    names = FolderNames(Numbers(4, true));
    ASSERT_EQ(names.size(), 50u);
    EXPECT_EQ((Names{names[0], names[9], names[49]}), (Names{"01", "10", "50"}));
    names = FolderNames(Numbers(4, false));
    EXPECT_EQ((Names{names[0], names[49]}), (Names{"1", "50"}));
    EXPECT_EQ(FolderNames(Numbers(0, false)).size(), 10u);
    EXPECT_EQ(FolderNames(Numbers(NoCountSelected, true)), Names{"01"});

    letters.parentFolder = std::string("base") + platform::PathSeparator;  // one separator, never two
    EXPECT_EQ(FolderPaths(letters).front(), letters.parentFolder + "p-a-s");
    letters.parentFolder = "base";
    EXPECT_EQ(FolderPaths(letters).back(), std::string("base") + platform::PathSeparator + "p-z-s");
}

TEST(NameTextCheck, RemovesOneForbiddenCharacterPerCheckAndKeepsWithinTheLimits)
{
    ScriptedPrompter prompter;
    EXPECT_EQ(CheckNameText("ab:c", "ab", 10, 0, prompter), "abc");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Names cannot contain any of the following characters:\n\\ / : * ? \" < > |");
    EXPECT_EQ(prompter.shown[0].style, MbIconInformation);
    // The box's own update checks the rest.
    EXPECT_EQ(CheckNameText("a*b|c", "", 10, 0, prompter), "ab|c");
    EXPECT_EQ(CheckNameText("plain", "plai", 10, 0, prompter), "plain");
    EXPECT_EQ(prompter.shown.size(), 2u);

    // A parent of 190 characters leaves 9 for prefix and suffix together:
    // typing stops short of that, a paste must only fit the paths.
    EXPECT_EQ(CheckNameText("123456", "12345", 190, 4, prompter), "12345");
    EXPECT_EQ(CheckNameText("12345", "1234", 190, 4, prompter), "12345");
    EXPECT_EQ(CheckNameText(std::string(30, 'p'), "old", 190, 0, prompter), std::string(30, 'p'));
    const size_t room = static_cast<size_t>(platform::MaxPath) - 1 - 100 - 1 - 3;
    EXPECT_EQ(CheckNameText(std::string(room, 'p'), "old", 100, 0, prompter), std::string(room, 'p'));
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(CheckNameText(std::string(room + 1, 'p'), "old", 100, 0, prompter), "old");
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_NE(prompter.shown[2].text.find("too long"), std::string::npos);
}

TEST(CreateFolders, CreatesTheSeriesUntilTheFirstFailure)
{
    test::TempFolder temp;
    NewFoldersSettings letters;
    letters.parentFolder = temp.MakeFolder("letters");
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateFolders(letters, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("letters/A")));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("letters/Z")));
    EXPECT_EQ(EntryCount(letters.parentFolder), 26);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Folders created!");

    NewFoldersSettings numbers = Numbers(9, true, "img_");
    numbers.parentFolder = temp.MakeFolder("numbers");
    temp.MakeFolder("numbers/img_004");
    EXPECT_FALSE(CreateFolders(numbers, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("numbers/img_003")));
    EXPECT_EQ(EntryCount(numbers.parentFolder), 4);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].caption, "Cannot create directory");
    EXPECT_EQ(prompter.shown[1].style, MbIconHand);
}

TEST(CreateFolders, ASeriesWhosePathsAreTooLongIsNotStarted)
{
    test::TempFolder temp;
    NewFoldersSettings settings = Numbers(9, false);
    settings.parentFolder = temp.Path();
    // The first folders would fit; the last, one character longer, would not.
    settings.prefix = std::string(static_cast<size_t>(platform::MaxPath) - 1 - temp.Path().size() - 3, 'n');
    settings.suffix = "s";
    ScriptedPrompter prompter;
    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_EQ(EntryCount(temp.Path()), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Cannot create directory");
}

}  // namespace
}  // namespace tolvane
