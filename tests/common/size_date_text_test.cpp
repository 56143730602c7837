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
        {0, "0 B"},          {1023, "1023 B"},          {1024, "1 kB"},       {1126, "1 kB"},
        {1127, "1.1 kB"},    {1536, "1.4 kB"},          {2048, "2 kB"},       {1048575, "1023.9 kB"},
        {1048576, "1 MB"},   {1153434, "1.1 MB"},       {1073741823, "1023.9 MB"}, {1610612736, "1.4 GB"},
        {5368709120, "5 GB"}, {1099511627776, "1024 GB"}, {UINT64_MAX, "17179869183.9 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.size, false), c.text) << c.size;
    EXPECT_EQ(SizeText(UINT64_MAX, true), "18446744073709551615");
}

TEST(DateText, PadsEverythingButTheYearAndShowsTheLocalTime)
{
    EXPECT_EQ(DateText(SystemTime{2009, 8, 0, 2, 14, 5, 59, 0}), "2009-08-02  14:05");
    EXPECT_EQ(DateText(SystemTime{1999, 1, 0, 1, 0, 0, 0, 0}), "1999-01-01  00:00");

    const FileTime utc = FileTime::FromValue(133000000000000000ull);
    SystemTime local;
    ASSERT_TRUE(platform::FileTimeToLocalCalendar(utc, local));
    EXPECT_EQ(FileTimeText(utc), DateText(local));

    EXPECT_EQ(FileTimeText(FileTime{}), "(not supported)");
    // The local reading of the zero time, converted back, is the zero time again.
    if (platform::FileTimeToLocalCalendar(FileTime{}, local)) {
        EXPECT_EQ(DateText(local), "(not supported)");
    }
}

}  // namespace
}  // namespace tolvane
