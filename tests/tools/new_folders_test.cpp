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

TEST(NewFolderNames, LettersRunAToZInEitherCase)
{
    NewFoldersSettings settings;
    settings.prefix = "p-";
    settings.suffix = "-s";
    settings.countIndex = NoCountSelected;  // the count is ignored for letters
    std::vector<std::string> names = FolderNames(settings);
    ASSERT_EQ(names.size(), 26u);
    EXPECT_EQ(names.front(), "p-A-s");
    EXPECT_EQ(names.back(), "p-Z-s");
    EXPECT_EQ(PreviewName(settings), "p-A-s");

    settings.sequenceType = SequenceLowerCase;
    names = FolderNames(settings);
    EXPECT_EQ(names[1], "p-b-s");
    EXPECT_EQ(names.back(), "p-z-s");
}

TEST(NewFolderNames, NumbersArePaddedToTheWidthOfTheCount)
{
    std::vector<std::string> names = FolderNames(Numbers(9, true, "img_"));
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names[0], "img_001");
    EXPECT_EQ(names[8], "img_009");
    EXPECT_EQ(names[9], "img_010");
    EXPECT_EQ(names[98], "img_099");
    EXPECT_EQ(names[99], "img_100");
    EXPECT_EQ(PreviewName(Numbers(9, true, "img_")), "img_001");

    names = FolderNames(Numbers(4, true));
    ASSERT_EQ(names.size(), 50u);
    EXPECT_EQ(names[0], "01");
    EXPECT_EQ(names[9], "10");
    EXPECT_EQ(names[49], "50");

    names = FolderNames(Numbers(4, false));
    EXPECT_EQ(names[0], "1");
    EXPECT_EQ(names[49], "50");

    EXPECT_EQ(FolderNames(Numbers(0, false)).size(), 10u);
    EXPECT_EQ(FolderNames(Numbers(NoCountSelected, true)), std::vector<std::string>{"01"});
}

TEST(NewFolderNames, PathsHaveOneSeparatorAfterTheParent)
{
    NewFoldersSettings settings;
    settings.parentFolder = std::string("base") + platform::PathSeparator;
    EXPECT_EQ(FolderPaths(settings).front(), settings.parentFolder + "A");
    settings.parentFolder = "base";
    EXPECT_EQ(FolderPaths(settings).back(), std::string("base") + platform::PathSeparator + "Z");
}

TEST(NameTextCheck, RemovesTheFirstForbiddenCharacterWithTheMessage)
{
    ScriptedPrompter prompter;
    EXPECT_EQ(CheckNameText("ab:c", "ab", 10, 0, prompter), "abc");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Names cannot contain any of the following characters:\n\\ / : * ? \" < > |");
    EXPECT_EQ(prompter.shown[0].caption, "Info");
    EXPECT_EQ(prompter.shown[0].style, MbIconInformation);

    // One character per check: the box's own update checks the rest.
    EXPECT_EQ(CheckNameText("a*b|c", "", 10, 0, prompter), "ab|c");
    EXPECT_EQ(CheckNameText("ab|c", "", 10, 0, prompter), "abc");
    EXPECT_EQ(prompter.shown.size(), 3u);

    EXPECT_EQ(CheckNameText("plain", "plai", 10, 0, prompter), "plain");
    EXPECT_EQ(prompter.shown.size(), 3u);
}

TEST(NameTextCheck, TypingStopsShortOfTheLimitAndAPasteMustFitThePaths)
{
    ScriptedPrompter prompter;
    // A parent of 190 characters leaves 9 for prefix and suffix together.
    EXPECT_EQ(CheckNameText("123456", "12345", 190, 4, prompter), "12345");
    EXPECT_EQ(CheckNameText("12345", "1234", 190, 4, prompter), "12345");

    const std::string pasted(30, 'p');
    EXPECT_EQ(CheckNameText(pasted, "old", 190, 0, prompter), pasted);
    EXPECT_TRUE(prompter.shown.empty());

    const size_t room = static_cast<size_t>(platform::MaxPath) - 1 - 100 - 1 - 3;
    EXPECT_EQ(CheckNameText(std::string(room, 'p'), "old", 100, 0, prompter), std::string(room, 'p'));
    EXPECT_EQ(CheckNameText(std::string(room + 1, 'p'), "old", 100, 0, prompter), "old");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Info");
    EXPECT_NE(prompter.shown[0].text.find("too long"), std::string::npos);
}

TEST(CreateFolders, CreatesTheSeriesAndASecondRunCreatesNothing)
{
    test::TempFolder temp;
    NewFoldersSettings settings;
    settings.parentFolder = temp.Path();
    ScriptedPrompter prompter;

    ASSERT_TRUE(CreateFolders(settings, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("A")));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("Z")));
    EXPECT_EQ(EntryCount(temp.Path()), 26);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Folders created!");
    EXPECT_EQ(prompter.shown[0].caption, "Done");

    EXPECT_FALSE(CreateFolders(settings, prompter));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].caption, "Cannot create directory");
    EXPECT_EQ(prompter.shown[1].style, MbIconHand);
    EXPECT_EQ(EntryCount(temp.Path()), 26);
}

TEST(CreateFolders, StopsAtTheFirstFailureAndKeepsWhatWasMade)
{
    test::TempFolder temp;
    temp.MakeFolder("img_004");
    NewFoldersSettings settings = Numbers(9, true, "img_");
    settings.parentFolder = temp.Path();
    ScriptedPrompter prompter;

    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_003")));
    EXPECT_FALSE(fs::exists(temp.PathOf("img_005")));
    EXPECT_EQ(EntryCount(temp.Path()), 4);
    EXPECT_EQ(prompter.shown.back().caption, "Cannot create directory");
}

TEST(CreateFolders, ASeriesWhosePathsAreTooLongIsNotStarted)
{
    test::TempFolder temp;
    NewFoldersSettings settings = Numbers(9, false);
    settings.parentFolder = temp.Path();
    // The first folders would fit; the last, one character longer, would not.
    const size_t room = static_cast<size_t>(platform::MaxPath) - 1 - temp.Path().size() - 3;
    settings.prefix = std::string(room, 'n');
    settings.suffix = "s";
    ScriptedPrompter prompter;

    EXPECT_FALSE(CreateFolders(settings, prompter));
    EXPECT_EQ(EntryCount(temp.Path()), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Cannot create directory");
}

}  // namespace
}  // namespace tolvane
