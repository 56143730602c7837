#include "find/filter_normalisation.h"

#include <cstring>
#include <limits>
#include <utility>

namespace tolvane {
namespace {

constexpr const char* ForbiddenNameCharacters = "\\/:*?\"<>|";

// A combo-box index as the enumeration it stands for; an index outside the
// items (no selection) reads as the first item.
template <typename Enum>
Enum ItemOf(int index, int itemCount)
{
    return static_cast<Enum>(index >= 0 && index < itemCount ? index : 0);
}

std::string Limited(const std::string& text, size_t maxLength)
{
    return text.size() > maxLength ? text.substr(0, maxLength) : text;
}

uint32_t CalendarDate(const SystemTime& time)
{
    return (uint32_t{time.wYear} << 16) | (uint32_t{time.wMonth} << 8) | time.wDay;
}

uint32_t HoursAndMinutes(const SystemTime& time) { return uint32_t{time.wHour} * 60 + time.wMinute; }

void AcceptName(const FilterRows& rows, SearchCriteria& criteria)
{
    criteria.nameRuleOn = false;
    if (!rows.nameChecked) return;
    criteria.nameText = Limited(rows.nameText, NameTextMax);
    if (criteria.nameText.empty()) return;
    criteria.nameMode = ItemOf<NameRuleMode>(rows.nameModeIndex, 3);
    criteria.nameCaseSensitive = rows.nameCaseChecked;
    criteria.nameRuleOn = true;
}

void AcceptExtensions(const FilterRows& rows, bool appliesToFiles, SearchCriteria& criteria)
{
    criteria.extensionRuleOn = false;
    if (!rows.extensionChecked || !appliesToFiles) return;
    criteria.extensionMode = ItemOf<ExtensionRuleMode>(rows.extensionModeIndex, 2);
    criteria.extensionList = Limited(rows.extensionText, ExtensionListMax);
    if (!criteria.extensionList.empty() && criteria.extensionList.back() == '/') criteria.extensionList.pop_back();
    criteria.extensionRuleOn = !criteria.extensionList.empty();
}

void AcceptContent(const FilterRows& rows, bool appliesToFiles, SearchCriteria& criteria)
{
    criteria.contentRuleOn = false;
    if (!rows.contentChecked || !appliesToFiles) return;
    criteria.contentText = Limited(rows.contentText, ContentTextMax);
    if (criteria.contentText.empty()) return;
    criteria.contentMode = ItemOf<ContentRuleMode>(rows.contentModeIndex, 2);
    criteria.contentCaseSensitive = rows.contentCaseChecked;
    if (!criteria.contentCaseSensitive) {
        // ASCII letters only: other bytes, accented letters included, stay.
        for (char& c : criteria.contentText) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        }
    }
    criteria.contentRuleOn = true;
}

void AcceptSize(const FilterRows& rows, bool appliesToFiles, SearchCriteria& criteria, Prompter& prompter)
{
    criteria.sizeRuleOn = false;
    if (!rows.sizeChecked || !appliesToFiles) return;
    criteria.sizeMode = ItemOf<SizeRuleMode>(rows.sizeModeIndex, 5);
    criteria.sizeFromUnit = ItemOf<SizeUnit>(rows.sizeFromUnitIndex, 3);
    criteria.sizeToUnit = ItemOf<SizeUnit>(rows.sizeToUnitIndex, 3);
    criteria.sizeFrom = SizeInBytes(SizeFieldValue(rows.sizeFromText), criteria.sizeFromUnit);
    criteria.sizeTo = SizeInBytes(SizeFieldValue(rows.sizeToText), criteria.sizeToUnit);

    const bool range = criteria.sizeMode == SizeRuleMode::Between || criteria.sizeMode == SizeRuleMode::NotBetween;
    if (range && criteria.sizeFrom > criteria.sizeTo) {
        std::swap(criteria.sizeFrom, criteria.sizeTo);
        std::swap(criteria.sizeFromUnit, criteria.sizeToUnit);
    }
    // Bounds are compared in bytes, so 1024 B and 1 kB are equal bounds too:
    // an empty exclusive range is read as the one size it names.
    if (criteria.sizeMode == SizeRuleMode::Maximum && criteria.sizeFrom == 0)
        criteria.sizeMode = SizeRuleMode::EqualTo;
    else if (criteria.sizeMode == SizeRuleMode::Between && criteria.sizeFrom == criteria.sizeTo)
        criteria.sizeMode = SizeRuleMode::EqualTo;
    // A minimum of nothing passes every file.
    criteria.sizeRuleOn = !(criteria.sizeMode == SizeRuleMode::Minimum && criteria.sizeFrom == 0);

    if (criteria.sizeRuleOn && criteria.contentRuleOn && criteria.sizeMode == SizeRuleMode::EqualTo &&
        criteria.sizeFrom == 0) {
        prompter.Message("You have selected files with zero size,\nwhich overrides content filtering.",
                         "Conflicting rules", MbIconExclamation);
        criteria.contentRuleOn = false;
    }
}

void AcceptDate(const FilterRows& rows, SearchCriteria& criteria)
{
    criteria.dateRuleOn = false;
    if (!rows.dateChecked) return;
    criteria.dateKind = ItemOf<FileTimeKind>(rows.dateKindIndex, 3);
    criteria.dateRelation = ItemOf<DateRelation>(rows.dateRelationIndex, 5);
    criteria.dateFrom = rows.dateFrom;
    criteria.dateTo = rows.dateTo;
    OrderDateBounds(criteria.dateFrom, criteria.dateTo, criteria.dateRelation);
    criteria.dateRuleOn = true;
}

void AcceptTime(const FilterRows& rows, SearchCriteria& criteria)
{
    criteria.timeRuleOn = false;
    if (!rows.timeChecked) return;
    criteria.timeKind = ItemOf<FileTimeKind>(rows.timeKindIndex, 3);
    criteria.timeRelation = ItemOf<TimeRelation>(rows.timeRelationIndex, 5);
    criteria.timeFrom = rows.timeFrom;
    criteria.timeTo = rows.timeTo;
    // By hours and minutes, the only part the rule tests.
    if (criteria.timeRelation == TimeRelation::Between || criteria.timeRelation == TimeRelation::NotBetween) {
        const uint32_t from = HoursAndMinutes(rows.timeFrom);
        const uint32_t to = HoursAndMinutes(rows.timeTo);
        if (from == to && criteria.timeRelation == TimeRelation::Between) criteria.timeRelation = TimeRelation::At;
        if (from > to) std::swap(criteria.timeFrom, criteria.timeTo);
    }
    criteria.timeRuleOn = true;
}

void AcceptAttributes(const FilterRows& rows, SearchCriteria& criteria)
{
    criteria.attributeRuleOn = false;
    if (!rows.attributeChecked) {
        criteria.attributeFlags.fill(0);
        return;
    }
    bool anySelected = false;
    for (uint8_t flag : criteria.attributeFlags) anySelected = anySelected || flag == 1;
    if (!anySelected) return;
    criteria.attributeMode = ItemOf<AttributeRuleMode>(rows.attributeModeIndex, 2);
    criteria.attributeRuleOn = true;
}

}  // namespace

