#include "find/filter_normalisation.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

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

    rows = {.nameChecked = true, .nameModeIndex = 2, .nameText = std::string(300, 'n'), .nameCaseChecked = true,
            .extensionChecked = true, .extensionModeIndex = 1, .extensionText = "jpg/png/",  // one trailing slash goes
            .contentChecked = true, .contentText = "Hello \xC4Z"};
    Store();
    EXPECT_TRUE(criteria.nameRuleOn && criteria.extensionRuleOn && criteria.contentRuleOn && criteria.filtersSpecified);
    EXPECT_EQ(std::tuple(criteria.nameText.size(), criteria.nameMode, criteria.nameCaseSensitive, criteria.extensionList,
                         criteria.extensionMode, criteria.contentText, criteria.contentCaseSensitive),
              std::tuple(NameTextMax, NameRuleMode::NotContains, true, std::string("jpg/png"), ExtensionRuleMode::ExcludeTypes,
                         std::string("hello \xC4z"), false));  // only A-Z folded

    rows.contentCaseChecked = true;
    rows.contentModeIndex = 1;
    rows.nameChecked = false;
    Store();
    EXPECT_EQ(std::tuple(criteria.contentText, criteria.contentMode, criteria.nameRuleOn),
              std::tuple(std::string("Hello \xC4Z"), ContentRuleMode::NotContaining, false));
}

// Units multiply by 1024; range bounds are swapped into order with their units;
// a rule that passes everything is off and one that allows one size is EqualTo.
TEST_F(Accept, SizeRowMultipliesSwapsAndNormalises)
{
    using enum SizeRuleMode;
    const struct { int mode; const char* from; int fromUnit; const char* to; int toUnit; bool on; SizeRuleMode stored; uint64_t storedFrom, storedTo; } cases[] = {
        {4, "9999", 2, "", 0, true, NotBetween, 0, 9999ull << 20},  // beyond 32 bits once in bytes
        {1, "0", 0, "", 0, false, Minimum, 0, 0},
        {3, "1024", 0, "1", 1, true, EqualTo, 1024, 1024},  // one size, not an empty range
        {3, "5", 2, "100", 1, true, Between, 102400, 5242880},
    };
    for (const auto& c : cases) {
        rows = {.sizeChecked = true, .sizeModeIndex = c.mode, .sizeFromText = c.from, .sizeFromUnitIndex = c.fromUnit,
                .sizeToText = c.to, .sizeToUnitIndex = c.toUnit};
        Store();
        EXPECT_EQ(std::tuple(criteria.sizeRuleOn, criteria.sizeMode, criteria.sizeFrom, criteria.sizeTo),
                  std::tuple(c.on, c.stored, c.storedFrom, c.storedTo)) << c.from;
    }
    EXPECT_EQ(std::pair(criteria.sizeFromUnit, criteria.sizeToUnit), std::pair(SizeUnit::Kilobytes, SizeUnit::Megabytes));
    EXPECT_TRUE(prompter.shown.empty());

    rows.contentChecked = true;  // a zero size overrides the content rule
    rows.contentText = "Hello";
    rows.sizeFromText = rows.sizeToText = "0";
    for (int mode : {0, 2, 3}) {  // equal to, maximum, between 0 and 0
        rows.sizeModeIndex = mode;
        Store();
        EXPECT_FALSE(criteria.contentRuleOn) << mode;
        EXPECT_EQ(criteria.sizeMode, EqualTo) << mode;
    }
    EXPECT_EQ(prompter.shown.size(), 3u);
}

