#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/error.h"
#include "platform/path.h"
#include "platform/program.h"
#include "platform/text.h"
#include "platform/time.h"

namespace tolvane {
namespace {

TEST(SystemError, TheLastErrorAndItsTextAreTheSystems)
{
    platform::SetLastError(platform::ErrorAccessDenied);
    EXPECT_EQ(platform::LastError(), platform::ErrorAccessDenied);
    const std::string accessDenied = platform::SystemErrorText(platform::ErrorAccessDenied);
    const std::string diskFull = platform::SystemErrorText(platform::ErrorDiskFull);
    EXPECT_FALSE(accessDenied.empty());
    EXPECT_FALSE(diskFull.empty());
    EXPECT_NE(accessDenied, diskFull);
    for (uint32_t code : {platform::ErrorFileNotFound, platform::ErrorPathNotFound, platform::ErrorNotReady,
                          platform::ErrorFileExists, platform::ErrorAlreadyExists})
        EXPECT_FALSE(platform::SystemErrorText(code).empty()) << code;
}

SystemTime Calendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0)
{
    SystemTime time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    time.wMilliseconds = static_cast<uint16_t>(millisecond);
    return time;
}

TEST(Calendar, KnownFileTimesAndWeekdays)
{
    const struct {
        SystemTime calendar;
        uint64_t value;
        int dayOfWeek;
    } cases[] = {
        {Calendar(1601, 1, 1), 0, 1},
        {Calendar(1970, 1, 1), 116444736000000000ull, 4},
        {Calendar(2000, 2, 29, 23, 59, 59, 999), 125963423999990000ull, 2},
        {Calendar(2009, 8, 2, 14, 5, 7, 123), 128936955071230000ull, 0},
        {Calendar(30827, 12, 31, 23, 59, 59, 999), 0x7FFF35F4F06C58F0ull, 5},
    };
    for (const auto& c : cases) {
        FileTime time;
        ASSERT_TRUE(platform::CalendarToFileTime(c.calendar, time)) << c.calendar.wYear;
        EXPECT_EQ(time.Value(), c.value) << c.calendar.wYear;
        SystemTime back;
        ASSERT_TRUE(platform::FileTimeToCalendar(FileTime::FromValue(c.value), back));
        EXPECT_EQ(back.wYear, c.calendar.wYear);
        EXPECT_EQ(back.wMonth, c.calendar.wMonth);
        EXPECT_EQ(back.wDay, c.calendar.wDay);
        EXPECT_EQ(back.wHour, c.calendar.wHour);
        EXPECT_EQ(back.wMinute, c.calendar.wMinute);
        EXPECT_EQ(back.wSecond, c.calendar.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.calendar.wMilliseconds);
        EXPECT_EQ(back.wDayOfWeek, c.dayOfWeek) << c.calendar.wYear;
    }
}

TEST(Calendar, RejectsFieldsOutOfRange)
{
    FileTime time;
    EXPECT_TRUE(platform::CalendarToFileTime(Calendar(2000, 2, 29), time));
    EXPECT_TRUE(platform::CalendarToFileTime(Calendar(2024, 2, 29), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(1900, 2, 29), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 2, 29), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 4, 31), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 13, 1), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 0, 1), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 1, 0), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(2023, 1, 1, 24), time));
    EXPECT_FALSE(platform::CalendarToFileTime(Calendar(1600, 12, 31), time));
    SystemTime calendar;
    EXPECT_FALSE(platform::FileTimeToCalendar(FileTime::FromValue(0x8000000000000000ull), calendar));
}

TEST(LocalTime, UtcToLocalAndBackIsTheSameInstant)
{
    for (const SystemTime& utcCalendar : {Calendar(1999, 1, 15, 12), Calendar(2009, 7, 15, 3, 30), Calendar(2024, 1, 1),
                                          Calendar(2038, 6, 1, 23, 59, 59, 500)}) {
        FileTime utc, local, back;
        ASSERT_TRUE(platform::CalendarToFileTime(utcCalendar, utc));
        ASSERT_TRUE(platform::UtcToLocalFileTime(utc, local));
        ASSERT_TRUE(platform::LocalToUtcFileTime(local, back));
        EXPECT_EQ(back.Value(), utc.Value()) << utcCalendar.wYear;
        // Every time zone is a whole number of quarter hours from UTC, at most 14 hours.
        const int64_t offset = static_cast<int64_t>(local.Value()) - static_cast<int64_t>(utc.Value());
        const int64_t quarterHour = 15ll * 60 * 10000000;
        EXPECT_EQ(offset % quarterHour, 0) << utcCalendar.wYear;
        EXPECT_LE(offset < 0 ? -offset : offset, 14 * 4 * quarterHour);

        SystemTime viaHelper, direct;
        ASSERT_TRUE(platform::FileTimeToLocalCalendar(utc, viaHelper));
        ASSERT_TRUE(platform::FileTimeToCalendar(local, direct));
        EXPECT_EQ(viaHelper.wYear * 10000 + viaHelper.wMonth * 100 + viaHelper.wDay,
                  direct.wYear * 10000 + direct.wMonth * 100 + direct.wDay);
        EXPECT_EQ(viaHelper.wHour * 60 + viaHelper.wMinute, direct.wHour * 60 + direct.wMinute);
    }
}

TEST(TickCount, AdvancesWithTime)
{
    const uint32_t start = platform::TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GE(platform::TickCount() - start, 90u);
}

// Windows-1252 lower-casing as CharLowerA does it; both builds must agree.
TEST(LowerAnsi, FoldsTheLettersOfWindows1252)
{
    for (int byte = 0; byte < 256; ++byte) {
        int expected = byte;
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) expected = byte + 32;
        if (byte == 0x8A || byte == 0x8C || byte == 0x8E) expected = byte + 16;  // Š Œ Ž
        if (byte == 0x9F) expected = 0xFF;                                        // Ÿ
        EXPECT_EQ(static_cast<unsigned char>(platform::LowerAnsi(static_cast<char>(byte))), expected) << byte;
    }
    char text[] = "\xC9T\xC9 \x8A\x9F Z\xD7\xDF";
    platform::LowerAnsiInPlace(text);
    EXPECT_STREQ(text, "\xE9t\xE9 \x9A\xFF z\xD7\xDF");
}

TEST(ProgramFolder, HoldsTheRunningTestProgram)
{
    const std::string folder = platform::ProgramFolder();
    const std::string path = platform::ProgramPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::PathSeparator);
    EXPECT_EQ(path.rfind(folder, 0), 0u);
    EXPECT_EQ(path.find(platform::PathSeparator, folder.size()), std::string::npos);
    EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(path));

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    platform::GoToProgramFolder();
    EXPECT_EQ(platform::WithTrailingSeparator(std::filesystem::current_path().string()), folder);
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tolvane
