#include <gtest/gtest.h>

#include <filesystem>

#include "platform/error.h"
#include "platform/path.h"
#include "platform/program.h"
#include "platform/text.h"
#include "platform/time.h"

namespace tolvane {
namespace {

// Setting the last error shows in the codes the file operations report.
TEST(SystemError, EachCodeHasItsOwnText)
{
    EXPECT_NE(platform::SystemErrorText(platform::ErrorAccessDenied), platform::SystemErrorText(platform::ErrorDiskFull));
    for (uint32_t code : {platform::ErrorAccessDenied, platform::ErrorDiskFull, platform::ErrorFileNotFound,
                          platform::ErrorPathNotFound, platform::ErrorNotReady, platform::ErrorAlreadyExists})
        EXPECT_FALSE(platform::SystemErrorText(code).empty()) << code;
}

std::string Text(const SystemTime& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d.%d day %d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds, t.wDayOfWeek);
    return text;
}

TEST(Calendar, KnownFileTimesWeekdaysFieldsOutOfRangeAndLocalTimeToAndFro)
{
    const std::pair<SystemTime, uint64_t> cases[] = {  // each calendar with its day of the week
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{2000, 2, 2, 29, 23, 59, 59, 999}, 125963423999990000ull},
        {{2009, 8, 0, 2, 14, 5, 7, 123}, 128936955071230000ull},
        {{30827, 12, 5, 31, 23, 59, 59, 999}, 0x7FFF35F4F06C58F0ull},
    };
    for (const auto& [calendar, value] : cases) {
        FileTime time;
        SystemTime back;
        ASSERT_TRUE(platform::CalendarToFileTime(calendar, time) && platform::FileTimeToCalendar(FileTime::FromValue(value), back));
        EXPECT_EQ(time.Value(), value) << calendar.wYear;
        EXPECT_EQ(Text(back), Text(calendar));
    }
    FileTime time;
    EXPECT_TRUE(platform::CalendarToFileTime(SystemTime{2024, 2, 0, 29}, time));
    for (const SystemTime& wrong : {SystemTime{1900, 2, 0, 29}, SystemTime{2023, 2, 0, 29}, SystemTime{2023, 4, 0, 31},
                                    SystemTime{2023, 13, 0, 1}, SystemTime{2023, 0, 0, 1}, SystemTime{2023, 1, 0, 0},
                                    SystemTime{2023, 1, 0, 1, 24}, SystemTime{1600, 12, 0, 31}})
        EXPECT_FALSE(platform::CalendarToFileTime(wrong, time)) << Text(wrong);
    SystemTime calendar;
    EXPECT_FALSE(platform::FileTimeToCalendar(FileTime::FromValue(0x8000000000000000ull), calendar));

    // Local time and back is the same instant.
    for (const SystemTime& utcCalendar : {SystemTime{1999, 1, 0, 15, 12}, SystemTime{2038, 6, 0, 1, 23, 59, 59, 500}}) {
        FileTime utc, local, back;
        ASSERT_TRUE(platform::CalendarToFileTime(utcCalendar, utc) && platform::UtcToLocalFileTime(utc, local) &&
                    platform::LocalToUtcFileTime(local, back));
        EXPECT_EQ(back.Value(), utc.Value()) << utcCalendar.wYear;
        SystemTime viaHelper, direct;
        ASSERT_TRUE(platform::FileTimeToLocalCalendar(utc, viaHelper) && platform::FileTimeToCalendar(local, direct));
        EXPECT_EQ(Text(viaHelper), Text(direct));
    }
}

// The program's text is UTF-8 in both builds (the test programs carry the
// manifest): lower-casing byte by byte folds A-Z only. Files of earlier
// versions are in the legacy code page (Windows-1252 here).
TEST(Program, LowerAnsiFoldsOnlyAToZLegacyTextBecomesUtf8AndTheFolderHoldsTheProgram)
{
    ASSERT_TRUE(platform::ProgramTextIsUtf8());
    char text[] = "\xC3\x89T\xC3\x89 Z\xC3\x97";  // ÉTÉ Z×
    platform::LowerAnsiInPlace(text);
    EXPECT_STREQ(text, "\xC3\x89t\xC3\x89 z\xC3\x97");
    EXPECT_EQ(platform::ProgramTextFromLegacyAnsi("C:\\Caf\xE9 \x80\x9F"), "C:\\Caf\xC3\xA9 \xE2\x82\xAC\xC5\xB8");
    EXPECT_TRUE(platform::IsValidUtf8("\xE5\xA0\xB1 \xF0\x9F\x98\x80"));
    for (const char* bad : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF0\x9F\x98"}) EXPECT_FALSE(platform::IsValidUtf8(bad)) << bad;
    // The program's folder holds the running test program.
    const std::string folder = platform::ProgramFolder(), path = platform::ProgramPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::PathSeparator);
    EXPECT_EQ(path.substr(0, folder.size()) + "|" + path.substr(folder.size()).substr(0, 14), folder + "|platform_tests");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    platform::GoToProgramFolder();
    EXPECT_EQ(platform::WithTrailingSeparator(std::filesystem::current_path().string()), folder);
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tolvane
