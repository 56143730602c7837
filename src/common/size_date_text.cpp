#include "common/size_date_text.h"

#include <cstdio>

#include "platform/time.h"

namespace tolvane {
namespace {

constexpr const char* NotSupportedText = "(not supported)";

struct SizeUnitRow {
    unsigned shift;
    uint64_t tenthDivisor;  // the unit divided by ten, rounded up: the tenth never reaches 10
    const char* name;
};

constexpr SizeUnitRow SizeUnits[] = {
    {30, 107374183, "GB"},
    {20, 104858, "MB"},
    {10, 103, "kB"},
};

}  // namespace

std::string SizeText(uint64_t size, bool plainBytes)
{
    char buffer[32];
    if (plainBytes) {
        std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(size));
        return buffer;
    }
    for (const SizeUnitRow& unit : SizeUnits) {
        if (size < (uint64_t{1} << unit.shift)) continue;
        const uint64_t whole = size >> unit.shift;
        const uint64_t tenth = (size & ((uint64_t{1} << unit.shift) - 1)) / unit.tenthDivisor;
        if (tenth == 0)
            std::snprintf(buffer, sizeof buffer, "%llu %s", static_cast<unsigned long long>(whole), unit.name);
        else
            std::snprintf(buffer, sizeof buffer, "%llu.%llu %s", static_cast<unsigned long long>(whole),
                          static_cast<unsigned long long>(tenth), unit.name);
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%llu B", static_cast<unsigned long long>(size));
    return buffer;
}

std::string DateText(const SystemTime& localTime)
{
    FileTime local, utc;
    if (!platform::CalendarToFileTime(localTime, local) || !platform::LocalToUtcFileTime(local, utc) || utc.IsZero())
        return NotSupportedText;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d  %02d:%02d", localTime.wYear, localTime.wMonth, localTime.wDay,
                  localTime.wHour, localTime.wMinute);
    return buffer;
}

std::string FileTimeText(FileTime utc)
{
    SystemTime local;
    if (utc.IsZero() || !platform::FileTimeToLocalCalendar(utc, local)) return NotSupportedText;
    return DateText(local);
}

}  // namespace tolvane
