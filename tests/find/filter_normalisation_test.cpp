#include "find/filter_normalisation.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace tolvane::test {
namespace {

class Accept : public ::testing::Test {
protected:
    void Store() { AcceptFilterRows(rows, criteria, prompter); }

    FilterRows rows;
    SearchCriteria criteria;
    ScriptedPrompter prompter;
};

// A checked row with an empty text is off; text fields are cut to their limit.
TEST_F(Accept, TextRowsTakeTextModeAndCase)
{
    rows.nameChecked = rows.extensionChecked = rows.contentChecked = true;
    Store();
    EXPECT_FALSE(criteria.nameRuleOn || criteria.extensionRuleOn || criteria.contentRuleOn || criteria.filtersSpecified);
    EXPECT_STREQ(FiltersButtonCaption(criteria), "*Specify filters");

    rows.nameText = std::string(300, 'n');
    rows.nameModeIndex = 2;
    rows.nameCaseChecked = true;
    rows.extensionText = "jpg/png/";  // one trailing slash is dropped
    rows.extensionModeIndex = 1;
    rows.contentText = "Hello \xC4Z";
    Store();
    EXPECT_TRUE(criteria.nameRuleOn && criteria.extensionRuleOn && criteria.contentRuleOn && criteria.filtersSpecified);
    EXPECT_STREQ(FiltersButtonCaption(criteria), "Specified filters");
    EXPECT_EQ(criteria.nameText.size(), NameTextMax);
    EXPECT_EQ(criteria.nameMode, NameRuleMode::NotContains);
    EXPECT_TRUE(criteria.nameCaseSensitive);
    EXPECT_EQ(criteria.extensionList, "jpg/png");
    EXPECT_EQ(criteria.extensionMode, ExtensionRuleMode::ExcludeTypes);
    EXPECT_EQ(criteria.contentText, "hello \xC4z");  // only A-Z folded
    EXPECT_FALSE(criteria.contentCaseSensitive);

    rows.contentCaseChecked = true;
    rows.contentModeIndex = 1;
    rows.nameChecked = false;
    Store();
    EXPECT_EQ(criteria.contentText, "Hello \xC4Z");
    EXPECT_EQ(criteria.contentMode, ContentRuleMode::NotContaining);
    EXPECT_FALSE(criteria.nameRuleOn);
}

// Units multiply by 1024; Between bounds are swapped into order; a rule that
// passes everything is off and one that allows one size is EqualTo.
TEST_F(Accept, SizeRowMultipliesSwapsAndNormalises)
{
    using enum SizeRuleMode;
    const struct {
        int mode;
        const char* from;
        int fromUnit;
        const char* to;
        int toUnit;
        bool on;
        SizeRuleMode stored;
        uint64_t storedFrom, storedTo;
    } cases[] = {
        {4, "9999", 2, "", 0, true, NotBetween, 0, 9999ull << 20},  // beyond 32 bits once in bytes
        {1, "0", 0, "", 0, false, Minimum, 0, 0},
        {2, "0", 0, "", 0, true, EqualTo, 0, 0},
        {3, "1024", 0, "1", 1, true, EqualTo, 1024, 1024},  // one size, not an empty range
        {3, "5", 2, "100", 1, true, Between, 102400, 5242880},
    };
    rows.sizeChecked = true;
    for (const auto& c : cases) {
        rows.sizeModeIndex = c.mode;
        rows.sizeFromText = c.from;
        rows.sizeFromUnitIndex = c.fromUnit;
        rows.sizeToText = c.to;
        rows.sizeToUnitIndex = c.toUnit;
        Store();
        EXPECT_EQ(criteria.sizeRuleOn, c.on) << c.from;
        if (!c.on) continue;
        EXPECT_EQ(criteria.sizeMode, c.stored) << c.from;
        EXPECT_EQ(criteria.sizeFrom, c.storedFrom) << c.from;
        if (c.stored != EqualTo) {
            EXPECT_EQ(criteria.sizeTo, c.storedTo) << c.from;
        }
    }
    EXPECT_EQ(criteria.sizeFromUnit, SizeUnit::Kilobytes);  // the units go with their swapped bounds
    EXPECT_EQ(criteria.sizeToUnit, SizeUnit::Megabytes);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Accept, AZeroSizeOverridesTheContentRule)
{
    rows.contentChecked = rows.sizeChecked = true;
    rows.contentText = "Hello";
    rows.sizeFromText = rows.sizeToText = "0";
    for (int mode : {0, 2, 3}) {  // equal to, maximum, between 0 and 0
        rows.sizeModeIndex = mode;
        Store();
        EXPECT_FALSE(criteria.contentRuleOn) << mode;
        EXPECT_EQ(criteria.sizeMode, SizeRuleMode::EqualTo) << mode;
    }
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[2].caption, "Conflicting rules");
}

