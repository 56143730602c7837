#include "compare/compare_engine.h"

#include <algorithm>
#include <new>

#include "compare/content_phase.h"
#include "compare/key_grouping.h"
#include "compare/one_name_per_file.h"
#include "compare/phase_plan.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tolvane {

CompareOptions CountedOptions(const CompareOptions& boxes)
{
    CompareOptions counted = boxes;
    counted.combinedResult = boxes.combinedResult && boxes.matchName && (boxes.matchContent || boxes.matchSize);
    counted.combinedOnly = boxes.combinedOnly && counted.combinedResult;
    return counted;
}

int64_t ReadUpTo(ContentReader& reader, void* buffer, size_t count)
{
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t total = 0;
    while (total < count) {
        const int64_t got = reader.Read(bytes + total, count - total);
        if (got < 0) return total > 0 ? static_cast<int64_t>(total) : -1;
        if (got == 0) break;
        total += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(total);
}

namespace {

class FileReader : public ContentReader {
public:
    explicit FileReader(platform::File file) : file_(std::move(file)) {}
    int64_t Read(void* buffer, size_t count) override { return file_.Read(buffer, count); }
    bool Seek(uint64_t offset) override { return file_.Seek(offset); }

private:
    platform::File file_;
};

}  // namespace

std::unique_ptr<ContentReader> FileContentSource::Open(uint32_t, const std::string& fullPath, uint32_t& errorCode)
{
    platform::File file;
    if (!file.OpenForReading(fullPath)) {
        errorCode = platform::LastError();
        return nullptr;
    }
    return std::make_unique<FileReader>(std::move(file));
}

namespace {

// The share of a phase's steps done, reported as it changes; 100 only once
// the phase is done.
class StepProgress {
public:
    StepProgress(CompareEngineHost& host, uint64_t steps) : host_(host), steps_(std::max<uint64_t>(steps, 1))
    {
        host_.ReportProgress({});
    }
    void Done(uint64_t step)
    {
        const int percent = static_cast<int>(std::min<uint64_t>(99, step * 100 / steps_));
        if (percent == lastPercent_) return;
        lastPercent_ = percent;
        host_.ReportProgress({.percent = percent});
    }
    void Finish() { host_.ReportProgress({.percent = 100}); }

private:
    CompareEngineHost& host_;
    const uint64_t steps_;
    int lastPercent_ = 0;
};

class Engine {
public:
    Engine(const FileRecords& records, const CompareOptions& options, ContentSource& source, CompareEngineHost& host,
           std::atomic<bool>& stopRequested, CompareLists& lists, const ContentLimits& limits)
        : records_(records), options_(options), source_(source), host_(host), stop_(stopRequested), lists_(lists),
          limits_(limits), count_(records.Count())
    {
    }

    void Run()
    {
        lists_ = CompareLists{};
        lists_.truncated.assign(count_, 0);
        for (const ComparePhase phase : PlanPhases(options_)) {
            host_.PhaseEntered(phase);
            RunPhase(phase);
        }

        for (uint32_t r = 0; r < count_; ++r) {
            if (records_.Size(r) == 0) ++lists_.zeroSizeCount;
        }
        if (lists_.truncatedCount > 0) {
            lists_.truncatedRows.reserve(lists_.truncatedCount);
            for (uint32_t r = 0; r < count_; ++r) {
                if (lists_.truncated[r]) lists_.truncatedRows.push_back(r);
            }
        }
        if (lists_.zeroSizeCount > 0) {
            lists_.zeroSizeRows.reserve(lists_.zeroSizeCount);
            for (uint32_t r = 0; r < count_; ++r) {
                if (records_.Size(r) == 0) lists_.zeroSizeRows.push_back(r);
            }
        }
    }

private:
    void RunPhase(ComparePhase phase)
    {
        switch (phase) {
        case ComparePhase::SizeGroups:
            sizeGroupOf_.assign(count_, 0);
            GroupBySizeAndName(true, false, lists_.size, &sizeGroupOf_);
            break;
        case ComparePhase::NameGroups: GroupBySizeAndName(false, true, lists_.name, nullptr); break;
        case ComparePhase::ContentGroups: GroupByContent(false, lists_.content); break;
        case ComparePhase::NameContentCombine: CombineWithContentGroups(); break;
        case ComparePhase::NameContentGroups: GroupByContent(true, lists_.combined); break;
        case ComparePhase::SizeNameCombine:
            CombineWithNameGroups(sizeGroupOf_);
            KeepOneNamePerFile(records_, source_, lists_.combined);
            break;
        case ComparePhase::SizeNameGroups:
            GroupBySizeAndName(true, true, lists_.combined, nullptr);
            KeepOneNamePerFile(records_, source_, lists_.combined);
            break;
        }
    }

    // A truncated copy kept out of the content groups stays out of the
    // combination too.
    void CombineWithContentGroups()
    {
        std::vector<uint32_t> contentGroupOf(count_, 0);
        for (size_t r = 0; r < lists_.content.rows.size(); ++r) {
            const uint32_t record = lists_.content.rows[r];
            if (!lists_.truncated[record] || !options_.dontGroupTruncated) {
                contentGroupOf[record] = lists_.content.groups[r];
            }
        }
        CombineWithNameGroups(contentGroupOf);
    }

    bool SkipsZeroSize(uint32_t record) const { return options_.ignoreZeroSize && records_.Size(record) == 0; }

    // Size grouping, name grouping, and size + name grouping of the records.
    void GroupBySizeAndName(bool bySize, bool byName, GroupList& list, std::vector<uint32_t>* groupOf)
    {
        // Keying the records is the first half of the work, grouping the keys the second.
        StepProgress progress(host_, 2 * uint64_t{count_});
        std::vector<KeyedRecord> keyed;
        keyed.reserve(count_);
        const bool ignoreCase = options_.ignoreCase;
        for (uint32_t r = 0; r < count_; ++r) {
            progress.Done(r);
            if (bySize && SkipsZeroSize(r)) continue;
            const uint64_t size = records_.Size(r);
            const uint64_t name = byName ? NameHash(records_.FileName(r), ignoreCase) : 0;
            keyed.push_back({bySize && byName ? Mix(size, name) : (bySize ? size : name), r});
        }
        Classes classes;
        GroupByKey(
            keyed,
            [&](uint32_t a, uint32_t b) {
                return (!bySize || records_.Size(a) == records_.Size(b)) &&
                       (!byName || SameName(records_.FileName(a), records_.FileName(b), ignoreCase));
            },
            classes);
        AppendClasses(classes, list, groupOf);
        progress.Finish();
    }

    // Within each name group, the records that share a group of the other
    // list (0: none) form the combined groups, in name-list order.
    void CombineWithNameGroups(const std::vector<uint32_t>& otherGroupOf)
    {
        const GroupList& names = lists_.name;
        const size_t nameCount = names.rows.size();
        std::vector<KeyedRecord> keyed;
        Classes classes;
        StepProgress progress(host_, nameCount);
        for (size_t p = 0; p < nameCount;) {
            progress.Done(p);
            size_t q = p;
            keyed.clear();
            for (; q < nameCount && names.groups[q] == names.groups[p]; ++q) {
                const uint32_t record = names.rows[q];
                if (otherGroupOf[record] != 0) keyed.push_back({otherGroupOf[record], record});
            }
            GroupByKey(keyed, [](uint32_t, uint32_t) { return true; }, classes);
            AppendClasses(classes, lists_.combined, nullptr);
            p = q;
        }
        progress.Finish();
    }

    void GroupByContent(bool sameNameToo, GroupList& list)
    {
        const bool ignoreCase = options_.ignoreCase;
        const bool bySize = !options_.soTruncated;
        std::vector<KeyedRecord> keyed;
        keyed.reserve(count_);
        for (uint32_t r = 0; r < count_; ++r) {
            const uint64_t size = records_.Size(r);
            if (size == 0) continue;
            const uint64_t name = sameNameToo ? NameHash(records_.FileName(r), ignoreCase) : 0;
            keyed.push_back({bySize ? Mix(size, name) : name, r});
        }
        Classes sets;
        GroupByKey(
            keyed,
            [&](uint32_t a, uint32_t b) {
                return (!bySize || records_.Size(a) == records_.Size(b)) &&
                       (!sameNameToo || SameName(records_.FileName(a), records_.FileName(b), ignoreCase));
            },
            sets);
        std::vector<KeyedRecord>().swap(keyed);  // let go before the sets are compared
        KeepOneNamePerFile(records_, source_, sets.members, sets.ends);
        GroupSetsByContent(records_, options_, source_, host_, stop_, limits_, sets, lists_, list);
    }

    const FileRecords& records_;
    const CompareOptions options_;
    ContentSource& source_;
    CompareEngineHost& host_;
    std::atomic<bool>& stop_;
    CompareLists& lists_;
    const ContentLimits limits_;
    const uint32_t count_;
    std::vector<uint32_t> sizeGroupOf_;
};

}  // namespace


CompareOutcome RunComparePhases(const FileRecords& records, const CompareOptions& countedOptions,
                                ContentSource& source, CompareEngineHost& host, std::atomic<bool>& stopRequested,
                                CompareLists& lists, const ContentLimits& limits)
{
    try {
        Engine(records, countedOptions, source, host, stopRequested, lists, limits).Run();
    } catch (const std::bad_alloc&) {
        lists = CompareLists{};
        return CompareOutcome::OutOfMemory;
    }
    return CompareOutcome::Completed;
}

}  // namespace tolvane
