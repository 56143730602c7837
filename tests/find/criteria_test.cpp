#include "find/criteria.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/time.h"

namespace tolvane {
namespace {

FindData Entry(const char* name, uint64_t size = 0, uint32_t attributes = AttributeArchive)
{
    FindData entry;
    std::strncpy(entry.cFileName, name, sizeof entry.cFileName - 1);
    entry.SetSize(size);
    entry.dwFileAttributes = attributes;
    return entry;
}

// An entry whose three times are all the given local time, so that the tests
// hold in every time zone.
FindData EntryAt(const SystemTime& local)
{
    FindData entry = Entry("file.txt");
    FileTime localTime;
    EXPECT_TRUE(platform::CalendarToFileTime(local, localTime));
    EXPECT_TRUE(platform::LocalToUtcFileTime(localTime, entry.ftLastWriteTime));
    entry.ftCreationTime = entry.ftLastAccessTime = entry.ftLastWriteTime;
    return entry;
}

SystemTime Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return SystemTime{static_cast<uint16_t>(year),   static_cast<uint16_t>(month),  0, static_cast<uint16_t>(day),
                      static_cast<uint16_t>(hour),   static_cast<uint16_t>(minute), static_cast<uint16_t>(second)};
}

constexpr auto Contains = NameRuleMode::Contains, NotContains = NameRuleMode::NotContains, Matches = NameRuleMode::Matches;

TEST(MatchName, ModesCaseAndCodePageFolding)
{
    const struct {
        const char* name;
        const char* pattern;
        NameRuleMode mode;
        bool caseSensitive, matches;
    } cases[] = {
        {"Report.TXT", "report", Contains, false, true},     {"Report.TXT", "REPORT.txt", Matches, false, true},
        {"Report.TXT", "report", Matches, false, false},     {"Report.TXT", "report", NotContains, false, false},
        {"Report.TXT", "report", Contains, true, false},     {"Report.TXT", "report", NotContains, true, true},
        {"Report.TXT", "Report", Contains, true, true},      {"Report.TXT", "report.txt", Matches, true, false},
        {"a.txt.bak", "a.txt", Matches, false, false},       {"xa.txt", "a.txt", Matches, false, false},
        {"abc.txt", "a?c.txt", Matches, false, false},       {"abc.txt", "*.txt", Contains, false, false},
        {"notes.md", ".md", Contains, true, true},           {"notes.md", "notes.md", Contains, true, true},
        {"notes.md", "notes.md2", Contains, true, false},    {"notes.md", "notes.md2", NotContains, true, true},
        // UTF-8, folded by code point: É and é, Greek, Cyrillic, the Kelvin
        // sign; Ã folds to ã, never to a byte of ッ (E3 83 83); × is no letter.
        {"CAF\xC3\x89.txt", "caf\xC3\xA9", Contains, false, true}, {"caf\xC3\xA9.txt", "CAF\xC3\x89", Contains, false, true},
        {"\xC3\x89t\xC3\xA9.txt", "\xC3\xA9t\xC3\xA9", Contains, false, true},
        {"CAF\xC3\x89.txt", "caf\xC3\xA9", Contains, true, false}, {"CAF\xC3\x89.txt", "cafe", Contains, false, false},
        {"\xCE\x9A\xCE\x91\xCE\xA3.txt", "\xCE\xBA\xCE\xB1\xCF\x83", Contains, false, true},  // ΚΑΣ / κασ
        {"\xD0\xB4\xD0\xB0.txt", "\xD0\x94\xD0\x90", Contains, false, true},                  // да / ДА
        {"\xE2\x84\xAA.txt", "k.txt", Matches, false, true},                                       // Kelvin sign
        {"\xE3\x83\x83.txt", "\xC3\x83", Contains, false, false},                                   // ッ / Ã
        {"\xE5\xA0\xB1\xE5\x91\x8A.txt", "\xE5\xA0\xB1", Contains, false, true},             // 報告 / 報
        {"3\xC3\x97" "4", "3\xC3\xB7" "4", Matches, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchName(Entry(c.name), c.pattern, c.mode, c.caseSensitive), c.matches) << c.name << " / " << c.pattern;
}

TEST(MatchExtensions, EveryEntryMatchesTheEndOfTheNameAfterADot)
{
    const struct {
        const char* name;
        const char* list;
        bool included;
    } cases[] = {
        {"photo.JPG", "jpg/jpeg", true},  {"PHOTO.JpEg", "jpg/jpeg", true}, {"archive.tar.jpg", "jpg/jpeg", true},
        {"photojpg", "jpg/jpeg", false},  {"jpg", "jpg/jpeg", false},       {"photo.jpg.txt", "jpg/jpeg", false},
        {"photo.pg", "jpg/jpeg", false},  {"photo.xjpg", "jpg/jpeg", false}, {"photo", "jpg/jpeg", false},
        {"a.bmp", "bmp/jpg/png/gif", true}, {"a.png", "bmp/jpg/png/gif", true}, {"a.gif", "bmp/jpg/png/gif", true},
        {"a.tif", "bmp/jpg/png/gif", false}, {"a.tar.gz", "tar", false},     {"x.c", "h/c", true},
        {"xc", "h/c", false},             {"c", "h/c", false},
        {"r\xC3\x89SUM\xC3\x89.\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", true},  // résumé.été, folded by code point
        {"a.\xCE\xA4\xCE\x9E\xCE\xA4", "doc/\xCF\x84\xCE\xBE\xCF\x84", true},      // .ΤΞΤ and τξτ
        {"a.txt", "TXT", true},                                                         // a list from anywhere

    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchExtensions(Entry(c.name), c.list, ExtensionRuleMode::IncludeTypes), c.included) << c.name;
        EXPECT_EQ(MatchExtensions(Entry(c.name), c.list, ExtensionRuleMode::ExcludeTypes), !c.included) << c.name;
    }
}

// Single bounds are inclusive and ranges exclusive; sizes and bounds above
// 4 GiB compare in full (the low half of 5 GiB alone is 1 GiB).
TEST(MatchSize, BoundsAndSizesAbove4GiB)
{
    using enum SizeRuleMode;
    const uint64_t maxBound = 9999ull * 1048576, fiveGiB = 5ull << 30;
    const struct {
        uint64_t size, from, to;
        SizeRuleMode mode;
        bool matches;
    } cases[] = {
        {1024, 1024, 0, EqualTo, true},     {1024, 1024, 0, Minimum, true},      {1024, 1024, 0, Maximum, true},
        {1024, 1024, 2048, Between, false}, {1024, 1024, 2048, NotBetween, false}, {1024, 512, 1024, Between, false},
        {1024, 512, 1024, NotBetween, false}, {1024, 1025, 0, EqualTo, false},   {1024, 1025, 0, Minimum, false},
        {1024, 1023, 0, Maximum, false},    {1024, 1023, 1025, Between, true},   {1024, 1025, 2048, NotBetween, true},
        {1024, 0, 1023, NotBetween, true},  {fiveGiB, 1ull << 30, 0, EqualTo, false}, {fiveGiB, 2ull << 30, 0, Maximum, false},
        {fiveGiB, 4294967295u, 0, Minimum, true}, {fiveGiB, 0, 4294967295u, NotBetween, true},
        {maxBound, maxBound, 0, EqualTo, true}, {maxBound - 1, maxBound, 0, Minimum, false},
        {maxBound - 1, fiveGiB, maxBound, Between, true}, {maxBound, fiveGiB, maxBound, Between, false},
        {7, 1, 2, static_cast<SizeRuleMode>(5), true},  // an unknown mode passes everything
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchSize(Entry("a", c.size), c.from, c.to, c.mode), c.matches)
            << c.size << " " << c.from << ".." << c.to << " mode " << static_cast<int>(c.mode);
    EXPECT_EQ(Entry("big", fiveGiB).nFileSizeHigh, 1u);
}

// Only the local date counts, not the time of day; ranges exclude both bounds
// and order year, month, day.
TEST(MatchDate, ComparesTheLocalDateOfTheChosenTime)
{
    using enum DateRelation;
    const SystemTime march10 = Day(2009, 3, 10, 18, 30, 45);
    const SystemTime from = Day(2008, 12, 31), to = Day(2009, 2, 1);
    const struct {
        SystemTime at, from, to;
        DateRelation relation;
        bool matches;
    } cases[] = {
        {Day(2009, 3, 9, 23, 59), march10, march10, Before, true}, {Day(2009, 3, 10), march10, march10, Before, false},
        {Day(2009, 3, 10), march10, march10, On, true},          {Day(2009, 3, 10, 23, 59, 59), march10, march10, On, true},
        {Day(2009, 3, 10, 23, 59), march10, march10, After, false}, {Day(2009, 3, 10, 23, 59), Day(2009, 3, 9), march10, After, true},
        {Day(2008, 12, 30, 12), from, to, NotBetween, true},     {Day(2008, 12, 31, 12), from, to, Between, false},
        {Day(2008, 12, 31, 12), from, to, NotBetween, false},    {Day(2009, 1, 1, 12), from, to, Between, true},
        {Day(2009, 1, 31, 12), from, to, Between, true},         {Day(2009, 2, 1, 12), from, to, NotBetween, false},
        {Day(2009, 2, 1, 12), from, to, Between, false},         {Day(2009, 2, 2, 12), from, to, NotBetween, true},
        {Day(2010, 1, 15, 12), from, to, Between, false},        {Day(2008, 1, 15, 12), from, to, NotBetween, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchDate(EntryAt(c.at), c.from, c.to, FileTimeKind::Modified, c.relation), c.matches)
            << c.at.wYear << "-" << c.at.wMonth << "-" << c.at.wDay << " relation " << static_cast<int>(c.relation);

    FindData entry = EntryAt(Day(2001, 1, 1, 12));
    entry.ftLastWriteTime = EntryAt(Day(2002, 2, 2, 12)).ftLastWriteTime;
    entry.ftLastAccessTime = EntryAt(Day(2003, 3, 3, 12)).ftLastWriteTime;
    const auto on = [&](const SystemTime& date, FileTimeKind kind) { return MatchDate(entry, date, date, kind, On); };
    EXPECT_TRUE(on(Day(2001, 1, 1), FileTimeKind::Created));
    EXPECT_TRUE(on(Day(2002, 2, 2), FileTimeKind::Modified));
    EXPECT_TRUE(on(Day(2003, 3, 3), FileTimeKind::Accessed));
    EXPECT_FALSE(on(Day(2002, 2, 2), FileTimeKind::Created));
}

// Hour and minute on any day; ranges exclude both bounds.
TEST(MatchTime, ComparesHourAndMinuteOnAnyDay)
{
    using enum TimeRelation;
    const SystemTime at1405 = Day(1999, 1, 1, 14, 5, 30), from = Day(2000, 1, 1, 9, 30), to = Day(2000, 1, 1, 17, 0);
    const struct {
        int hour, minute, second;
        SystemTime from, to;
        TimeRelation relation;
        bool matches;
    } cases[] = {
        {14, 5, 0, at1405, at1405, At, true},        {14, 5, 59, at1405, at1405, At, true},
        {14, 5, 0, at1405, at1405, Before, false},   {14, 5, 59, at1405, at1405, After, false},
        {14, 4, 59, at1405, at1405, At, false},      {14, 4, 59, at1405, at1405, Before, true},
        {14, 6, 0, at1405, at1405, After, true},     {13, 59, 0, at1405, at1405, Before, true},
        {9, 29, 30, from, to, NotBetween, true},     {9, 30, 30, from, to, Between, false},
        {9, 30, 30, from, to, NotBetween, false},    {9, 31, 30, from, to, Between, true},
        {16, 59, 30, from, to, Between, true},       {17, 0, 30, from, to, Between, false},
        {17, 0, 30, from, to, NotBetween, false},    {17, 1, 30, from, to, NotBetween, true},
        {0, 0, 30, from, to, Between, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchTime(EntryAt(Day(2015, 6, 15, c.hour, c.minute, c.second)), c.from, c.to, FileTimeKind::Accessed,
                            c.relation),
                  c.matches)
            << c.hour << ":" << c.minute << " relation " << static_cast<int>(c.relation);
}

TEST(MatchDateAndTime, AZeroTimeFailsEveryRelation)
{
    FindData entry = EntryAt(Day(2009, 3, 10, 12));
    entry.ftCreationTime = FileTime{};
    const SystemTime from = Day(2009, 3, 9, 10), to = Day(2009, 3, 11, 14);
    for (int relation = 0; relation <= 4; ++relation) {
        EXPECT_FALSE(MatchDate(entry, from, to, FileTimeKind::Created, static_cast<DateRelation>(relation))) << relation;
        EXPECT_FALSE(MatchTime(entry, from, to, FileTimeKind::Created, static_cast<TimeRelation>(relation))) << relation;
    }
    EXPECT_TRUE(MatchDate(entry, from, to, FileTimeKind::Modified, DateRelation::Between));
    EXPECT_TRUE(MatchTime(entry, from, to, FileTimeKind::Modified, TimeRelation::Between));
}

AttributeFlags Select(std::initializer_list<AttributeFlag> selected)
{
    AttributeFlags flags{};
    for (AttributeFlag flag : selected) flags[static_cast<size_t>(flag)] = 1;
    return flags;
}

// Include needs every selected attribute, Exclude none of them. Index is
// present when the not-indexed bit is clear; folders skip Temporary and
// Sparse (but no other selected flag); only a byte of 1 selects a flag.
TEST(MatchAttributes, IncludeNeedsAllAndExcludeNone)
{
    using enum AttributeFlag;
    AttributeFlags twos{};
    twos[static_cast<size_t>(Hidden)] = 2;
    const struct {
        uint32_t attributes;
        AttributeFlags flags;
        bool include, exclude;
    } cases[] = {
        {AttributeHidden, Select({Hidden, System}), false, false},
        {AttributeHidden | AttributeSystem, Select({Hidden, System}), true, false},
        {AttributeArchive, Select({Hidden, System}), false, true},
        {AttributeArchive, Select({Index}), true, false},
        {AttributeArchive | AttributeNotContentIndexed, Select({Index}), false, true},
        {AttributeDirectory, Select({Temporary}), true, true},
        {AttributeDirectory, Select({Sparse}), true, true},
        {AttributeTemporary | AttributeSparseFile, Select({Temporary, Sparse}), true, false},
        {AttributeArchive, Select({Temporary}), false, true},
        {AttributeDirectory, Select({Temporary, Hidden}), false, true},
        {AttributeDirectory | AttributeHidden, Select({Temporary, Hidden}), true, false},
        {AttributeDirectory, Select({Archive}), false, true},
        {0, twos, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchAttributes(Entry("e", 0, c.attributes), c.flags, AttributeRuleMode::Include), c.include) << c.attributes;
        EXPECT_EQ(MatchAttributes(Entry("e", 0, c.attributes), c.flags, AttributeRuleMode::Exclude), c.exclude) << c.attributes;
    }

    const std::pair<AttributeFlag, uint32_t> bits[] = {
        {Archive, AttributeArchive},       {ReadOnly, AttributeReadOnly},       {Hidden, AttributeHidden},
        {System, AttributeSystem},         {Temporary, AttributeTemporary},     {Offline, AttributeOffline},
        {Compressed, AttributeCompressed}, {Encrypted, AttributeEncrypted},     {Sparse, AttributeSparseFile},
        {ReparsePoint, AttributeReparsePoint},
    };
    for (const auto& [flag, bit] : bits) {
        const FindData with = Entry("with", 0, bit);
        const FindData allOthers = Entry("without", 0, 0x7FFF & ~bit & ~AttributeDirectory);
        EXPECT_TRUE(MatchAttributes(with, Select({flag}), AttributeRuleMode::Include)) << bit;
        EXPECT_FALSE(MatchAttributes(allOthers, Select({flag}), AttributeRuleMode::Include)) << bit;
        EXPECT_FALSE(MatchAttributes(with, Select({flag}), AttributeRuleMode::Exclude)) << bit;
        EXPECT_TRUE(MatchAttributes(allOthers, Select({flag}), AttributeRuleMode::Exclude)) << bit;
    }
}

}  // namespace
}  // namespace tolvane
