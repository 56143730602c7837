#include <gtest/gtest.h>

#include <array>
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
    EXPECT_NE(platform::SystemErrorText(platform::ErrorAccessDenied), platform::SystemErrorText(platform::ErrorDiskFull));
    for (uint32_t code : {platform::ErrorAccessDenied, platform::ErrorDiskFull, platform::ErrorFileNotFound,
                          platform::ErrorPathNotFound, platform::ErrorNotReady, platform::ErrorFileExists,
                          platform::ErrorAlreadyExists})
        EXPECT_FALSE(platform::SystemErrorText(code).empty()) << code;
}

std::array<int, 8> Fields(const SystemTime& t)
{
    return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

TEST(Calendar, KnownFileTimesAndWeekdays)
{
    const struct {
        SystemTime calendar;  // with its day of the week
        uint64_t value;
    } cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{2000, 2, 2, 29, 23, 59, 59, 999}, 125963423999990000ull},
        {{2009, 8, 0, 2, 14, 5, 7, 123}, 128936955071230000ull},
        {{30827, 12, 5, 31, 23, 59, 59, 999}, 0x7FFF35F4F06C58F0ull},
    };
    for (const auto& c : cases) {
        FileTime time;
        ASSERT_TRUE(platform::CalendarToFileTime(c.calendar, time)) << c.calendar.wYear;
        EXPECT_EQ(time.Value(), c.value) << c.calendar.wYear;
        SystemTime back;
        ASSERT_TRUE(platform::FileTimeToCalendar(FileTime::FromValue(c.value), back));
        EXPECT_EQ(Fields(back), Fields(c.calendar));
    }
}

TEST(Calendar, RejectsFieldsOutOfRange)
{
    FileTime time;
    EXPECT_TRUE(platform::CalendarToFileTime(SystemTime{2000, 2, 0, 29}, time));
    EXPECT_TRUE(platform::CalendarToFileTime(SystemTime{2024, 2, 0, 29}, time));
    for (const SystemTime& wrong : {SystemTime{1900, 2, 0, 29}, SystemTime{2023, 2, 0, 29}, SystemTime{2023, 4, 0, 31},
                                    SystemTime{2023, 13, 0, 1}, SystemTime{2023, 0, 0, 1}, SystemTime{2023, 1, 0, 0},
                                    SystemTime{2023, 1, 0, 1, 24}, SystemTime{1600, 12, 0, 31}})
        EXPECT_FALSE(platform::CalendarToFileTime(wrong, time)) << wrong.wYear << "-" << wrong.wMonth << "-" << wrong.wDay;
    SystemTime calendar;
    EXPECT_FALSE(platform::FileTimeToCalendar(FileTime::FromValue(0x8000000000000000ull), calendar));
}

TEST(LocalTime, UtcToLocalAndBackIsTheSameInstant)
{
    for (const SystemTime& utcCalendar : {SystemTime{1999, 1, 0, 15, 12}, SystemTime{2009, 7, 0, 15, 3, 30},
                                          SystemTime{2038, 6, 0, 1, 23, 59, 59, 500}}) {
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
        EXPECT_EQ(Fields(viaHelper), Fields(direct));
    }
}

TEST(TickCount, AdvancesWithTime)
{
    const uint32_t start = platform::TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GE(platform::TickCount() - start, 90u);
}

// The program's text is UTF-8 in both builds (the test programs carry the
// manifest): lower-casing byte by byte folds A-Z only and leaves every byte of
// a longer character as it is.
TEST(LowerAnsi, FoldsOnlyAToZInUtf8)
{
    ASSERT_TRUE(platform::ProgramTextIsUtf8());
    for (int byte = 0; byte < 256; ++byte) {
        const int expected = byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
        EXPECT_EQ(static_cast<unsigned char>(platform::LowerAnsi(static_cast<char>(byte))), expected) << byte;
    }
    char text[] = "\xC3\x89T\xC3\x89 Z\xC3\x97";  // ÉTÉ Z×
    platform::LowerAnsiInPlace(text);
    EXPECT_STREQ(text, "\xC3\x89t\xC3\x89 z\xC3\x97");
}

// Files of earlier versions are in the legacy code page (Windows-1252 here).
TEST(ProgramTextFromLegacyAnsi, ConvertsWindows1252ToUtf8)
{
    EXPECT_EQ(platform::ProgramTextFromLegacyAnsi("C:\\Caf\xE9 \x80\x9F"), "C:\\Caf\xC3\xA9 \xE2\x82\xAC\xC5\xB8");
    EXPECT_TRUE(platform::IsValidUtf8("\xE5\xA0\xB1 \xF0\x9F\x98\x80"));
    for (const char* bad : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF0\x9F\x98"}) EXPECT_FALSE(platform::IsValidUtf8(bad)) << bad;
}

TEST(ProgramFolder, HoldsTheRunningTestProgram)
{
    const std::string folder = platform::ProgramFolder();
    const std::string path = platform::ProgramPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::PathSeparator);
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_EQ(path.find(platform::PathSeparator, folder.size()), std::string::npos);
    EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    platform::GoToProgramFolder();
    EXPECT_EQ(platform::WithTrailingSeparator(std::filesystem::current_path().string()), folder);
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tolvane
