// Fuzzes the Accept of both filter dialogs. Find inputs shaped as the dialog
// gives them (edit limits, typing filters run, selections within the items)
// must survive a reopen: the stored rules loaded back and accepted again
// change nothing. Raw inputs (any text length, any selection) keep only the
// rules that hold for any value; of the Compare dialog, only what its own
// Accept does is checked.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>

#include "compare/compare_filter_normalisation.h"
#include "find/filter_normalisation.h"
#include "fuzz_support.h"
#include "platform/text.h"

namespace {

using namespace tolvane;
using fuzz::Require;

constexpr size_t SizeFieldDigits = 4;

struct Decoder {
    FuzzedDataProvider& input;
    bool dialogShaped;

    // A combo's selection: one of its items, or any number for a raw input.
    int Selection(int items) { return dialogShaped ? input.ConsumeIntegralInRange(0, items - 1) : input.ConsumeIntegral<int>(); }
    bool Box() { return input.ConsumeBool(); }

    std::string Text(size_t limit)
    {
        std::string text = fuzz::EditText(input.ConsumeRandomLengthString(limit + 16));
        if (dialogShaped && text.size() > limit) text.resize(limit);
        return text;
    }

    // A picker's value: always a whole calendar date and time of day.
    SystemTime Picker()
    {
        const auto in = [&](uint16_t low, uint16_t high) { return input.ConsumeIntegralInRange<uint16_t>(low, high); };
        return SystemTime{in(1601, 30827), in(1, 12), 0, in(1, 31), in(0, 23), in(0, 59), in(0, 59), in(0, 999)};
    }

