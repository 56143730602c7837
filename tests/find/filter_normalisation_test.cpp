#include "find/filter_normalisation.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace tolvane::test {
namespace {

SystemTime At(int year, int month, int day, int hour = 0, int minute = 0)
{
    SystemTime time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    return time;
}

class Accept : public ::testing::Test {
protected:
    void Store() { AcceptFilterRows(rows, criteria, prompter); }

    FilterRows rows;
    SearchCriteria criteria;
    ScriptedPrompter prompter;
};

TEST_F(Accept, NameRowTakesTextModeAndCaseAndAnEmptyTextSwitchesItOff)
{
    rows.nameChecked = true;
    Store();
    EXPECT_FALSE(criteria.nameRuleOn);
    EXPECT_FALSE(criteria.filtersSpecified);
    EXPECT_STREQ(FiltersButtonCaption(criteria), "*Specify filters");

    rows.nameText = std::string(300, 'n');
    rows.nameModeIndex = 2;
    rows.nameCaseChecked = true;
    Store();
    EXPECT_TRUE(criteria.nameRuleOn);
    EXPECT_EQ(criteria.nameText.size(), NameTextMax);
    EXPECT_EQ(criteria.nameMode, NameRuleMode::NotContains);
    EXPECT_TRUE(criteria.nameCaseSensitive);
    EXPECT_TRUE(criteria.filtersSpecified);
    EXPECT_STREQ(FiltersButtonCaption(criteria), "Specified filters");

    rows.nameChecked = false;
    Store();
    EXPECT_FALSE(criteria.nameRuleOn);
}

TEST_F(Accept, ExtensionRowDropsOneTrailingSlash)
{
    rows.extensionChecked = true;
    rows.extensionText = "jpg/png/";
    rows.extensionModeIndex = 1;
    Store();
    EXPECT_TRUE(criteria.extensionRuleOn);
    EXPECT_EQ(criteria.extensionList, "jpg/png");
    EXPECT_EQ(criteria.extensionMode, ExtensionRuleMode::ExcludeTypes);

    rows.extensionText = "";
    Store();
    EXPECT_FALSE(criteria.extensionRuleOn);
}

TEST_F(Accept, ContentRowFoldsOnlyAsciiLettersWhenNotCaseSensitive)
{
    rows.contentChecked = true;
    rows.contentText = "Hello \xC4Z";
    Store();
    EXPECT_TRUE(criteria.contentRuleOn);
    EXPECT_EQ(criteria.contentText, "hello \xC4z");
    EXPECT_FALSE(criteria.contentCaseSensitive);

    rows.contentCaseChecked = true;
    rows.contentModeIndex = 1;
    Store();
    EXPECT_EQ(criteria.contentText, "Hello \xC4Z");
    EXPECT_EQ(criteria.contentMode, ContentRuleMode::NotContaining);

    rows.contentText = "";
    Store();
    EXPECT_FALSE(criteria.contentRuleOn);
}

TEST_F(Accept, SizeRowMultipliesSwapsAndNormalises)
{
    rows.sizeChecked = true;
    rows.sizeModeIndex = 3;  // between 5 MB and 100 kB
    rows.sizeFromText = "5";
    rows.sizeFromUnitIndex = 2;
    rows.sizeToText = "100";
    rows.sizeToUnitIndex = 1;
    Store();
    EXPECT_TRUE(criteria.sizeRuleOn);
    EXPECT_EQ(criteria.sizeMode, SizeRuleMode::Between);
    EXPECT_EQ(criteria.sizeFrom, 102400u);
    EXPECT_EQ(criteria.sizeFromUnit, SizeUnit::Kilobytes);
    EXPECT_EQ(criteria.sizeTo, 5242880u);
    EXPECT_EQ(criteria.sizeToUnit, SizeUnit::Megabytes);

    rows.sizeFromText = "9999";  // beyond 32 bits once in bytes
    rows.sizeFromUnitIndex = 2;
    rows.sizeToText = "";
    rows.sizeModeIndex = 4;
    Store();
    EXPECT_EQ(criteria.sizeMode, SizeRuleMode::NotBetween);
    EXPECT_EQ(criteria.sizeFrom, 0u);
    EXPECT_EQ(criteria.sizeTo, 9999ull << 20);

    rows.sizeModeIndex = 1;  // minimum 0 B passes everything: off
    rows.sizeFromText = "0";
    Store();
    EXPECT_FALSE(criteria.sizeRuleOn);

    rows.sizeModeIndex = 2;  // maximum 0 B
    Store();
    EXPECT_TRUE(criteria.sizeRuleOn);
    EXPECT_EQ(criteria.sizeMode, SizeRuleMode::EqualTo);

    rows.sizeModeIndex = 3;  // between 1024 B and 1 kB: one size, not an empty range
    rows.sizeFromText = "1024";
    rows.sizeFromUnitIndex = 0;
    rows.sizeToText = "1";
    rows.sizeToUnitIndex = 1;
    Store();
    EXPECT_EQ(criteria.sizeMode, SizeRuleMode::EqualTo);
    EXPECT_EQ(criteria.sizeFrom, 1024u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Accept, AZeroSizeOverridesTheContentRule)
{
    rows.contentChecked = true;
    rows.contentText = "Hello";
    rows.sizeChecked = true;
    for (int mode : {0, 2, 3}) {  // equal to, maximum, between 0 and 0
        prompter.shown.clear();
        rows.sizeModeIndex = mode;
        rows.sizeFromText = "0";
        rows.sizeToText = "0";
        Store();
        EXPECT_FALSE(criteria.contentRuleOn) << mode;
        EXPECT_TRUE(criteria.sizeRuleOn) << mode;
        EXPECT_EQ(criteria.sizeMode, SizeRuleMode::EqualTo) << mode;
        ASSERT_EQ(prompter.shown.size(), 1u) << mode;
        EXPECT_EQ(prompter.shown[0].text, "You have selected files with zero size,\nwhich overrides content filtering.");
        EXPECT_EQ(prompter.shown[0].caption, "Conflicting rules");
        EXPECT_EQ(prompter.shown[0].style, MbIconExclamation);
    }
}

TEST_F(Accept, DateRowOrdersBoundsByCalendarDate)
{
    rows.dateChecked = true;
    rows.dateKindIndex = 1;
    rows.dateRelationIndex = 3;
    rows.dateFrom = At(2020, 5, 1);
    rows.dateTo = At(2019, 12, 31);
    Store();
    EXPECT_TRUE(criteria.dateRuleOn);
    EXPECT_EQ(criteria.dateKind, FileTimeKind::Modified);
    EXPECT_EQ(criteria.dateRelation, DateRelation::Between);
    EXPECT_EQ(criteria.dateFrom.wYear, 2019);
    EXPECT_EQ(criteria.dateTo.wYear, 2020);

    // One day at two times of day: the same date, so Between is On.
    rows.dateFrom = At(2020, 5, 1, 18, 0);
    rows.dateTo = At(2020, 5, 1, 9, 30);
    Store();
    EXPECT_EQ(criteria.dateRelation, DateRelation::On);
    rows.dateRelationIndex = 4;
    Store();
    EXPECT_EQ(criteria.dateRelation, DateRelation::NotBetween);
}

TEST_F(Accept, TimeRowOrdersBoundsByHoursAndMinutes)
{
    rows.timeChecked = true;
    rows.timeKindIndex = 2;
    rows.timeRelationIndex = 3;
    rows.timeFrom = At(2001, 1, 1, 17, 5);
    rows.timeTo = At(2030, 1, 1, 8, 0);  // an earlier time on a later day
    Store();
    EXPECT_TRUE(criteria.timeRuleOn);
    EXPECT_EQ(criteria.timeKind, FileTimeKind::Accessed);
    EXPECT_EQ(criteria.timeFrom.wHour, 8);
    EXPECT_EQ(criteria.timeTo.wHour, 17);

    rows.timeFrom = At(2001, 1, 1, 8, 0);
    Store();
    EXPECT_EQ(criteria.timeRelation, TimeRelation::At);
}

TEST_F(Accept, AttributeRowNeedsAFlagAndClearsThemWhenUnchecked)
{
    rows.attributeChecked = true;
    rows.attributeModeIndex = 1;
    Store();
    EXPECT_FALSE(criteria.attributeRuleOn);

    criteria.attributeFlags[static_cast<size_t>(AttributeFlag::Hidden)] = 1;
    Store();
    EXPECT_TRUE(criteria.attributeRuleOn);
    EXPECT_EQ(criteria.attributeMode, AttributeRuleMode::Exclude);

    rows.attributeChecked = false;
    Store();
    EXPECT_FALSE(criteria.attributeRuleOn);
    EXPECT_EQ(criteria.attributeFlags, AttributeFlags{});
}

TEST_F(Accept, SearchingForFoldersSwitchesTheFileOnlyRowsOff)
{
    rows.extensionChecked = true;
    rows.extensionText = "txt";
    rows.contentChecked = true;
    rows.contentText = "x";
    rows.sizeChecked = true;
    rows.sizeModeIndex = 1;
    rows.sizeFromText = "5";
    rows.searchTarget = SearchTarget::Folders;
    Store();
    EXPECT_FALSE(criteria.extensionRuleOn);
    EXPECT_FALSE(criteria.contentRuleOn);
    EXPECT_FALSE(criteria.sizeRuleOn);
    EXPECT_FALSE(criteria.filtersSpecified);

    rows.dateChecked = true;
    Store();
    EXPECT_TRUE(criteria.filtersSpecified);
}

TEST(SizeField, ReadsAsAnUnsignedNumberOrZero)
{
    EXPECT_EQ(SizeFieldValue(""), 0u);
    EXPECT_EQ(SizeFieldValue("0042"), 42u);
    EXPECT_EQ(SizeFieldValue("4x"), 0u);
    EXPECT_EQ(SizeFieldValue("-1"), 0u);
    EXPECT_EQ(SizeFieldValue("99999999999999999999999"), UINT64_MAX);
    EXPECT_EQ(SizeInBytes(3, SizeUnit::Kilobytes), 3072u);
    EXPECT_EQ(SizeInBytes(UINT64_MAX >> 10, SizeUnit::Megabytes), UINT64_MAX);
}

TEST(TypingFilters, NameLosesOneForbiddenCharacterPerPassWithAMessage)
{
    ScriptedPrompter prompter;
    std::string text = "a:b*c";
    int passes = 0;
    while (FilterTypedName(text, prompter)) ++passes;
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(passes, 2);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text,
              "Filenames cannot contain any of the following characters:\n\\ / : * ? \" < > |");
    EXPECT_EQ(prompter.shown[0].caption, "Info");
    EXPECT_EQ(prompter.shown[0].style, MbIconInformation);

    std::string all = "\\/:*?\"<>|ok";
    while (FilterTypedName(all, prompter)) {
    }
    EXPECT_EQ(all, "ok");
}

TEST(TypingFilters, ExtensionListLosesDotsAndStraySlashesSilently)
{
    std::string text = ".jpg//png/";
    while (FilterTypedExtensions(text)) {
    }
    EXPECT_EQ(text, "jpg/png/");
    std::string odd = "/a.b:c//d";
    while (FilterTypedExtensions(odd)) {
    }
    EXPECT_EQ(odd, "abc/d");
}

}  // namespace
}  // namespace tolvane::test