// Dates order by calendar day, times by hour and minute; equal bounds make
// Between a single day (On) or minute (At).
TEST_F(Accept, DateAndTimeRowsOrderTheirBounds)
{
    rows.dateChecked = rows.timeChecked = true;
    rows.dateKindIndex = 1;
    rows.dateRelationIndex = rows.timeRelationIndex = 3;
    rows.timeKindIndex = 2;
    rows.dateFrom = SystemTime{2020, 5, 0, 1};
    rows.dateTo = SystemTime{2019, 12, 0, 31};
    rows.timeFrom = SystemTime{2001, 1, 0, 1, 17, 5};
    rows.timeTo = SystemTime{2030, 1, 0, 1, 8, 0};  // an earlier time on a later day
    Store();
    EXPECT_TRUE(criteria.dateRuleOn && criteria.timeRuleOn);
    EXPECT_EQ(criteria.dateKind, FileTimeKind::Modified);
    EXPECT_EQ(criteria.dateRelation, DateRelation::Between);
    EXPECT_EQ(criteria.dateFrom.wYear * 100 + criteria.dateTo.wYear % 100, 201920);
    EXPECT_EQ(criteria.timeKind, FileTimeKind::Accessed);
    EXPECT_EQ(criteria.timeFrom.wHour * 100 + criteria.timeTo.wHour, 817);

    rows.dateFrom = SystemTime{2020, 5, 0, 1, 18, 0};
    rows.dateTo = SystemTime{2020, 5, 0, 1, 9, 30};
    rows.timeFrom = SystemTime{2001, 1, 0, 1, 8, 0};
    Store();
    EXPECT_EQ(criteria.dateRelation, DateRelation::On);
    EXPECT_EQ(criteria.timeRelation, TimeRelation::At);
    rows.dateRelationIndex = 4;
    Store();
    EXPECT_EQ(criteria.dateRelation, DateRelation::NotBetween);
}

// The attribute row needs a flag and clears them when unchecked; searching
// for folders switches the file-only rows off.
TEST_F(Accept, AttributeRowAndFolderTarget)
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
    EXPECT_EQ(criteria.attributeFlags, AttributeFlags{});

    rows.extensionChecked = rows.contentChecked = rows.sizeChecked = true;
    rows.extensionText = "txt";
    rows.contentText = "x";
    rows.sizeModeIndex = 1;
    rows.sizeFromText = "5";
    rows.searchTarget = SearchTarget::Folders;
    Store();
    EXPECT_FALSE(criteria.extensionRuleOn || criteria.contentRuleOn || criteria.sizeRuleOn || criteria.filtersSpecified);
}

TEST(SizeField, ReadsAsAnUnsignedNumberOrZeroAndSaturates)
{
    for (const char* text : {"", "4x", "-1"}) EXPECT_EQ(SizeFieldValue(text), 0u) << text;
    EXPECT_EQ(SizeFieldValue("99999999999999999999999"), UINT64_MAX);
    EXPECT_EQ(SizeInBytes(UINT64_MAX >> 10, SizeUnit::Megabytes), UINT64_MAX);
}

// One character per pass: the box's own update removes the rest.
TEST(TypingFilters, NamesLoseForbiddenCharactersWithAMessageAndExtensionsDotsSilently)
{
    ScriptedPrompter prompter;
    std::string text = "\\/:*?\"<>|ok";
    int passes = 0;
    while (FilterTypedName(text, prompter)) ++passes;
    EXPECT_EQ(text, "ok");
    EXPECT_EQ(passes, 9);
    EXPECT_EQ(prompter.shown.at(8).caption, "Info");

    for (const auto& [typed, kept] : {std::pair<std::string, std::string>{".jpg//png/", "jpg/png/"}, {"/a.b:c//d", "abc/d"}}) {
        std::string extensions = typed;
        while (FilterTypedExtensions(extensions)) {
        }
        EXPECT_EQ(extensions, kept) << typed;
    }
}

}  // namespace
}  // namespace tolvane::test