    // The flags as the attributes dialog leaves them: compressed and
    // encrypted never both, and the boxes it disables cleared.
    AttributeFlags Flags(int firstDisabled, int secondDisabled)
    {
        AttributeFlags flags{};
        for (uint8_t& flag : flags) flag = input.ConsumeBool() ? 1 : 0;
        if (dialogShaped && flags[static_cast<int>(AttributeFlag::Compressed)] == 1) flags[static_cast<int>(AttributeFlag::Encrypted)] = 0;
        for (const int disabled : {firstDisabled, secondDisabled})
            if (dialogShaped && disabled >= 0) flags[static_cast<size_t>(disabled)] = 0;
        return flags;
    }
};

// Runs a typing filter as the edit does, once per change it makes; what is
// left passes the filter unchanged.
std::string TypedName(std::string text)
{
    fuzz::RecordingPrompter prompter;
    const size_t typed = text.size();
    while (FilterTypedName(text, prompter)) Require(prompter.shown.size() <= typed);
    Require(prompter.shown.size() == typed - text.size());
    return text;
}

std::string TypedExtensions(const std::string& typed)
{
    std::string text = typed;
    for (char& c : text) c = platform::LowerAnsi(c);
    while (FilterTypedExtensions(text)) {
    }
    Require(text.find("//") == std::string::npos && (text.empty() || text.front() != '/'));
    return text;
}

bool IsRange(SizeRuleMode mode) { return mode == SizeRuleMode::Between || mode == SizeRuleMode::NotBetween; }

using SizeBound = std::pair<uint64_t, SizeUnit>;

// A stored size rule: valid modes and units, each bound stored with its own
// unit (ranges possibly swapped into order), and an exclusive range never empty.
template <typename Criteria>
void CheckSizeRule(const Criteria& c, SizeRuleMode typedMode, SizeBound typedFrom, SizeBound typedTo)
{
    const auto within = [](auto value, int last) { return static_cast<int>(value) >= 0 && static_cast<int>(value) <= last; };
    Require(within(c.sizeMode, 4) && within(c.sizeFromUnit, 2) && within(c.sizeToUnit, 2));
    const SizeBound from{c.sizeFrom, c.sizeFromUnit}, to{c.sizeTo, c.sizeToUnit};
    const bool range = IsRange(typedMode);
    Require((from == typedFrom && (!range || to == typedTo)) || (range && from == typedTo && to == typedFrom));
    if (range) Require(c.sizeFrom <= c.sizeTo);
    if (c.sizeRuleOn && c.sizeMode == SizeRuleMode::Between) Require(c.sizeFrom < c.sizeTo);
    if (c.sizeRuleOn && (c.sizeMode == SizeRuleMode::Minimum || c.sizeMode == SizeRuleMode::Maximum)) Require(c.sizeFrom > 0);
}

uint32_t CalendarKey(const SystemTime& t) { return (uint32_t{t.wYear} << 9) | (uint32_t{t.wMonth} << 5) | t.wDay; }
uint32_t ClockKey(const SystemTime& t) { return uint32_t{t.wHour} * 60 + t.wMinute; }

bool SameTime(const SystemTime& a, const SystemTime& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A stored date or time rule keeps the two picker values, ordered by the part
// the rule tests for the ranges, and Between never names one day or minute:
// it becomes On (or At) instead.
template <typename Relation>
void CheckTimeBounds(const SystemTime& from, const SystemTime& to, Relation stored, int typedRelation,
                     const SystemTime& typedFrom, const SystemTime& typedTo, uint32_t (*key)(const SystemTime&))
{
    const int relation = static_cast<int>(stored);
    Require(relation == typedRelation || (typedRelation == 3 && relation == 0 && key(from) == key(to)));
    const bool range = relation >= 3;
    const bool swapped = SameTime(from, typedTo) && SameTime(to, typedFrom);
    Require((SameTime(from, typedFrom) && SameTime(to, typedTo)) || (range && swapped));
    if (range) Require(relation == 3 ? key(from) < key(to) : key(from) <= key(to));
}

template <typename Rows>
struct Input {
    Rows rows;
    AttributeFlags flags;
};
using FindInput = Input<FilterRows>;
using CompareInput = Input<CompareFilterRows>;

FindInput DecodeFind(Decoder& in)
{
    FindInput find;
    FilterRows& r = find.rows;
    // One statement per row, its controls in the order the input gives them.
    r.searchTarget = static_cast<SearchTarget>(in.input.ConsumeIntegralInRange(0, 2));
    r.nameChecked = in.Box(), r.nameModeIndex = in.Selection(3), r.nameText = in.Text(NameTextMax), r.nameCaseChecked = in.Box();
    r.extensionChecked = in.Box(), r.extensionModeIndex = in.Selection(2), r.extensionText = in.Text(ExtensionListMax);
    r.contentChecked = in.Box(), r.contentModeIndex = in.Selection(2), r.contentText = in.Text(ContentTextMax), r.contentCaseChecked = in.Box();
    r.sizeChecked = in.Box(), r.sizeModeIndex = in.Selection(5), r.sizeFromText = in.Text(SizeFieldDigits),
    r.sizeFromUnitIndex = in.Selection(3), r.sizeToText = in.Text(SizeFieldDigits), r.sizeToUnitIndex = in.Selection(3);
    r.dateChecked = in.Box(), r.dateKindIndex = in.Selection(3), r.dateRelationIndex = in.Selection(5), r.dateFrom = in.Picker(), r.dateTo = in.Picker();
    r.timeChecked = in.Box(), r.timeKindIndex = in.Selection(3), r.timeRelationIndex = in.Selection(5), r.timeFrom = in.Picker(), r.timeTo = in.Picker();
    r.attributeChecked = in.Box(), r.attributeModeIndex = in.Selection(2);
    const bool folders = r.searchTarget == SearchTarget::Folders, files = r.searchTarget == SearchTarget::Files;
    find.flags = in.Flags(folders ? static_cast<int>(AttributeFlag::Temporary) : files ? static_cast<int>(AttributeFlag::ReparsePoint) : -1,
                          folders ? static_cast<int>(AttributeFlag::Sparse) : -1);
    if (in.dialogShaped) {
        r.nameText = TypedName(r.nameText);
        r.extensionText = TypedExtensions(r.extensionText);
    }
    return find;
}

// A selection outside the items reads as the first item.
int Item(int index, int items) { return index >= 0 && index < items ? index : 0; }

void CheckFindAccept(const FindInput& input, const SearchCriteria& c, const fuzz::RecordingPrompter& prompter)
{
    const FilterRows& r = input.rows;
    const bool applies = r.searchTarget != SearchTarget::Folders;
    const bool contentWanted = r.contentChecked && applies && !r.contentText.empty();
    if (r.sizeChecked && applies) {
        const auto bytes = [](const std::string& text, int unit) {
            const auto sizeUnit = static_cast<SizeUnit>(Item(unit, 3));
            return SizeBound{SizeInBytes(SizeFieldValue(text), sizeUnit), sizeUnit};
        };
        const auto mode = static_cast<SizeRuleMode>(Item(r.sizeModeIndex, 5));
        CheckSizeRule(c, mode, bytes(r.sizeFromText, r.sizeFromUnitIndex), bytes(r.sizeToText, r.sizeToUnitIndex));
    }
    // A zero size overrides the content rule, and says so once.
    const bool zeroSize = c.sizeRuleOn && c.sizeMode == SizeRuleMode::EqualTo && c.sizeFrom == 0;
    Require(c.contentRuleOn == (contentWanted && !zeroSize));
    Require(prompter.shown.size() == (contentWanted && zeroSize ? 1u : 0u));
    if (c.dateRuleOn) CheckTimeBounds(c.dateFrom, c.dateTo, c.dateRelation, Item(r.dateRelationIndex, 5), r.dateFrom, r.dateTo, CalendarKey);
    if (c.timeRuleOn) CheckTimeBounds(c.timeFrom, c.timeTo, c.timeRelation, Item(r.timeRelationIndex, 5), r.timeFrom, r.timeTo, ClockKey);
    Require(c.filtersSpecified ==
            (c.nameRuleOn || c.extensionRuleOn || c.contentRuleOn || c.sizeRuleOn || c.dateRuleOn || c.timeRuleOn || c.attributeRuleOn));
}

// The dialog reopened on the stored rules: rows that are off show unchecked.
FilterRows LoadedFindRows(const SearchCriteria& c, SearchTarget target)
{
    const bool applies = target != SearchTarget::Folders;
    const auto index = [](auto item) { return static_cast<int>(item); };
    FilterRows r;
    r.searchTarget = target;
    r.nameChecked = c.nameRuleOn, r.nameModeIndex = index(c.nameMode), r.nameText = c.nameText, r.nameCaseChecked = c.nameCaseSensitive;
    r.extensionChecked = c.extensionRuleOn && applies, r.extensionModeIndex = index(c.extensionMode), r.extensionText = c.extensionList;
    r.contentChecked = c.contentRuleOn && applies, r.contentModeIndex = index(c.contentMode), r.contentText = c.contentText,
    r.contentCaseChecked = c.contentCaseSensitive;
    r.sizeChecked = c.sizeRuleOn && applies, r.sizeModeIndex = index(c.sizeMode);
    r.sizeFromText = std::to_string(c.sizeFrom / SizeUnitFactor(c.sizeFromUnit)), r.sizeFromUnitIndex = index(c.sizeFromUnit);
    r.sizeToText = std::to_string(c.sizeTo / SizeUnitFactor(c.sizeToUnit)), r.sizeToUnitIndex = index(c.sizeToUnit);
    r.dateChecked = c.dateRuleOn, r.dateKindIndex = index(c.dateKind), r.dateRelationIndex = index(c.dateRelation), r.dateFrom = c.dateFrom, r.dateTo = c.dateTo;
    r.timeChecked = c.timeRuleOn, r.timeKindIndex = index(c.timeKind), r.timeRelationIndex = index(c.timeRelation), r.timeFrom = c.timeFrom, r.timeTo = c.timeTo;
    r.attributeChecked = c.attributeRuleOn, r.attributeModeIndex = index(c.attributeMode);
    return r;
}

// What a rule that is on holds; rules that are off keep stale values.
auto FindRules(const SearchCriteria& c)
{
    const auto shared = std::tuple(c.filtersSpecified, c.attributeFlags, c.extensionRuleOn ? c.extensionList : "",
                      c.extensionRuleOn ? c.extensionMode : ExtensionRuleMode{},
                      c.sizeRuleOn ? std::tuple(c.sizeMode, c.sizeFrom, c.sizeFromUnit, c.sizeTo, c.sizeToUnit)
                                   : std::tuple(SizeRuleMode{}, uint64_t{}, SizeUnit{}, uint64_t{}, SizeUnit{}),
                      c.dateRuleOn ? std::tuple(c.dateKind, c.dateRelation, CalendarKey(c.dateFrom), CalendarKey(c.dateTo))
                                   : std::tuple(FileTimeKind{}, DateRelation{}, 0u, 0u),
                      c.attributeRuleOn ? c.attributeMode : AttributeRuleMode{},
                      std::tuple(c.extensionRuleOn, c.sizeRuleOn, c.dateRuleOn, c.attributeRuleOn));
    return std::tuple(shared, c.nameRuleOn ? c.nameText : "",
                      c.nameRuleOn ? std::tuple(c.nameMode, c.nameCaseSensitive) : std::tuple(NameRuleMode{}, false),
                      c.contentRuleOn ? c.contentText : "",
                      c.contentRuleOn ? std::tuple(c.contentMode, c.contentCaseSensitive) : std::tuple(ContentRuleMode{}, false),
                      c.timeRuleOn ? std::tuple(c.timeKind, c.timeRelation, ClockKey(c.timeFrom), ClockKey(c.timeTo))
                                   : std::tuple(FileTimeKind{}, TimeRelation{}, 0u, 0u),
                      std::tuple(c.nameRuleOn, c.contentRuleOn, c.timeRuleOn));
}

void FuzzFind(Decoder& in)
{
    const FindInput input = DecodeFind(in);
    SearchCriteria criteria;
    criteria.attributeFlags = input.flags;
    fuzz::RecordingPrompter prompter;
    AcceptFilterRows(input.rows, criteria, prompter);
    CheckFindAccept(input, criteria, prompter);
    if (!in.dialogShaped) return;

    SearchCriteria again = criteria;
    fuzz::RecordingPrompter quiet;
    AcceptFilterRows(LoadedFindRows(criteria, input.rows.searchTarget), again, quiet);
    Require(quiet.shown.empty() && FindRules(again) == FindRules(criteria));
}

CompareInput DecodeCompare(Decoder& in)
{
    CompareInput compare;
    CompareFilterRows& r = compare.rows;
    // The dialog hands its selections over as the enumerations themselves. The
    // date row goes through the Find dialog's ordering, fuzzed there.
    const auto pick = [&](int items) { return in.input.ConsumeIntegralInRange(0, items - 1); };
    const auto number = [&]() -> uint32_t {
        return in.dialogShaped ? static_cast<uint32_t>(SizeFieldValue(in.Text(SizeFieldDigits))) : in.input.ConsumeIntegral<uint32_t>();
    };
    r.extensionChecked = in.Box(), r.extensionMode = static_cast<ExtensionRuleMode>(pick(2)), r.extensionText = in.Text(ExtensionListMax);
    r.sizeChecked = in.Box(), r.sizeMode = static_cast<SizeRuleMode>(pick(5));
    r.sizeFromNumber = number(), r.sizeFromUnit = static_cast<SizeUnit>(pick(3));
    r.sizeToNumber = number(), r.sizeToUnit = static_cast<SizeUnit>(pick(3));
    r.attributesChecked = in.Box(), r.attributeMode = static_cast<AttributeRuleMode>(pick(2));
    // The Compare attributes dialog never offers the reparse point box.
    compare.flags = in.Flags(static_cast<int>(AttributeFlag::ReparsePoint), -1);
    if (in.dialogShaped) r.extensionText = TypedExtensions(r.extensionText);
    return compare;
}

// The rules the Compare dialog keeps apart from the Find one.
void CheckCompareAccept(const CompareInput& input, const CompareCriteria& c, bool dialogShaped)
{
    const CompareFilterRows& r = input.rows;
    // Typed lists lose their one trailing slash.
    Require(!c.extensionRuleOn || (!c.extensionList.empty() && (!dialogShaped || c.extensionList.back() != '/')));
    if (r.sizeChecked) {
        const SizeBound from{uint64_t{r.sizeFromNumber} * SizeUnitFactor(r.sizeFromUnit), r.sizeFromUnit};
        const SizeBound to{uint64_t{r.sizeToNumber} * SizeUnitFactor(r.sizeToUnit), r.sizeToUnit};
        CheckSizeRule(c, r.sizeMode, from, to);
        // Of the one-bound rules, a first bound of 0 is no rule.
        Require(c.sizeRuleOn == (r.sizeMode == SizeRuleMode::Between || c.sizeFrom != 0));
    }
    Require(c.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] == 0);
    const bool anyFlag = std::count(c.attributeFlags.begin(), c.attributeFlags.end(), 1) > 0;
    Require(c.attributeRuleOn == (r.attributesChecked && anyFlag));
}

void FuzzCompare(Decoder& in)
{
    const CompareInput input = DecodeCompare(in);
    CompareCriteria criteria;
    criteria.attributeFlags = input.flags;
    AcceptCompareFilters(input.rows, criteria);
    CheckCompareAccept(input, criteria, in.dialogShaped);
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
