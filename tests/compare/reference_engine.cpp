#include "compare/reference_engine.h"

#include <algorithm>
#include <functional>

namespace tolvane::test {
namespace {

struct MatchFlags {
    bool inCombined = false, inContent = false, inName = false, inSize = false;
};

// The group being filled: numbered g, open once it has rows, its first row at start.
struct OpenGroup {
    GroupList& list;
    uint32_t g = 1;
    bool open = false;
    size_t start = 0;

    void Append(uint32_t record)
    {
        list.rows.push_back(record);
        list.groups.push_back(g);
    }
    // Adds member behind anchor, opening the group with anchor first.
    void Add(uint32_t anchor, bool& anchorFlag, uint32_t member)
    {
        if (!open) {
            anchorFlag = open = true;
            start = list.rows.size();
            Append(anchor);
        }
        Append(member);
    }
    void Close()
    {
        if (open) ++g;
        open = false;
    }
};

struct Reference {
    const FileRecords& records_;
    const CompareOptions options_;
    ContentSource& source_;
    CompareEngineHost& host_;
    CompareLists& lists_;
    const uint32_t count_ = records_.Count();
    std::vector<MatchFlags> flags_ = std::vector<MatchFlags>(count_);
    std::vector<bool> failedOpen_ = std::vector<bool>(count_, false);

    void Run()
    {
        lists_ = CompareLists{};
        lists_.truncated.assign(count_, 0);
        const CompareOptions& o = options_;
        const bool combinedOnly = o.combinedResult && o.combinedOnly;
        const auto ignoredZero = [&](uint32_t i) { return IsZero(i) && o.ignoreZeroSize; };

        if (Enter(o.matchSize && !(combinedOnly && !o.matchContent), ComparePhase::SizeGroups))
            AnchorScan(&MatchFlags::inSize, lists_.size, ignoredZero, [&](uint32_t i, uint32_t j) { return Size(i) == Size(j); });
        if (Enter(o.matchName && !combinedOnly, ComparePhase::NameGroups))
            AnchorScan(&MatchFlags::inName, lists_.name, [](uint32_t) { return false; }, [&](uint32_t i, uint32_t j) { return NamesMatch(i, j); });
        if (Enter(o.matchContent && !(combinedOnly && o.matchName), ComparePhase::ContentGroups))
            ContentGrouping(&MatchFlags::inContent, lists_.content, false);
        if (Enter(o.combinedResult && o.matchContent && o.matchName && !o.combinedOnly, ComparePhase::NameContentCombine))
            FromGroups(lists_.content, [&](uint32_t x) {
                return flags_[x].inContent && !flags_[x].inCombined && (!lists_.truncated[x] || !o.dontGroupTruncated);
            });
        if (Enter(o.combinedResult && o.matchContent && o.matchName && o.combinedOnly, ComparePhase::NameContentGroups))
            ContentGrouping(&MatchFlags::inCombined, lists_.combined, true);
        if (Enter(o.combinedResult && o.matchName && o.matchSize && !o.matchContent && !o.combinedOnly, ComparePhase::SizeNameCombine))
            FromGroups(lists_.size, [&](uint32_t x) { return flags_[x].inSize && !flags_[x].inCombined; });
        if (Enter(o.combinedResult && o.matchName && o.matchSize && !o.matchContent && o.combinedOnly, ComparePhase::SizeNameGroups))
            AnchorScan(&MatchFlags::inCombined, lists_.combined, ignoredZero,
                       [&](uint32_t i, uint32_t j) { return Size(i) == Size(j) && NamesMatch(i, j); });

        for (uint32_t r = 0; r < count_; ++r) {
            if (lists_.truncated[r]) lists_.truncatedRows.push_back(r);
            if (IsZero(r)) lists_.zeroSizeRows.push_back(r);
        }
        lists_.zeroSizeCount = static_cast<uint32_t>(lists_.zeroSizeRows.size());
    }

    bool Enter(bool runs, ComparePhase phase)
    {
        if (runs) host_.PhaseEntered(phase);
        return runs;
    }
    uint64_t Size(uint32_t r) const { return records_.Size(r); }
    bool IsZero(uint32_t r) const { return Size(r) == 0; }
    bool NamesMatch(uint32_t i, uint32_t j) const { return SameName(records_.FileName(i), records_.FileName(j), options_.ignoreCase); }

    void AnchorScan(bool MatchFlags::*flag, GroupList& list, const std::function<bool(uint32_t)>& neverAnchor,
                    const std::function<bool(uint32_t, uint32_t)>& matches)
    {
        OpenGroup group{list};
        for (uint32_t i = 0; i < count_; ++i) {
            if (flags_[i].*flag || neverAnchor(i)) continue;
            for (uint32_t j = i + 1; j < count_; ++j) {
                if (flags_[j].*flag || !matches(i, j)) continue;
                flags_[j].*flag = true;
                group.Add(i, flags_[i].*flag, j);
            }
            group.Close();
        }
    }

