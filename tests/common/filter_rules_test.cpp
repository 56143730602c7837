// The rules Find and Compare share.
#include "common/filter_rules.h"

#include <gtest/gtest.h>

#include "platform/time.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

using test::NamedEntry;

// An entry whose three times are all the given local time, so that the tests
// hold in every time zone.
FindData EntryAt(const SystemTime& local)
{
    FindData entry = NamedEntry("file.txt");
    FileTime localTime;
    EXPECT_TRUE(platform::CalendarToFileTime(local, localTime) &&
                platform::LocalToUtcFileTime(localTime, entry.ftLastWriteTime));
    entry.ftCreationTime = entry.ftLastAccessTime = entry.ftLastWriteTime;
    return entry;
}

TEST(MatchExtensions, EveryEntryMatchesTheEndOfTheNameAfterADot)
{
    const struct { const char *name, *list; bool included; } cases[] = {
        {"PHOTO.JpEg", "jpg/jpeg", true}, {"archive.tar.jpg", "jpg/jpeg", true}, {"jpg", "jpg/jpeg", false},
        {"photo.jpg.txt", "jpg/jpeg", false}, {"photo.xjpg", "jpg/jpeg", false}, {"a.gif", "bmp/jpg/png/gif", true},
        {"r\xC3\x89SUM\xC3\x89.\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", true},  // résumé.été, folded by code point
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchExtensions(NamedEntry(c.name), c.list, ExtensionRuleMode::IncludeTypes), c.included) << c.name;
        EXPECT_EQ(MatchExtensions(NamedEntry(c.name), c.list, ExtensionRuleMode::ExcludeTypes), !c.included) << c.name;
    }
}

// Single bounds are inclusive and ranges exclusive; sizes above 4 GiB compare
// in full (the low half of 5 GiB alone is 1 GiB).
TEST(MatchSize, BoundsAndSizesAbove4GiB)
{
    using enum SizeRuleMode;
    const uint64_t fiveGiB = 5ull << 30;
    const struct { uint64_t size, from, to; SizeRuleMode mode; bool matches; } cases[] = {
        {1024, 1024, 0, Minimum, true},       {1024, 1024, 0, Maximum, true},     {1024, 1024, 2048, Between, false},
        {1024, 512, 1024, NotBetween, false}, {1024, 1025, 0, Minimum, false},    {1024, 1023, 0, Maximum, false},
        {1024, 1023, 1025, Between, true},    {1024, 1025, 2048, NotBetween, true}, {1024, 1024, 0, EqualTo, true},
        {fiveGiB, 1ull << 30, 0, EqualTo, false}, {fiveGiB, 2ull << 30, 0, Maximum, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchSize(NamedEntry("a", c.size), c.from, c.to, c.mode), c.matches)
            << c.size << " " << c.from << ".." << c.to;
}

// Dates compare the local day, times hour and minute; ranges exclude both
// bounds; a zero time fails every relation.
TEST(MatchDateAndTime, ComparesTheChosenTimeOnly)
{
    const SystemTime march10{2009, 3, 0, 10, 18, 30, 45}, from{2008, 12, 0, 31}, to{2009, 2, 0, 1};
    const SystemTime at1405{1999, 1, 0, 1, 14, 5, 30}, nine30{2000, 1, 0, 1, 9, 30}, five{2000, 1, 0, 1, 17};
    using D = DateRelation;
    using T = TimeRelation;
    const struct { bool time; SystemTime at, from, to; int relation; bool matches; } cases[] = {
        {false, {2009, 3, 0, 9, 23, 59}, march10, march10, int(D::Before), true},
        {false, {2009, 3, 0, 10}, march10, march10, int(D::Before), false},
        {false, {2009, 3, 0, 10, 23, 59, 59}, march10, march10, int(D::On), true},
        {false, {2009, 3, 0, 10, 23, 59}, march10, march10, int(D::After), false},
        {false, {2008, 12, 0, 31, 12}, from, to, int(D::Between), false},
        {false, {2009, 1, 0, 31, 12}, from, to, int(D::Between), true},
        {false, {2009, 2, 0, 1, 12}, from, to, int(D::NotBetween), false},
        {false, {2008, 1, 0, 15, 12}, from, to, int(D::NotBetween), true},
        // Times share the relations with dates: these rows show what the time compares.
        {true, {2015, 6, 0, 15, 14, 5, 59}, at1405, at1405, int(T::At), true},
        {true, {2015, 6, 0, 15, 14, 5}, at1405, at1405, int(T::Before), false},
        {true, {2015, 6, 0, 15, 14, 6}, at1405, at1405, int(T::After), true},
        {true, {2015, 6, 0, 15, 9, 30, 30}, nine30, five, int(T::Between), false},
    };
    for (const auto& c : cases) {
        const FindData entry = EntryAt(c.at);
        EXPECT_EQ(c.time ? MatchTime(entry, c.from, c.to, FileTimeKind::Accessed, static_cast<T>(c.relation))
                         : MatchDate(entry, c.from, c.to, FileTimeKind::Modified, static_cast<D>(c.relation)),
                  c.matches)
            << "row " << &c - cases;
    }

    FindData entry = EntryAt({2001, 1, 0, 1, 12});
    entry.ftLastAccessTime = EntryAt({2003, 3, 0, 3, 12}).ftLastWriteTime;
    EXPECT_TRUE(MatchDate(entry, {2003, 3, 0, 3}, {}, FileTimeKind::Accessed, D::On));
    EXPECT_FALSE(MatchDate(entry, {2003, 3, 0, 3}, {}, FileTimeKind::Created, D::On));
    entry.ftCreationTime = FileTime{};
    for (int relation = 0; relation <= 4; ++relation) {
        EXPECT_FALSE(MatchDate(entry, from, to, FileTimeKind::Created, static_cast<D>(relation))) << relation;
        EXPECT_FALSE(MatchTime(entry, from, to, FileTimeKind::Created, static_cast<T>(relation))) << relation;
    }
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
    const struct { uint32_t attributes; AttributeFlags flags; bool include, exclude; } cases[] = {
        {AttributeHidden, Select({Hidden, System}), false, false},
        {AttributeHidden | AttributeSystem, Select({Hidden, System}), true, false},
        {AttributeArchive, Select({Index}), true, false},
        {AttributeArchive | AttributeNotContentIndexed, Select({Index}), false, true},
        {AttributeDirectory, Select({Sparse}), true, true},
        {AttributeTemporary | AttributeSparseFile, Select({Temporary, Sparse}), true, false},
        {AttributeDirectory, Select({Temporary, Hidden}), false, true},
        {AttributeReadOnly | AttributeReparsePoint, Select({ReadOnly, ReparsePoint, Archive}), false, false},
        {0, twos, true, true},
    };
    for (const auto& c : cases) {
        const FindData entry = NamedEntry("e", 0, c.attributes);
        EXPECT_EQ(MatchAttributes(entry, c.flags, AttributeRuleMode::Include), c.include) << c.attributes;
        EXPECT_EQ(MatchAttributes(entry, c.flags, AttributeRuleMode::Exclude), c.exclude) << c.attributes;
    }
}

}  // namespace
}  // namespace tolvane
