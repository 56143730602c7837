#include "common/size_date_text.h"

#include <gtest/gtest.h>

#include "platform/time.h"

namespace tolvane {
namespace {

TEST(SizeText, ScaledFormMatchesTheWorkedValues)
{
    const struct {
        uint64_t size;
        const char* text;
    } cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1 kB"},
        {1126, "1 kB"},
        {1127, "1.1 kB"},
        {1536, "1.4 kB"},
        {2047, "1.9 kB"},
        {2048, "2 kB"},
        {1048575, "1023.9 kB"},
        {1048576, "1 MB"},
        {1153434, "1.1 MB"},
        {1572864, "1.4 MB"},
        {10485760, "10 MB"},
        {1073741823, "1023.9 MB"},
        {1610612736, "1.4 GB"},
        {5368709120, "5 GB"},
        {1099511627776, "1024 GB"},
        {UINT64_MAX, "17179869183.9 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.size, false), c.text) << c.size;
}

TEST(SizeText, PlainFormIsTheExactNumber)
{
    EXPECT_EQ(SizeText(0, true), "0");
    EXPECT_EQ(SizeText(5368709120, true), "5368709120");
    EXPECT_EQ(SizeText(UINT64_MAX, true), "18446744073709551615");
}

SystemTime Local(int year, int month, int day, int hour, int minute)
{
    SystemTime time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = 59;
    return time;
}

TEST(DateText, PadsMonthDayHourAndMinuteButNotTheYear)
{
    EXPECT_EQ(DateText(Local(2009, 8, 2, 14, 5)), "2009-08-02  14:05");
    EXPECT_EQ(DateText(Local(2024, 12, 31, 9, 5)), "2024-12-31  09:05");
    EXPECT_EQ(DateText(Local(1999, 1, 1, 0, 0)), "1999-01-01  00:00");
}

TEST(DateText, TheZeroFileTimeIsNotSupported)
{
    SystemTime local;
    EXPECT_EQ(FileTimeText(FileTime{}), "(not supported)");
    // The local reading of the zero time, converted back, is the zero time again.
    if (platform::FileTimeToLocalCalendar(FileTime{}, local)) {
        EXPECT_EQ(DateText(local), "(not supported)");
    }
}

TEST(DateText, FileTimeTextShowsTheLocalTime)
{
    const FileTime utc = FileTime::FromValue(133000000000000000ull);
    SystemTime local;
    ASSERT_TRUE(platform::FileTimeToLocalCalendar(utc, local));
    EXPECT_EQ(FileTimeText(utc), DateText(local));
}

}  // namespace
}  // namespace tolvane
