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

SystemTime Calendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    SystemTime time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    return time;
}

// The UTC file time a listing would give for a local calendar time, so that
// the tests hold in every time zone.
FileTime FromLocal(const SystemTime& local)
{
    FileTime localTime, utc;
    EXPECT_TRUE(platform::CalendarToFileTime(local, localTime));
    EXPECT_TRUE(platform::LocalToUtcFileTime(localTime, utc));
    return utc;
}

// An entry whose three times are all the given local time.
FindData EntryAt(const SystemTime& local)
{
    FindData entry = Entry("file.txt");
    entry.ftCreationTime = entry.ftLastAccessTime = entry.ftLastWriteTime = FromLocal(local);
    return entry;
}

// --- Names ---------------------------------------------------------------

TEST(MatchName, FoldsCaseOfNameAndPatternUnlessCaseSensitive)
{
    const FindData report = Entry("Report.TXT");
    EXPECT_TRUE(MatchName(report, "report", NameRuleMode::Contains, false));
    EXPECT_TRUE(MatchName(report, "REPORT.txt", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(report, "report", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(report, "report", NameRuleMode::NotContains, false));

    EXPECT_FALSE(MatchName(report, "report", NameRuleMode::Contains, true));
    EXPECT_TRUE(MatchName(report, "report", NameRuleMode::NotContains, true));
    EXPECT_TRUE(MatchName(report, "Report", NameRuleMode::Contains, true));
    EXPECT_FALSE(MatchName(report, "report.txt", NameRuleMode::Matches, true));
}

TEST(MatchName, MatchesIsTheWholeNameWithoutWildcards)
{
    EXPECT_TRUE(MatchName(Entry("A.TXT"), "a.txt", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(Entry("a.txt.bak"), "a.txt", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(Entry("xa.txt"), "a.txt", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(Entry("abc.txt"), "a?c.txt", NameRuleMode::Matches, false));
    EXPECT_FALSE(MatchName(Entry("abc.txt"), "*.txt", NameRuleMode::Contains, false));
}

TEST(MatchName, ContainsFindsThePatternAtEitherEndAndNeverWhenLonger)
{
    const FindData entry = Entry("notes.md");
    EXPECT_TRUE(MatchName(entry, "notes", NameRuleMode::Contains, true));
    EXPECT_TRUE(MatchName(entry, ".md", NameRuleMode::Contains, true));
    EXPECT_TRUE(MatchName(entry, "notes.md", NameRuleMode::Contains, true));
    EXPECT_FALSE(MatchName(entry, "notes.md2", NameRuleMode::Contains, true));
    EXPECT_TRUE(MatchName(entry, "notes.md2", NameRuleMode::NotContains, true));
}

TEST(MatchName, FoldsLettersOfTheUpperHalfOfTheCodePage)
{
    // "CAFÉ" and "café" in Windows-1252: É is 0xC9, é is 0xE9.
    const FindData upper = Entry("CAF\xC9.txt");
    EXPECT_TRUE(MatchName(upper, "caf\xE9", NameRuleMode::Contains, false));
    EXPECT_TRUE(MatchName(Entry("caf\xE9.txt"), "CAF\xC9", NameRuleMode::Contains, false));
    EXPECT_FALSE(MatchName(upper, "caf\xE9", NameRuleMode::Contains, true));
    // Byte for byte: a folded É is not a plain e.
    EXPECT_FALSE(MatchName(upper, "cafe", NameRuleMode::Contains, false));
    // The multiplication sign 0xD7 is no letter and has no lower case (0xF7 is ÷).
    EXPECT_FALSE(MatchName(Entry("3\xD7" "4"), "3\xF7" "4", NameRuleMode::Matches, false));
}

// --- Extensions ----------------------------------------------------------

TEST(MatchExtensions, EntriesMatchTheEndOfTheNameAfterADot)
{
    const struct {
        const char* name;
        bool included;
    } cases[] = {
        {"photo.JPG", true},      {"photo.jpeg", true},    {"archive.tar.jpg", true},
        {"photojpg", false},      {"jpg", false},          {"photo.jpg.txt", false},
        {"photo.pg", false},      {"photo.xjpg", false},   {"photo", false},
        {"PHOTO.JpEg", true},     {"a.jpg", true},
    };
    for (const auto& c : cases) {
        const FindData entry = Entry(c.name);
        EXPECT_EQ(MatchExtensions(entry, "jpg/jpeg", ExtensionRuleMode::IncludeTypes), c.included) << c.name;
        EXPECT_EQ(MatchExtensions(entry, "jpg/jpeg", ExtensionRuleMode::ExcludeTypes), !c.included) << c.name;
    }
}

TEST(MatchExtensions, EveryEntryOfTheListCountsNotOnlyTheLast)
{
    const std::string list = "bmp/jpg/jpeg/png/gif";
    for (const char* name : {"a.bmp", "a.jpg", "a.jpeg", "a.png", "a.gif"})
        EXPECT_TRUE(MatchExtensions(Entry(name), list, ExtensionRuleMode::IncludeTypes)) << name;
    EXPECT_FALSE(MatchExtensions(Entry("a.tif"), list, ExtensionRuleMode::IncludeTypes));
    EXPECT_FALSE(MatchExtensions(Entry("gif"), list, ExtensionRuleMode::IncludeTypes));
}

TEST(MatchExtensions, AnEntryIsTheLastPartOfAMultiDotName)
{
    EXPECT_TRUE(MatchExtensions(Entry("a.tar.gz"), "gz", ExtensionRuleMode::IncludeTypes));
    EXPECT_FALSE(MatchExtensions(Entry("a.tar.gz"), "tar", ExtensionRuleMode::IncludeTypes));
    // A one-letter entry needs its dot as well.
    EXPECT_TRUE(MatchExtensions(Entry("x.c"), "h/c", ExtensionRuleMode::IncludeTypes));
    EXPECT_FALSE(MatchExtensions(Entry("xc"), "h/c", ExtensionRuleMode::IncludeTypes));
    EXPECT_FALSE(MatchExtensions(Entry("c"), "h/c", ExtensionRuleMode::IncludeTypes));
}

TEST(MatchExtensions, TheNameIsFoldedInTheAnsiCodePage)
{
    EXPECT_TRUE(MatchExtensions(Entry("r\xC9SUM\xC9.\xC9T\xC9"), "\xE9t\xE9", ExtensionRuleMode::IncludeTypes));
}

// --- Sizes ---------------------------------------------------------------

TEST(MatchSize, SingleBoundsAreInclusiveAndRangesExclusive)
{
    const FindData entry = Entry("a", 1024);
    EXPECT_TRUE(MatchSize(entry, 1024, 0, SizeRuleMode::EqualTo));
    EXPECT_TRUE(MatchSize(entry, 1024, 0, SizeRuleMode::Minimum));
    EXPECT_TRUE(MatchSize(entry, 1024, 0, SizeRuleMode::Maximum));
    EXPECT_FALSE(MatchSize(entry, 1024, 2048, SizeRuleMode::Between));
    EXPECT_FALSE(MatchSize(entry, 1024, 2048, SizeRuleMode::NotBetween));
    EXPECT_FALSE(MatchSize(entry, 512, 1024, SizeRuleMode::Between));
    EXPECT_FALSE(MatchSize(entry, 512, 1024, SizeRuleMode::NotBetween));

    EXPECT_FALSE(MatchSize(entry, 1025, 0, SizeRuleMode::EqualTo));
    EXPECT_FALSE(MatchSize(entry, 1025, 0, SizeRuleMode::Minimum));
    EXPECT_FALSE(MatchSize(entry, 1023, 0, SizeRuleMode::Maximum));
    EXPECT_TRUE(MatchSize(entry, 1023, 1025, SizeRuleMode::Between));
    EXPECT_TRUE(MatchSize(entry, 1025, 2048, SizeRuleMode::NotBetween));
    EXPECT_TRUE(MatchSize(entry, 0, 1023, SizeRuleMode::NotBetween));
}

TEST(MatchSize, SizesAbove4GiBUseBothHalves)
{
    const FindData fiveGiB = Entry("big", 5ull << 30);
    ASSERT_EQ(fiveGiB.nFileSizeHigh, 1u);
    // The low half alone (1 GiB) would pass these.
    EXPECT_FALSE(MatchSize(fiveGiB, 1ull << 30, 0, SizeRuleMode::EqualTo));
    EXPECT_FALSE(MatchSize(fiveGiB, 2ull << 30, 0, SizeRuleMode::Maximum));
    EXPECT_TRUE(MatchSize(fiveGiB, 4294967295u, 0, SizeRuleMode::Minimum));
    EXPECT_FALSE(MatchSize(fiveGiB, 4294967295u, 0, SizeRuleMode::Maximum));
    EXPECT_TRUE(MatchSize(fiveGiB, 0, 4294967295u, SizeRuleMode::NotBetween));
}

TEST(MatchSize, BoundsAbove4GiBCompareExactly)
{
    const uint64_t maxDialogBound = 9999ull * 1048576;  // 9999 MB
    const FindData justBelow = Entry("a", maxDialogBound - 1);
    const FindData exact = Entry("b", maxDialogBound);
    EXPECT_TRUE(MatchSize(exact, maxDialogBound, 0, SizeRuleMode::EqualTo));
    EXPECT_FALSE(MatchSize(justBelow, maxDialogBound, 0, SizeRuleMode::Minimum));
    EXPECT_TRUE(MatchSize(justBelow, maxDialogBound, 0, SizeRuleMode::Maximum));
    EXPECT_TRUE(MatchSize(justBelow, 5ull << 30, maxDialogBound, SizeRuleMode::Between));
    EXPECT_FALSE(MatchSize(exact, 5ull << 30, maxDialogBound, SizeRuleMode::Between));
}

TEST(MatchSize, AnUnknownModePassesEveryEntry)
{
    EXPECT_TRUE(MatchSize(Entry("a", 7), 1, 2, static_cast<SizeRuleMode>(5)));
}

// --- Dates and times -----------------------------------------------------

TEST(MatchDate, ComparesTheLocalDateOnly)
{
    const SystemTime march10 = Calendar(2009, 3, 10, 18, 30, 45);  // the time of day must not count
    const FindData lastMinuteBefore = EntryAt(Calendar(2009, 3, 9, 23, 59));
    const FindData midnight = EntryAt(Calendar(2009, 3, 10, 0, 0));
    const FindData lateOnTheDay = EntryAt(Calendar(2009, 3, 10, 23, 59, 59));

    EXPECT_TRUE(MatchDate(lastMinuteBefore, march10, march10, FileTimeKind::Modified, DateRelation::Before));
    EXPECT_FALSE(MatchDate(midnight, march10, march10, FileTimeKind::Modified, DateRelation::Before));
    EXPECT_TRUE(MatchDate(midnight, march10, march10, FileTimeKind::Modified, DateRelation::On));
    EXPECT_TRUE(MatchDate(lateOnTheDay, march10, march10, FileTimeKind::Modified, DateRelation::On));
    EXPECT_FALSE(MatchDate(lateOnTheDay, march10, march10, FileTimeKind::Modified, DateRelation::After));
    EXPECT_TRUE(MatchDate(lateOnTheDay, Calendar(2009, 3, 9), march10, FileTimeKind::Modified, DateRelation::After));
}

TEST(MatchDate, RangesExcludeBothBoundsAndOrderYearMonthDay)
{
    const SystemTime from = Calendar(2008, 12, 31);
    const SystemTime to = Calendar(2009, 2, 1);
    const struct {
        SystemTime date;
        bool between;
        bool notBetween;
    } cases[] = {
        {Calendar(2008, 12, 30, 12), false, true}, {Calendar(2008, 12, 31, 12), false, false},
        {Calendar(2009, 1, 1, 12), true, false},   {Calendar(2009, 1, 31, 12), true, false},
        {Calendar(2009, 2, 1, 12), false, false},  {Calendar(2009, 2, 2, 12), false, true},
        {Calendar(2010, 1, 15, 12), false, true},  {Calendar(2008, 1, 15, 12), false, true},
    };
    for (const auto& c : cases) {
        const FindData entry = EntryAt(c.date);
        EXPECT_EQ(MatchDate(entry, from, to, FileTimeKind::Modified, DateRelation::Between), c.between)
            << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
        EXPECT_EQ(MatchDate(entry, from, to, FileTimeKind::Modified, DateRelation::NotBetween), c.notBetween)
            << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
    }
}

TEST(MatchDate, TestsTheChosenTimeOfTheEntry)
{
    FindData entry = Entry("file.txt");
    entry.ftCreationTime = FromLocal(Calendar(2001, 1, 1, 12));
    entry.ftLastWriteTime = FromLocal(Calendar(2002, 2, 2, 12));
    entry.ftLastAccessTime = FromLocal(Calendar(2003, 3, 3, 12));
    const auto on = [&](const SystemTime& date, FileTimeKind kind) {
        return MatchDate(entry, date, date, kind, DateRelation::On);
    };
    EXPECT_TRUE(on(Calendar(2001, 1, 1), FileTimeKind::Created));
    EXPECT_TRUE(on(Calendar(2002, 2, 2), FileTimeKind::Modified));
    EXPECT_TRUE(on(Calendar(2003, 3, 3), FileTimeKind::Accessed));
    EXPECT_FALSE(on(Calendar(2002, 2, 2), FileTimeKind::Created));
    EXPECT_FALSE(on(Calendar(2001, 1, 1), FileTimeKind::Accessed));
}

TEST(MatchTime, ComparesHourAndMinuteOnAnyDay)
{
    const SystemTime at1405 = Calendar(1999, 1, 1, 14, 5, 30);
    for (const SystemTime& local : {Calendar(2009, 3, 10, 14, 5, 0), Calendar(2021, 7, 4, 14, 5, 59)}) {
        const FindData entry = EntryAt(local);
        EXPECT_TRUE(MatchTime(entry, at1405, at1405, FileTimeKind::Accessed, TimeRelation::At));
        EXPECT_FALSE(MatchTime(entry, at1405, at1405, FileTimeKind::Accessed, TimeRelation::Before));
        EXPECT_FALSE(MatchTime(entry, at1405, at1405, FileTimeKind::Accessed, TimeRelation::After));
    }
    const FindData early = EntryAt(Calendar(2009, 3, 10, 14, 4, 59));
    const FindData late = EntryAt(Calendar(2009, 3, 10, 14, 6, 0));
    EXPECT_FALSE(MatchTime(early, at1405, at1405, FileTimeKind::Created, TimeRelation::At));
    EXPECT_TRUE(MatchTime(early, at1405, at1405, FileTimeKind::Created, TimeRelation::Before));
    EXPECT_TRUE(MatchTime(late, at1405, at1405, FileTimeKind::Created, TimeRelation::After));
    // An earlier hour with a later minute is still earlier.
    EXPECT_TRUE(MatchTime(EntryAt(Calendar(2009, 3, 10, 13, 59)), at1405, at1405, FileTimeKind::Modified,
                          TimeRelation::Before));
}

TEST(MatchTime, RangesExcludeBothBounds)
{
    const SystemTime from = Calendar(2000, 1, 1, 9, 30);
    const SystemTime to = Calendar(2000, 1, 1, 17, 0);
    const struct {
        int hour, minute;
        bool between, notBetween;
    } cases[] = {
        {9, 29, false, true}, {9, 30, false, false}, {9, 31, true, false},
        {16, 59, true, false}, {17, 0, false, false}, {17, 1, false, true}, {0, 0, false, true},
    };
    for (const auto& c : cases) {
        const FindData entry = EntryAt(Calendar(2015, 6, 15, c.hour, c.minute, 30));
        EXPECT_EQ(MatchTime(entry, from, to, FileTimeKind::Modified, TimeRelation::Between), c.between)
            << c.hour << ":" << c.minute;
        EXPECT_EQ(MatchTime(entry, from, to, FileTimeKind::Modified, TimeRelation::NotBetween), c.notBetween)
            << c.hour << ":" << c.minute;
    }
}

TEST(MatchDateAndTime, AZeroTimeFailsEveryRelation)
{
    FindData entry = Entry("folder", 0, AttributeDirectory);
    entry.ftLastWriteTime = FromLocal(Calendar(2009, 3, 10, 12));  // only the created time is zero
    const SystemTime from = Calendar(2009, 3, 9, 10);
    const SystemTime to = Calendar(2009, 3, 11, 14);
    for (int relation = 0; relation <= 4; ++relation) {
        EXPECT_FALSE(MatchDate(entry, from, to, FileTimeKind::Created, static_cast<DateRelation>(relation)))
            << relation;
        EXPECT_FALSE(MatchTime(entry, from, to, FileTimeKind::Created, static_cast<TimeRelation>(relation)))
            << relation;
    }
    // The same rules on the entry's non-zero time do pass some relations.
    EXPECT_TRUE(MatchDate(entry, from, to, FileTimeKind::Modified, DateRelation::Between));
    EXPECT_TRUE(MatchTime(entry, from, to, FileTimeKind::Modified, TimeRelation::Between));
}

// --- Attributes ----------------------------------------------------------

AttributeFlags Select(std::initializer_list<AttributeFlag> selected)
{
    AttributeFlags flags{};
    for (AttributeFlag flag : selected) flags[static_cast<size_t>(flag)] = 1;
    return flags;
}

TEST(MatchAttributes, IncludeRequiresEverySelectedAttribute)
{
    const AttributeFlags hiddenAndSystem = Select({AttributeFlag::Hidden, AttributeFlag::System});
    const FindData hiddenOnly = Entry("a", 0, AttributeHidden);
    const FindData both = Entry("b", 0, AttributeHidden | AttributeSystem);
    const FindData neither = Entry("c", 0, AttributeArchive);

    EXPECT_FALSE(MatchAttributes(hiddenOnly, hiddenAndSystem, AttributeRuleMode::Include));
    EXPECT_TRUE(MatchAttributes(both, hiddenAndSystem, AttributeRuleMode::Include));
    EXPECT_FALSE(MatchAttributes(neither, hiddenAndSystem, AttributeRuleMode::Include));

    EXPECT_FALSE(MatchAttributes(hiddenOnly, hiddenAndSystem, AttributeRuleMode::Exclude));
    EXPECT_FALSE(MatchAttributes(both, hiddenAndSystem, AttributeRuleMode::Exclude));
    EXPECT_TRUE(MatchAttributes(neither, hiddenAndSystem, AttributeRuleMode::Exclude));
}

TEST(MatchAttributes, EachFlagTestsItsOwnBit)
{
    const struct {
        AttributeFlag flag;
        uint32_t bit;
    } rows[] = {
        {AttributeFlag::Archive, AttributeArchive},         {AttributeFlag::ReadOnly, AttributeReadOnly},
        {AttributeFlag::Hidden, AttributeHidden},           {AttributeFlag::System, AttributeSystem},
        {AttributeFlag::Temporary, AttributeTemporary},     {AttributeFlag::Offline, AttributeOffline},
        {AttributeFlag::Compressed, AttributeCompressed},   {AttributeFlag::Encrypted, AttributeEncrypted},
        {AttributeFlag::Sparse, AttributeSparseFile},       {AttributeFlag::ReparsePoint, AttributeReparsePoint},
    };
    for (const auto& row : rows) {
        const AttributeFlags flags = Select({row.flag});
        const FindData with = Entry("with", 0, row.bit);
        const FindData allOthers = Entry("without", 0, 0x7FFF & ~row.bit & ~AttributeDirectory);
        EXPECT_TRUE(MatchAttributes(with, flags, AttributeRuleMode::Include)) << static_cast<int>(row.flag);
        EXPECT_FALSE(MatchAttributes(allOthers, flags, AttributeRuleMode::Include)) << static_cast<int>(row.flag);
        EXPECT_FALSE(MatchAttributes(with, flags, AttributeRuleMode::Exclude)) << static_cast<int>(row.flag);
        EXPECT_TRUE(MatchAttributes(allOthers, flags, AttributeRuleMode::Exclude)) << static_cast<int>(row.flag);
    }
}

TEST(MatchAttributes, IndexIsPresentWhenTheNotIndexedBitIsClear)
{
    const AttributeFlags index = Select({AttributeFlag::Index});
    const FindData indexed = Entry("a", 0, AttributeArchive);
    const FindData notIndexed = Entry("b", 0, AttributeArchive | AttributeNotContentIndexed);
    EXPECT_TRUE(MatchAttributes(indexed, index, AttributeRuleMode::Include));
    EXPECT_FALSE(MatchAttributes(notIndexed, index, AttributeRuleMode::Include));
    EXPECT_FALSE(MatchAttributes(indexed, index, AttributeRuleMode::Exclude));
    EXPECT_TRUE(MatchAttributes(notIndexed, index, AttributeRuleMode::Exclude));
}

TEST(MatchAttributes, DirectoriesSkipTemporaryAndSparseOnly)
{
    const FindData folder = Entry("folder", 0, AttributeDirectory);
    const FindData file = Entry("file", 0, AttributeArchive);
    const FindData temporaryFile = Entry("tmp", 0, AttributeTemporary | AttributeSparseFile);
    for (AttributeFlag flag : {AttributeFlag::Temporary, AttributeFlag::Sparse}) {
        const AttributeFlags flags = Select({flag});
        EXPECT_TRUE(MatchAttributes(folder, flags, AttributeRuleMode::Include)) << static_cast<int>(flag);
        EXPECT_TRUE(MatchAttributes(folder, flags, AttributeRuleMode::Exclude)) << static_cast<int>(flag);
        EXPECT_FALSE(MatchAttributes(file, flags, AttributeRuleMode::Include)) << static_cast<int>(flag);
        EXPECT_TRUE(MatchAttributes(temporaryFile, flags, AttributeRuleMode::Include)) << static_cast<int>(flag);
    }
    // A skipped flag does not excuse the other selected ones.
    const AttributeFlags temporaryAndHidden = Select({AttributeFlag::Temporary, AttributeFlag::Hidden});
    EXPECT_FALSE(MatchAttributes(folder, temporaryAndHidden, AttributeRuleMode::Include));
    EXPECT_TRUE(MatchAttributes(Entry("h", 0, AttributeDirectory | AttributeHidden), temporaryAndHidden,
                                AttributeRuleMode::Include));
    // Other flags still apply to directories.
    EXPECT_FALSE(MatchAttributes(folder, Select({AttributeFlag::Archive}), AttributeRuleMode::Include));
}

TEST(MatchAttributes, OnlyAByteOfOneSelectsAFlag)
{
    AttributeFlags flags{};
    EXPECT_TRUE(MatchAttributes(Entry("a", 0, 0), flags, AttributeRuleMode::Include));
    flags[static_cast<size_t>(AttributeFlag::Hidden)] = 2;
    EXPECT_TRUE(MatchAttributes(Entry("a", 0, 0), flags, AttributeRuleMode::Include));
}

TEST(AttributeSummaryWord, SelectedWordsJoinIntoASpaceSeparatedList)
{
    std::string summary;
    for (int index = 0; index < AttributeFlagCount; ++index)
        summary += AttributeSummaryWord(static_cast<AttributeFlag>(index));
    EXPECT_EQ(summary, "archive index readonly hidden system temporary offline compressed encrypted sparse reparse");
}

}  // namespace
}  // namespace tolvane
