// Fuzzes the Accept of both filter dialogs. Find inputs shaped as the dialog
// gives them (edit limits, typing filters run, selections within the items)
// must survive a reopen: the stored rules loaded back and accepted again
// change nothing. Every input, raw ones too (any text length, any selection),
// leaves valid rules that hold for any value.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <tuple>

#include "compare/compare_filter_normalisation.h"
#include "find/filter_normalisation.h"
#include "fuzz_support.h"
#include "platform/text.h"
#include "support/scripted_prompter.h"

namespace {

using namespace tolvane;
using fuzz::Require;

constexpr size_t SizeFieldDigits = 4;

struct Decoder {
    FuzzedDataProvider& input;
    bool dialogShaped;

    // A combo's selection: one of its items, or (Selection) any number for a raw input.
    int Item(int items) { return input.ConsumeIntegralInRange(0, items - 1); }
    int Selection(int items) { return dialogShaped ? Item(items) : input.ConsumeIntegral<int>(); }
    bool Box() { return input.ConsumeBool(); }

    std::string Text(size_t limit)
    {
        // Cut at the first NUL, as an edit control hands it over.
        std::string text = input.ConsumeRandomLengthString(limit + 16);
        text.resize(std::min(text.find('\0'), dialogShaped ? limit : text.size()));
        return text;
    }

    // A picker's value: always a whole calendar date and time of day.
    SystemTime Picker()
    {
        const auto in = [&](uint16_t low, uint16_t high) { return input.ConsumeIntegralInRange<uint16_t>(low, high); };
        return SystemTime{in(1601, 30827), in(1, 12), 0, in(1, 31), in(0, 23), in(0, 59), in(0, 59), in(0, 999)};
    }