void OrderDateBounds(SystemTime& dateFrom, SystemTime& dateTo, DateRelation& relation)
{
    if (relation != DateRelation::Between && relation != DateRelation::NotBetween) return;
    const uint32_t from = CalendarDate(dateFrom);
    const uint32_t to = CalendarDate(dateTo);
    if (from == to && relation == DateRelation::Between) relation = DateRelation::On;
    if (from > to) std::swap(dateFrom, dateTo);
}

void AcceptFilterRows(const FilterRows& rows, SearchCriteria& criteria, Prompter& prompter)
{
    // The extension, content and size rows are disabled (and so unchecked)
    // while the page searches for folders only.
    const bool appliesToFiles = rows.searchTarget != SearchTarget::Folders;
    AcceptName(rows, criteria);
    AcceptExtensions(rows, appliesToFiles, criteria);
    AcceptContent(rows, appliesToFiles, criteria);
    AcceptSize(rows, appliesToFiles, criteria, prompter);
    AcceptDate(rows, criteria);
    AcceptTime(rows, criteria);
    AcceptAttributes(rows, criteria);
    criteria.filtersSpecified = criteria.nameRuleOn || criteria.extensionRuleOn || criteria.contentRuleOn ||
                                criteria.sizeRuleOn || criteria.dateRuleOn || criteria.timeRuleOn ||
                                criteria.attributeRuleOn;
}

const char* FiltersButtonCaption(const SearchCriteria& criteria)
{
    return criteria.filtersSpecified ? "Specified filters" : "*Specify filters";
}

uint64_t SizeFieldValue(const std::string& text)
{
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return std::numeric_limits<uint64_t>::max();
        value = value * 10 + digit;
    }
    return value;
}

uint64_t SizeInBytes(uint64_t number, SizeUnit unit)
{
    const unsigned shift = unit == SizeUnit::Kilobytes ? 10 : unit == SizeUnit::Megabytes ? 20 : 0;
    if (number > (std::numeric_limits<uint64_t>::max() >> shift)) return std::numeric_limits<uint64_t>::max();
    return number << shift;
}

bool IsForbiddenNameCharacter(char c) { return c != '\0' && std::strchr(ForbiddenNameCharacters, c) != nullptr; }

bool FilterTypedName(std::string& text, Prompter& prompter)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsForbiddenNameCharacter(text[i])) continue;
        text.erase(i, 1);
        prompter.Message("Filenames cannot contain any of the following characters:\n\\ / : * ? \" < > |", "Info",
                         MbIconInformation);
        return true;
    }
    return false;
}

bool FilterTypedExtensions(std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool refused = c == '.' || (c != '/' && IsForbiddenNameCharacter(c)) ||
                             (c == '/' && (i == 0 || text[i - 1] == '/'));
        if (!refused) continue;
        text.erase(i, 1);
        return true;
    }
    return false;
}

}  // namespace tolvane
