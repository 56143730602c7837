// Filter rules of the Find and the Compare page and the six tests that decide
// whether one directory entry passes one rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tolvane {

// Modes hold the zero-based index of the item chosen in the dialog's combo box.
enum class NameRuleMode : int32_t { Contains = 0, Matches = 1, NotContains = 2 };
enum class ExtensionRuleMode : int32_t { IncludeTypes = 0, ExcludeTypes = 1 };
enum class ContentRuleMode : int32_t { Containing = 0, NotContaining = 1 };
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
enum class SearchTarget : int32_t { Files = 0, Folders = 1, FilesAndFolders = 2 };

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

// Largest lengths of the rule texts (the dialogs' buffers less the terminator).
inline constexpr size_t NameTextMax = 259;
inline constexpr size_t ExtensionListMax = 99;
inline constexpr size_t ContentTextMax = 259;

// The Find page's rules. A new set has every rule off and every mode at its
// first value. Size bounds are 64-bit so that every bound the dialogs accept
// (up to 9999 MB) compares correctly.
struct SearchCriteria {
    AttributeFlags attributeFlags{};
    SearchTarget searchTarget = SearchTarget::Files;
    bool filtersSpecified = false;
    bool nameRuleOn = false;
    NameRuleMode nameMode = NameRuleMode::Contains;
    bool nameCaseSensitive = false;
    bool extensionRuleOn = false;
    ExtensionRuleMode extensionMode = ExtensionRuleMode::IncludeTypes;
    bool contentRuleOn = false;
    ContentRuleMode contentMode = ContentRuleMode::Containing;
    bool contentCaseSensitive = false;
    bool sizeRuleOn = false;
    SizeRuleMode sizeMode = SizeRuleMode::EqualTo;
    uint64_t sizeFrom = 0;
    SizeUnit sizeFromUnit = SizeUnit::Bytes;
    uint64_t sizeTo = 0;
    SizeUnit sizeToUnit = SizeUnit::Bytes;
    bool dateRuleOn = false;
    FileTimeKind dateKind = FileTimeKind::Created;
    DateRelation dateRelation = DateRelation::On;
    bool timeRuleOn = false;
    FileTimeKind timeKind = FileTimeKind::Created;
    TimeRelation timeRelation = TimeRelation::At;
    bool attributeRuleOn = false;
    AttributeRuleMode attributeMode = AttributeRuleMode::Include;
    std::string nameText;
    std::string extensionList;  // such as "bmp/jpg/jpeg/png/gif"
    std::string contentText;  // A-Z folded to a-z unless contentCaseSensitive
    SystemTime dateFrom, dateTo;
    SystemTime timeFrom, timeTo;
};

// The Compare page's rules: extension, size, date and attributes only. Its
// ReparsePoint flag is never set.
struct CompareCriteria {
    AttributeFlags attributeFlags{};
    bool filtersSpecified = false;
    bool extensionRuleOn = false;
    ExtensionRuleMode extensionMode = ExtensionRuleMode::IncludeTypes;
    bool sizeRuleOn = false;
    SizeRuleMode sizeMode = SizeRuleMode::EqualTo;
    uint64_t sizeFrom = 0;
    SizeUnit sizeFromUnit = SizeUnit::Bytes;
    uint64_t sizeTo = 0;
    SizeUnit sizeToUnit = SizeUnit::Bytes;
    bool dateRuleOn = false;
    FileTimeKind dateKind = FileTimeKind::Created;
    DateRelation dateRelation = DateRelation::On;
    bool attributeRuleOn = false;
    AttributeRuleMode attributeMode = AttributeRuleMode::Include;
    std::string extensionList;
    SystemTime dateFrom, dateTo;
};

// Each test returns true when the entry passes the rule.
bool MatchName(const FindData& entry, const std::string& pattern, NameRuleMode mode, bool caseSensitive);
bool MatchExtensions(const FindData& entry, const std::string& list, ExtensionRuleMode mode);
bool MatchSize(const FindData& entry, uint64_t sizeFrom, uint64_t sizeTo, SizeRuleMode mode);
bool MatchDate(const FindData& entry, const SystemTime& dateFrom, const SystemTime& dateTo, FileTimeKind kind,
               DateRelation relation);
bool MatchTime(const FindData& entry, const SystemTime& timeFrom, const SystemTime& timeTo, FileTimeKind kind,
               TimeRelation relation);
bool MatchAttributes(const FindData& entry, const AttributeFlags& flags, AttributeRuleMode mode);

}  // namespace tolvane