    AttributeFlags Flags()
    {
        AttributeFlags flags{};
        for (uint8_t& flag : flags) flag = input.ConsumeBool() ? 1 : 0;
        return flags;
    }
};

// Runs a typing filter as its edit does (this one lower-cases), until it
// changes nothing; what each pass removes is the Find suite's TypingFilters test.
std::string TypedExtensions(std::string text)
{
    for (char& c : text) c = platform::LowerAnsi(c);
    while (FilterTypedExtensions(text)) {
    }
    return text;
}

// A stored size rule: valid modes and units, ranges in order, an exclusive
// range never empty, and a one-bound rule left on keeps something out.
template <typename Criteria>
void CheckSizeRule(const Criteria& c)
{
    const auto within = [](auto value, unsigned last) { return static_cast<unsigned>(value) <= last; };
    Require(within(c.sizeMode, 4) && within(c.sizeFromUnit, 2) && within(c.sizeToUnit, 2));
    const bool oneBound = c.sizeMode == SizeRuleMode::Minimum || c.sizeMode == SizeRuleMode::Maximum;
    Require(c.sizeMode != SizeRuleMode::NotBetween || c.sizeFrom <= c.sizeTo);
    Require(!c.sizeRuleOn || c.sizeMode != SizeRuleMode::Between || c.sizeFrom < c.sizeTo);
    Require(!c.sizeRuleOn || !oneBound || c.sizeFrom > 0);
}

uint32_t CalendarKey(const SystemTime& t) { return (uint32_t{t.wYear} << 9) | (uint32_t{t.wMonth} << 5) | t.wDay; }
uint32_t ClockKey(const SystemTime& t) { return uint32_t{t.wHour} * 60 + t.wMinute; }

// Every field of a picker value, comparable.
std::array<uint16_t, 8> Stamp(const SystemTime& t) { return std::bit_cast<std::array<uint16_t, 8>>(t); }

// A stored date or time rule has a valid relation, its ranges ordered by the
// part the rule tests, and Between never names one day or minute: it becomes
// On (or At) instead.
template <typename Relation>
void CheckTimeBounds(const SystemTime& from, const SystemTime& to, Relation stored, uint32_t (*key)(const SystemTime&))
{
    Require(static_cast<unsigned>(stored) <= 4);
    Require(stored != Relation::Between || key(from) < key(to));
    Require(stored != Relation::NotBetween || key(from) <= key(to));
}

void CheckFindAccept(const FilterRows& r, const SearchCriteria& c, const test::ScriptedPrompter& prompter)
{
    CheckSizeRule(c);
    // A zero size overrides the content rule, and says so once.
    const bool contentWanted = r.contentChecked && r.searchTarget != SearchTarget::Folders && !r.contentText.empty();
    const bool zeroSize = c.sizeRuleOn && c.sizeMode == SizeRuleMode::EqualTo && c.sizeFrom == 0;
    Require(c.contentRuleOn == (contentWanted && !zeroSize));
    Require(prompter.shown.size() == (contentWanted && zeroSize ? 1u : 0u));
    if (c.dateRuleOn) CheckTimeBounds(c.dateFrom, c.dateTo, c.dateRelation, CalendarKey);
    if (c.timeRuleOn) CheckTimeBounds(c.timeFrom, c.timeTo, c.timeRelation, ClockKey);
    Require(c.filtersSpecified == (c.nameRuleOn || c.extensionRuleOn || c.contentRuleOn || c.sizeRuleOn ||
                                   c.dateRuleOn || c.timeRuleOn || c.attributeRuleOn));
}

// The dialog reopened on the stored rules: rows that are off show unchecked.
FilterRows LoadedFindRows(const SearchCriteria& c, SearchTarget target)
{
    const bool applies = target != SearchTarget::Folders;
    const auto index = [](auto item) { return static_cast<int>(item); };
    const auto number = [](uint64_t bytes, SizeUnit unit) { return std::to_string(bytes / SizeUnitFactor(unit)); };
    return FilterRows{
        .searchTarget = target,
        .nameChecked = c.nameRuleOn, .nameModeIndex = index(c.nameMode), .nameText = c.nameText,
        .nameCaseChecked = c.nameCaseSensitive,
        .extensionChecked = c.extensionRuleOn && applies, .extensionModeIndex = index(c.extensionMode),
        .extensionText = c.extensionList,
        .contentChecked = c.contentRuleOn && applies, .contentModeIndex = index(c.contentMode),
        .contentText = c.contentText, .contentCaseChecked = c.contentCaseSensitive,
        .sizeChecked = c.sizeRuleOn && applies, .sizeModeIndex = index(c.sizeMode),
        .sizeFromText = number(c.sizeFrom, c.sizeFromUnit), .sizeFromUnitIndex = index(c.sizeFromUnit),
        .sizeToText = number(c.sizeTo, c.sizeToUnit), .sizeToUnitIndex = index(c.sizeToUnit),
        .dateChecked = c.dateRuleOn, .dateKindIndex = index(c.dateKind), .dateRelationIndex = index(c.dateRelation),
        .dateFrom = c.dateFrom, .dateTo = c.dateTo,
        .timeChecked = c.timeRuleOn, .timeKindIndex = index(c.timeKind), .timeRelationIndex = index(c.timeRelation),
        .timeFrom = c.timeFrom, .timeTo = c.timeTo,
        .attributeChecked = c.attributeRuleOn, .attributeModeIndex = index(c.attributeMode),
    };
}

// Every stored field. The copy accepted again starts from the first rules,
// so rules that stay off keep the same stale values.
auto StoredRules(const SearchCriteria& c)
{
    return std::tuple(c.filtersSpecified, c.attributeFlags, c.attributeRuleOn, c.attributeMode,
                      std::tuple(c.nameRuleOn, c.nameMode, c.nameCaseSensitive, c.nameText),
                      std::tuple(c.extensionRuleOn, c.extensionMode, c.extensionList),
                      std::tuple(c.contentRuleOn, c.contentMode, c.contentCaseSensitive, c.contentText),
                      std::tuple(c.sizeRuleOn, c.sizeMode, c.sizeFrom, c.sizeFromUnit, c.sizeTo, c.sizeToUnit),
                      std::tuple(c.dateRuleOn, c.dateKind, c.dateRelation, Stamp(c.dateFrom), Stamp(c.dateTo)),
                      std::tuple(c.timeRuleOn, c.timeKind, c.timeRelation, Stamp(c.timeFrom), Stamp(c.timeTo)));
}

void FuzzFind(Decoder& in)
{
    // Braced initialisers run in order: the controls take the input row by row.
    FilterRows rows{
        .searchTarget = static_cast<SearchTarget>(in.input.ConsumeIntegralInRange(0, 2)),
        .nameChecked = in.Box(), .nameModeIndex = in.Selection(3), .nameText = in.Text(NameTextMax),
        .nameCaseChecked = in.Box(),
        .extensionChecked = in.Box(), .extensionModeIndex = in.Selection(2), .extensionText = in.Text(ExtensionListMax),
        .contentChecked = in.Box(), .contentModeIndex = in.Selection(2), .contentText = in.Text(ContentTextMax),
        .contentCaseChecked = in.Box(),
        .sizeChecked = in.Box(), .sizeModeIndex = in.Selection(5),
        .sizeFromText = in.Text(SizeFieldDigits), .sizeFromUnitIndex = in.Selection(3),
        .sizeToText = in.Text(SizeFieldDigits), .sizeToUnitIndex = in.Selection(3),
        .dateChecked = in.Box(), .dateKindIndex = in.Selection(3), .dateRelationIndex = in.Selection(5),
        .dateFrom = in.Picker(), .dateTo = in.Picker(),
        .timeChecked = in.Box(), .timeKindIndex = in.Selection(3), .timeRelationIndex = in.Selection(5),
        .timeFrom = in.Picker(), .timeTo = in.Picker(),
        .attributeChecked = in.Box(), .attributeModeIndex = in.Selection(2),
    };
    SearchCriteria criteria;
    criteria.attributeFlags = in.Flags();
    if (in.dialogShaped) {
        test::ScriptedPrompter typing;
        while (FilterTypedName(rows.nameText, typing)) {
        }
        rows.extensionText = TypedExtensions(rows.extensionText);
    }
    test::ScriptedPrompter prompter;
    AcceptFilterRows(rows, criteria, prompter);
    CheckFindAccept(rows, criteria, prompter);
    if (!in.dialogShaped) return;

    SearchCriteria again = criteria;
    test::ScriptedPrompter quiet;
    AcceptFilterRows(LoadedFindRows(criteria, rows.searchTarget), again, quiet);
    Require(quiet.shown.empty() && StoredRules(again) == StoredRules(criteria));
}

// The Compare dialog hands its selections over as the enumerations
// themselves; its date row goes through the Find dialog's ordering. What its
// other rows store is the Compare suite's CompareFilters tests.
void FuzzCompare(Decoder& in)
{
    const auto number = [&]() -> uint32_t {
        if (!in.dialogShaped) return in.input.ConsumeIntegral<uint32_t>();
        return static_cast<uint32_t>(SizeFieldValue(in.Text(SizeFieldDigits)));
    };
    CompareFilterRows r{
        .extensionChecked = in.Box(), .extensionMode = static_cast<ExtensionRuleMode>(in.Item(2)),
        .extensionText = in.Text(ExtensionListMax),
        .sizeChecked = in.Box(), .sizeMode = static_cast<SizeRuleMode>(in.Item(5)),
        .sizeFromNumber = number(), .sizeFromUnit = static_cast<SizeUnit>(in.Item(3)),
        .sizeToNumber = number(), .sizeToUnit = static_cast<SizeUnit>(in.Item(3)),
        .attributesChecked = in.Box(), .attributeMode = static_cast<AttributeRuleMode>(in.Item(2)),
    };
    CompareCriteria c;
    c.attributeFlags = in.Flags();
    if (in.dialogShaped) r.extensionText = TypedExtensions(r.extensionText);
    AcceptCompareFilters(r, c);
    CheckSizeRule(c);
    // The dialog never offers the reparse point box: a flag left there counts.
    const bool anyFlag = std::count(c.attributeFlags.begin(), c.attributeFlags.end(), 1) > 0;
    Require(c.attributeRuleOn == (r.attributesChecked && anyFlag));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    Decoder decoder{input, input.ConsumeBool()};
    if (input.ConsumeBool())
        FuzzCompare(decoder);
    else
        FuzzFind(decoder);
    return 0;
}