// Dates order by calendar day, times by hour and minute; equal bounds make
// Between a single day (On) or minute (At).
TEST_F(Accept, DateAndTimeRowsOrderTheirBounds)
{
    rows = {.dateChecked = true, .dateKindIndex = 1, .dateRelationIndex = 3, .dateFrom = {2020, 5, 0, 1},
            .dateTo = {2019, 12, 0, 31}, .timeChecked = true, .timeKindIndex = 2, .timeRelationIndex = 3,
            .timeFrom = {2001, 1, 0, 1, 17, 5}, .timeTo = {2030, 1, 0, 1, 8, 0}};  // an earlier time on a later day
    Store();
    EXPECT_TRUE(criteria.dateRuleOn && criteria.timeRuleOn);
    EXPECT_EQ(std::tuple(criteria.dateKind, criteria.dateRelation, criteria.dateFrom.wYear, criteria.dateTo.wYear,
                         criteria.timeKind, criteria.timeFrom.wHour, criteria.timeTo.wHour),
              std::tuple(FileTimeKind::Modified, DateRelation::Between, 2019, 2020, FileTimeKind::Accessed, 8, 17));

    rows.dateFrom = {2020, 5, 0, 1, 18, 0};
    rows.dateTo = {2020, 5, 0, 1, 9, 30};
    rows.timeFrom = {2001, 1, 0, 1, 8, 0};
    Store();
    EXPECT_EQ(std::pair(criteria.dateRelation, criteria.timeRelation), std::pair(DateRelation::On, TimeRelation::At));
}

// The attribute row needs a flag and clears them when unchecked; searching
// for folders switches the file-only rows off.
TEST_F(Accept, AttributeRowAndFolderTarget)
{
    rows = {.attributeChecked = true, .attributeModeIndex = 1};
    Store();
    EXPECT_FALSE(criteria.attributeRuleOn);
    criteria.attributeFlags[static_cast<size_t>(AttributeFlag::Hidden)] = 1;
    Store();
    EXPECT_TRUE(criteria.attributeRuleOn && criteria.attributeMode == AttributeRuleMode::Exclude);
    rows.attributeChecked = false;
    Store();
    EXPECT_EQ(criteria.attributeFlags, AttributeFlags{});

    rows = {.searchTarget = SearchTarget::Folders, .extensionChecked = true, .extensionText = "txt", .contentChecked = true,
            .contentText = "x", .sizeChecked = true, .sizeModeIndex = 1, .sizeFromText = "5"};
    Store();
    EXPECT_FALSE(criteria.extensionRuleOn || criteria.contentRuleOn || criteria.sizeRuleOn || criteria.filtersSpecified);
}

TEST(SizeField, ReadsAsAnUnsignedNumberOrZeroAndSaturates)
{
    for (const char* text : {"", "4x", "-1"}) EXPECT_EQ(SizeFieldValue(text), 0u) << text;
    EXPECT_EQ(SizeFieldValue("99999999999999999999999"), UINT64_MAX);
    EXPECT_EQ(SizeInBytes(UINT64_MAX >> 10, SizeUnit::Megabytes), UINT64_MAX);
}

TEST(MatchName, ModesCaseAndCodePointFolding)
{
    using enum NameRuleMode;
    const struct { const char *name, *pattern; NameRuleMode mode; bool caseSensitive, matches; } cases[] = {
        {"Report.TXT", "REPORT.txt", Matches, false, true}, {"Report.TXT", "report", NotContains, false, false},
        {"Report.TXT", "report", Contains, true, false},    {"Report.TXT", "report", NotContains, true, true},
        {"a.txt.bak", "a.txt", Matches, false, false},      {"xa.txt", "a.txt", Matches, false, false},
        {"abc.txt", "a?c.txt", Matches, false, false},
        {"\xE2\x84\xAA.txt", "k.txt", Matches, false, true},  // Kelvin sign
        {"\xE3\x83\x83.txt", "\xC3\x83", Contains, false, false},  // Ã folds to ã, never to a byte of ッ
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchName(NamedEntry(c.name), c.pattern, c.mode, c.caseSensitive), c.matches)
            << c.name << " / " << c.pattern;
}

// One character per pass: the box's own update removes the rest.
TEST(TypingFilters, NamesLoseForbiddenCharactersWithAMessageAndExtensionsDotsSilently)
{
    ScriptedPrompter prompter;
    std::string text = "\\/:*?\"<>|ok";
    int passes = 0;
    while (FilterTypedName(text, prompter)) ++passes;
    EXPECT_EQ(text + " " + std::to_string(passes) + " " + std::to_string(prompter.shown.size()), "ok 9 9");
    std::string extensions = "/.jpg//png/:c";
    while (FilterTypedExtensions(extensions)) {
    }
    EXPECT_EQ(extensions, "jpg/png/c");
}

}  // namespace
}  // namespace tolvane::test
