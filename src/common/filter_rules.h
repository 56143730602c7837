// The filter rules Find and Compare share (extension, size, date, time of
// day, attributes) and the tests that decide whether one directory entry
// passes one of them. Each rule keeps the field names of the page state, so
// that a criteria set made of rules reads as one set of fields
// (criteria.sizeRuleOn, criteria.sizeFrom).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tolvane {

// Modes hold the zero-based index of the item chosen in the dialog's combo box.
enum class ExtensionRuleMode : int32_t { IncludeTypes = 0, ExcludeTypes = 1 };
enum class SizeRuleMode : int32_t { EqualTo = 0, Minimum = 1, Maximum = 2, Between = 3, NotBetween = 4 };
enum class SizeUnit : int32_t { Bytes = 0, Kilobytes = 1, Megabytes = 2 };
// The byte factor of a size unit: 1, 1024 or 1048576.
constexpr uint64_t SizeUnitFactor(SizeUnit unit)
{
    return unit == SizeUnit::Kilobytes ? 1024 : unit == SizeUnit::Megabytes ? 1048576 : 1;
}
enum class FileTimeKind : int32_t { Created = 0, Modified = 1, Accessed = 2 };
enum class DateRelation : int32_t { On = 0, Before = 1, After = 2, Between = 3, NotBetween = 4 };
enum class TimeRelation : int32_t { At = 0, Before = 1, After = 2, Between = 3, NotBetween = 4 };
enum class AttributeRuleMode : int32_t { Include = 0, Exclude = 1 };

// Index into attributeFlags.
enum class AttributeFlag : int32_t {
    Archive = 0,
    Index = 1,
    ReadOnly = 2,
    Hidden = 3,
    System = 4,
    Temporary = 5,
    Offline = 6,
    Compressed = 7,
    Encrypted = 8,
    Sparse = 9,
    ReparsePoint = 10,
};
inline constexpr int AttributeFlagCount = 11;
using AttributeFlags = std::array<uint8_t, AttributeFlagCount>;

// The attribute bit each flag stands for; "index" counts as present when its
// bit (not content indexed) is clear.
uint32_t AttributeBit(AttributeFlag flag);
// The summary word of a flag: "archive " ... "sparse ", "reparse".
const char* AttributeSummaryWord(AttributeFlag flag);

// Largest length of the extension list (the dialogs' buffer less the terminator).
inline constexpr size_t ExtensionListMax = 99;

// Each test returns true when the entry passes the rule.
bool MatchExtensions(const FindData& entry, const std::string& list, ExtensionRuleMode mode);
bool MatchSize(const FindData& entry, uint64_t sizeFrom, uint64_t sizeTo, SizeRuleMode mode);
bool MatchDate(const FindData& entry, const SystemTime& dateFrom, const SystemTime& dateTo, FileTimeKind kind,
               DateRelation relation);
bool MatchTime(const FindData& entry, const SystemTime& timeFrom, const SystemTime& timeTo, FileTimeKind kind,
               TimeRelation relation);
bool MatchAttributes(const FindData& entry, const AttributeFlags& flags, AttributeRuleMode mode);

// A new rule is off, with every mode at its first value. Each Passes… is true
// when the rule is off or the entry passes it; a rule's other fields mean
// something only while it is on.
struct ExtensionRule {
    bool extensionRuleOn = false;
    ExtensionRuleMode extensionMode = ExtensionRuleMode::IncludeTypes;
    std::string extensionList;  // such as "bmp/jpg/jpeg/png/gif"

    bool PassesExtension(const FindData& entry) const
    {
        return !extensionRuleOn || MatchExtensions(entry, extensionList, extensionMode);
    }
};

// Size bounds are 64-bit so that every bound the dialogs accept (up to
// 9999 MB) compares correctly; the units only show the numbers again.
struct SizeRule {
    bool sizeRuleOn = false;
    SizeRuleMode sizeMode = SizeRuleMode::EqualTo;
    uint64_t sizeFrom = 0;
    SizeUnit sizeFromUnit = SizeUnit::Bytes;
    uint64_t sizeTo = 0;
    SizeUnit sizeToUnit = SizeUnit::Bytes;

    bool PassesSize(const FindData& entry) const { return !sizeRuleOn || MatchSize(entry, sizeFrom, sizeTo, sizeMode); }
};

struct DateRule {
    bool dateRuleOn = false;
    FileTimeKind dateKind = FileTimeKind::Created;
    DateRelation dateRelation = DateRelation::On;
    SystemTime dateFrom, dateTo;

    bool PassesDate(const FindData& entry) const
    {
        return !dateRuleOn || MatchDate(entry, dateFrom, dateTo, dateKind, dateRelation);
    }
};

struct TimeRule {
    bool timeRuleOn = false;
    FileTimeKind timeKind = FileTimeKind::Created;
    TimeRelation timeRelation = TimeRelation::At;
    SystemTime timeFrom, timeTo;

    bool PassesTime(const FindData& entry) const
    {
        return !timeRuleOn || MatchTime(entry, timeFrom, timeTo, timeKind, timeRelation);
    }
};

// On only while at least one flag is selected.
struct AttributeRule {
    AttributeFlags attributeFlags{};
    bool attributeRuleOn = false;
    AttributeRuleMode attributeMode = AttributeRuleMode::Include;

    bool PassesAttributes(const FindData& entry) const
    {
        return !attributeRuleOn || MatchAttributes(entry, attributeFlags, attributeMode);
    }
};

}  // namespace tolvane
