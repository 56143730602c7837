#include "common/filter_rules.h"

#include <string>
#include <string_view>

#include "common/case_folding.h"
#include "platform/time.h"

namespace tolvane {
namespace {

struct AttributeRow {
    uint32_t bit;
    const char* summaryWord;
};

constexpr AttributeRow AttributeRows[AttributeFlagCount] = {
    {AttributeArchive, "archive "},     {AttributeNotContentIndexed, "index "},
    {AttributeReadOnly, "readonly "},   {AttributeHidden, "hidden "},
    {AttributeSystem, "system "},       {AttributeTemporary, "temporary "},
    {AttributeOffline, "offline "},     {AttributeCompressed, "compressed "},
    {AttributeEncrypted, "encrypted "}, {AttributeSparseFile, "sparse "},
    {AttributeReparsePoint, "reparse"},
};

const FileTime& ChosenTime(const FindData& entry, FileTimeKind kind)
{
    switch (kind) {
    case FileTimeKind::Created: return entry.ftCreationTime;
    case FileTimeKind::Modified: return entry.ftLastWriteTime;
    default: return entry.ftLastAccessTime;
    }
}

// The entry's chosen time in local calendar fields; false for a zero time,
// which fails every relation.
bool LocalTimeOf(const FindData& entry, FileTimeKind kind, SystemTime& local)
{
    const FileTime& time = ChosenTime(entry, kind);
    return !time.IsZero() && platform::FileTimeToLocalCalendar(time, local);
}

uint32_t DateKey(const SystemTime& time)
{
    return (uint32_t{time.wYear} << 16) | (uint32_t{time.wMonth} << 8) | time.wDay;
}

uint32_t TimeKey(const SystemTime& time) { return uint32_t{time.wHour} * 60 + time.wMinute; }

// The relation of value to the bounds, shared by the date and time rows; the
// relation values of both enumerations are the same.
bool Relate(uint32_t value, uint32_t from, uint32_t to, int relation)
{
    switch (relation) {
    case 0: return value == from;
    case 1: return value < from;
    case 2: return value > from;
    case 3: return from < value && value < to;
    default: return value < from || value > to;
    }
}

}  // namespace

uint32_t AttributeBit(AttributeFlag flag) { return AttributeRows[static_cast<int>(flag)].bit; }

const char* AttributeSummaryWord(AttributeFlag flag) { return AttributeRows[static_cast<int>(flag)].summaryWord; }

bool MatchExtensions(const FindData& entry, const std::string& list, ExtensionRuleMode mode)
{
    // The list is lower-case already where it was typed; folding it too
    // makes a list from anywhere match as the names are folded.
    const std::string foldedName = FoldCase(entry.cFileName);
    const std::string foldedList = FoldCase(list);
    const std::string_view name = foldedName;
    bool matched = false;
    // Entries from the last to the first; the first match ends the scan.
    size_t end = foldedList.size();
    while (!matched && end > 0) {
        const size_t slash = foldedList.rfind('/', end - 1);
        const size_t start = slash == std::string::npos ? 0 : slash + 1;
        const std::string_view extension(foldedList.data() + start, end - start);
        matched = !extension.empty() && name.size() > extension.size() && name.ends_with(extension) &&
                  name[name.size() - extension.size() - 1] == '.';
        if (slash == std::string::npos) break;
        end = slash;
    }
    return mode == ExtensionRuleMode::IncludeTypes ? matched : !matched;
}

bool MatchSize(const FindData& entry, uint64_t sizeFrom, uint64_t sizeTo, SizeRuleMode mode)
{
    const uint64_t size = entry.Size();
    switch (mode) {
    case SizeRuleMode::EqualTo: return size == sizeFrom;
    case SizeRuleMode::Minimum: return size >= sizeFrom;
    case SizeRuleMode::Maximum: return size <= sizeFrom;
    case SizeRuleMode::Between: return sizeFrom < size && size < sizeTo;
    case SizeRuleMode::NotBetween: return size < sizeFrom || size > sizeTo;
    }
    return true;
}

bool MatchDate(const FindData& entry, const SystemTime& dateFrom, const SystemTime& dateTo, FileTimeKind kind,
               DateRelation relation)
{
    SystemTime local;
    if (!LocalTimeOf(entry, kind, local)) return false;
    return Relate(DateKey(local), DateKey(dateFrom), DateKey(dateTo), static_cast<int>(relation));
}

bool MatchTime(const FindData& entry, const SystemTime& timeFrom, const SystemTime& timeTo, FileTimeKind kind,
               TimeRelation relation)
{
    SystemTime local;
    if (!LocalTimeOf(entry, kind, local)) return false;
    return Relate(TimeKey(local), TimeKey(timeFrom), TimeKey(timeTo), static_cast<int>(relation));
}

bool MatchAttributes(const FindData& entry, const AttributeFlags& flags, AttributeRuleMode mode)
{
    for (int index = 0; index < AttributeFlagCount; ++index) {
        if (flags[static_cast<size_t>(index)] != 1) continue;
        const auto flag = static_cast<AttributeFlag>(index);
        if ((flag == AttributeFlag::Temporary || flag == AttributeFlag::Sparse) && entry.IsDirectory()) continue;
        const bool bitSet = (entry.dwFileAttributes & AttributeBit(flag)) != 0;
        const bool present = flag == AttributeFlag::Index ? !bitSet : bitSet;
        if (mode == AttributeRuleMode::Include ? !present : present) return false;
    }
    return true;
}

}  // namespace tolvane
