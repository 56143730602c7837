// The portable calendar arithmetic must give what the system's own
// conversions give.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "platform/time.h"

namespace tolvane {
namespace {

bool SameFields(const SystemTime& ours, const SYSTEMTIME& system)
{
    return ours.wYear == system.wYear && ours.wMonth == system.wMonth && ours.wDayOfWeek == system.wDayOfWeek &&
           ours.wDay == system.wDay && ours.wHour == system.wHour && ours.wMinute == system.wMinute &&
           ours.wSecond == system.wSecond && ours.wMilliseconds == system.wMilliseconds;
}

TEST(CalendarAgainstTheSystem, FileTimeToCalendarGivesTheSystemsFields)
{
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        // Mostly plausible file dates, some anywhere in the valid range.
        const uint64_t value = i % 4 == 0 ? state >> 1 : 100000000000000000ull + (state >> 8) % 80000000000000000ull;
        const FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
        SYSTEMTIME system;
        SystemTime ours;
        const bool systemDone = FileTimeToSystemTime(&time, &system) != 0;
        ASSERT_EQ(platform::FileTimeToCalendar(FileTime::FromValue(value), ours), systemDone) << value;
        if (systemDone) {
            ASSERT_TRUE(SameFields(ours, system)) << value;
        }
    }
}

// Days past the end of a month are left out: some systems roll them over into
// the next month instead of refusing them.
TEST(CalendarAgainstTheSystem, CalendarToFileTimeAcceptsAndRejectsWhatTheSystemDoes)
{
    const SystemTime samples[] = {
        {2000, 2, 0, 29, 12, 0, 0, 0},     {2023, 4, 0, 30, 0, 0, 0, 0},
        {1601, 1, 0, 1, 0, 0, 0, 0},       {1600, 12, 0, 31, 23, 59, 59, 999}, {30827, 12, 0, 31, 23, 59, 59, 999},
        {2009, 8, 6, 2, 14, 5, 7, 123},    {2009, 13, 0, 1, 0, 0, 0, 0},    {2009, 1, 0, 1, 24, 0, 0, 0},
        {2009, 1, 0, 1, 0, 60, 0, 0},      {2009, 1, 0, 1, 0, 0, 60, 0},    {2009, 1, 0, 1, 0, 0, 0, 1000},
        {2024, 12, 3, 31, 23, 59, 59, 999}, {2009, 1, 0, 0, 0, 0, 0, 0},
    };
    for (const SystemTime& sample : samples) {
        const SYSTEMTIME system{sample.wYear, sample.wMonth, sample.wDayOfWeek, sample.wDay,
                                sample.wHour, sample.wMinute, sample.wSecond, sample.wMilliseconds};
        FILETIME systemTime;
        FileTime ours;
        const bool systemDone = SystemTimeToFileTime(&system, &systemTime) != 0;
        ASSERT_EQ(platform::CalendarToFileTime(sample, ours), systemDone) << sample.wYear << "-" << sample.wMonth;
        if (systemDone) {
            EXPECT_EQ(ours.dwLowDateTime, systemTime.dwLowDateTime);
            EXPECT_EQ(ours.dwHighDateTime, systemTime.dwHighDateTime);
        }
    }
}

}  // namespace
}  // namespace tolvane
