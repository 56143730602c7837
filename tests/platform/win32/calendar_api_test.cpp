// The portable calendar arithmetic must give what the system's own conversions give.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/time.h"

namespace tolvane {
namespace {

static_assert(sizeof(SystemTime) == sizeof(SYSTEMTIME));

// Mostly plausible file dates, some anywhere in the valid range. Days past the
// end of a month are left out of the samples: some systems roll them over into
// the next month instead of refusing them.
TEST(CalendarAgainstTheSystem, ConversionsAcceptRejectAndGiveWhatTheSystemDoes)
{
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const uint64_t value = i % 4 == 0 ? state >> 1 : 100000000000000000ull + (state >> 8) % 80000000000000000ull;
        const FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
        SYSTEMTIME system{};
        SystemTime ours;
        const bool systemDone = FileTimeToSystemTime(&time, &system) != 0;
        ASSERT_EQ(platform::FileTimeToCalendar(FileTime::FromValue(value), ours), systemDone) << value;
        ASSERT_TRUE(!systemDone || std::memcmp(&ours, &system, sizeof system) == 0) << value;
    }
    for (const SystemTime& sample : {SystemTime{2000, 2, 0, 29, 12}, SystemTime{2023, 4, 0, 30}, SystemTime{1601, 1, 0, 1},
                                     SystemTime{1600, 12, 0, 31, 23, 59, 59, 999}, SystemTime{30827, 12, 0, 31, 23, 59, 59, 999},
                                     SystemTime{2009, 8, 6, 2, 14, 5, 7, 123}, SystemTime{2009, 13, 0, 1}, SystemTime{2009, 1, 0, 1, 24},
                                     SystemTime{2009, 1, 0, 1, 0, 60}, SystemTime{2009, 1, 0, 1, 0, 0, 60}, SystemTime{2009, 1, 0, 1, 0, 0, 0, 1000},
                                     SystemTime{2024, 12, 3, 31, 23, 59, 59, 999}, SystemTime{2009, 1, 0, 0}}) {
        SYSTEMTIME system;
        std::memcpy(&system, &sample, sizeof system);
        FILETIME systemTime{};
        FileTime ours;
        const bool systemDone = SystemTimeToFileTime(&system, &systemTime) != 0;
        ASSERT_EQ(platform::CalendarToFileTime(sample, ours), systemDone) << sample.wYear << "-" << sample.wMonth;
        EXPECT_TRUE(!systemDone || (ours.dwLowDateTime == systemTime.dwLowDateTime && ours.dwHighDateTime == systemTime.dwHighDateTime));
    }
}

}  // namespace
}  // namespace tolvane