    // The group number of the first row of list that holds record, or 0.
    static uint32_t GroupOf(const GroupList& list, uint32_t record)
    {
        for (size_t r = 0; r < list.rows.size(); ++r) {
            if (list.rows[r] == record) return list.groups[r];
        }
        return 0;
    }

    void FromGroups(const GroupList& other, const std::function<bool(uint32_t)>& qualifies)
    {
        const GroupList& names = lists_.name;
        OpenGroup group{lists_.combined};
        for (size_t p = 0; p < names.rows.size(); ++p) {
            const uint32_t x = names.rows[p];
            if (!qualifies(x)) continue;
            for (size_t q = p + 1; q < names.rows.size() && names.groups[q] == names.groups[p]; ++q) {
                const uint32_t y = names.rows[q];
                if (!qualifies(y)) continue;
                const uint32_t gx = GroupOf(other, x);
                if (gx == 0 || gx != GroupOf(other, y)) continue;
                flags_[y].inCombined = true;
                group.Add(x, flags_[x].inCombined, y);
            }
            group.Close();
        }
    }

    // A file that failed to open once is not tried again (one error row per file and run).
    bool OpenFile(uint32_t record, std::unique_ptr<ContentReader>& handle)
    {
        if (failedOpen_[record]) return false;
        uint32_t errorCode = 0;
        if ((handle = source_.Open(record, records_.FullPath(record), errorCode))) return true;
        failedOpen_[record] = true;
        host_.AddCompareErrorEntry(records_.FullPath(record), errorCode);
        return false;
    }

    // Whether both files begin with the same m bytes, read whole; a file that
    // delivers fewer bytes than asked for makes them different.
    static bool SameBeginning(ContentReader& a, ContentReader& b, uint64_t m)
    {
        std::string x(m, '\0'), y(m, '\0');
        const int64_t wanted = static_cast<int64_t>(m);
        return a.Seek(0) && b.Seek(0) && ReadUpTo(a, x.data(), x.size()) == wanted &&
               ReadUpTo(b, y.data(), y.size()) == wanted && x == y;
    }

    void ContentGrouping(bool MatchFlags::*flag, GroupList& list, bool sameNameToo)
    {
        const bool dontGroup = options_.dontGroupTruncated;
        OpenGroup group{list};
        std::unique_ptr<ContentReader> a, b;

        for (uint32_t anchor = 0; anchor < count_; ++anchor) {
            if (flags_[anchor].*flag || IsZero(anchor)) continue;
            uint32_t i = anchor;
            for (uint32_t j = anchor + 1; j < count_; ++j) {
                if (flags_[j].*flag || IsZero(j)) continue;
                if (!options_.soTruncated && Size(j) != Size(i)) continue;
                if (sameNameToo && !NamesMatch(i, j)) continue;
                if (!a && !OpenFile(i, a)) break;
                if (!OpenFile(j, b)) continue;
                const bool same = SameBeginning(*a, *b, std::min(Size(i), Size(j)));
                b.reset();
                if (!same) continue;

                flags_[j].*flag = true;
                const bool duplicate = Size(i) == Size(j);
                if (duplicate || Size(i) > Size(j)) {
                    if (!duplicate) MarkTruncated(j);
                    if (duplicate || !dontGroup) group.Add(i, flags_[i].*flag, j);
                    continue;
                }
                // i is a truncated copy of j: j becomes the anchor.
                a.reset();
                MarkTruncated(i);
                if (dontGroup) {
                    // The open group holds the old anchor's duplicates: later
                    // duplicates of the new anchor must not join it.
                    group.Close();
                } else {
                    if (group.open) {
                        list.rows[group.start] = j;
                        for (size_t r = group.start + 1; r < list.rows.size(); ++r) {
                            if (!lists_.truncated[list.rows[r]]) MarkTruncated(list.rows[r]);
                        }
                    }
                    group.Add(j, flags_[i].*flag, i);
                }
                i = j;
            }
            a.reset(), b.reset();
            group.Close();
        }
    }

    void MarkTruncated(uint32_t record)
    {
        lists_.truncated[record] = 1;
        ++lists_.truncatedCount;
    }
};

}  // namespace

void RunReferencePhases(const FileRecords& records, const CompareOptions& countedOptions, ContentSource& source,
                        CompareEngineHost& host, CompareLists& lists)
{
    Reference{records, countedOptions, source, host, lists}.Run();
}

}  // namespace tolvane::test
