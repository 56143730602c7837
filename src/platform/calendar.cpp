#include "platform/time.h"

namespace tolvane::platform {
namespace {

constexpr uint64_t TicksPerMillisecond = 10000;
constexpr uint64_t TicksPerDay = 86400ull * 1000 * TicksPerMillisecond;

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

const int64_t DaysFrom1601To1970 = -DaysFromCivil(1601, 1, 1);

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

}  // namespace

bool FileTimeToCalendar(FileTime time, SystemTime& calendar)
{
    const uint64_t ticks = time.Value();
    if (ticks >= 0x8000000000000000ull) return false;
    const int64_t daysSince1601 = static_cast<int64_t>(ticks / TicksPerDay);
    uint64_t rest = ticks % TicksPerDay;
    int64_t year;
    unsigned month, day;
    CivilFromDays(daysSince1601 - DaysFrom1601To1970, year, month, day);
    calendar.wYear = static_cast<uint16_t>(year);
    calendar.wMonth = static_cast<uint16_t>(month);
    calendar.wDay = static_cast<uint16_t>(day);
    calendar.wDayOfWeek = static_cast<uint16_t>((daysSince1601 + 1) % 7);  // 1601-01-01 was a Monday
    const uint64_t milliseconds = rest / TicksPerMillisecond;
    calendar.wMilliseconds = static_cast<uint16_t>(milliseconds % 1000);
    calendar.wSecond = static_cast<uint16_t>(milliseconds / 1000 % 60);
    calendar.wMinute = static_cast<uint16_t>(milliseconds / 60000 % 60);
    calendar.wHour = static_cast<uint16_t>(milliseconds / 3600000);
    return true;
}

bool CalendarToFileTime(const SystemTime& calendar, FileTime& time)
{
    if (calendar.wYear < 1601 || calendar.wYear > 30827 || calendar.wMonth < 1 || calendar.wMonth > 12 ||
        calendar.wDay < 1 || calendar.wDay > DaysInMonth(calendar.wYear, calendar.wMonth) ||
        calendar.wHour > 23 || calendar.wMinute > 59 || calendar.wSecond > 59 || calendar.wMilliseconds > 999)
        return false;
    const int64_t days = DaysFromCivil(calendar.wYear, calendar.wMonth, calendar.wDay) + DaysFrom1601To1970;
    const uint64_t milliseconds = ((uint64_t{calendar.wHour} * 60 + calendar.wMinute) * 60 + calendar.wSecond) * 1000 +
                                  calendar.wMilliseconds;
    time = FileTime::FromValue(static_cast<uint64_t>(days) * TicksPerDay + milliseconds * TicksPerMillisecond);
    return true;
}

bool FileTimeToLocalCalendar(FileTime utc, SystemTime& local)
{
    FileTime localTime;
    return UtcToLocalFileTime(utc, localTime) && FileTimeToCalendar(localTime, local);
}

}  // namespace tolvane::platform
