#include "compare/compare_engine.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "compare/one_name_per_file.h"
#include "platform/fs.h"
#include "platform/error.h"

namespace tolvane {

CompareOptions CountedOptions(const CompareOptions& boxes)
{
    CompareOptions counted = boxes;
    counted.combinedResult = boxes.combinedResult && boxes.matchName && (boxes.matchContent || boxes.matchSize);
    counted.combinedOnly = boxes.combinedOnly && counted.combinedResult;
    return counted;
}

namespace {

char FoldLatin(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

bool SameName(std::string_view a, std::string_view b, bool ignoreCase)
{
    if (a.size() != b.size()) return false;
    if (!ignoreCase) return a == b;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldLatin(a[i]) != FoldLatin(b[i])) return false;
    }
    return true;
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

constexpr uint32_t None = std::numeric_limits<uint32_t>::max();

// ---------------------------------------------------------------------------
// Grouping by key. An anchor scan over an equivalence gives exactly its
// classes of two or more members, ordered by their lowest record, each in
// record order; sorting by key finds them without comparing every pair.

struct KeyedRecord {
    uint64_t hash;
    uint32_t record;
};

// The classes found, flattened: class c holds members[ends[c-1] .. ends[c]).
struct Classes {
    std::vector<uint32_t> members;
    std::vector<uint32_t> ends;

    size_t Count() const { return ends.size(); }
    uint32_t Begin(size_t c) const { return c == 0 ? 0 : ends[c - 1]; }
};

// keyed is sorted in place. equal decides between records of the same hash,
// so a hash collision never joins two different keys.
template <typename Equal>
void GroupByKey(std::vector<KeyedRecord>& keyed, Equal equal, Classes& out)
{
    out.members.clear();
    out.ends.clear();
    std::sort(keyed.begin(), keyed.end(), [](const KeyedRecord& x, const KeyedRecord& y) {
        return x.hash != y.hash ? x.hash < y.hash : x.record < y.record;
    });

    struct Found {
        uint32_t first;
        uint32_t begin;
        uint32_t end;
    };
    std::vector<Found> found;
    std::vector<uint32_t> members;
    std::vector<uint8_t> taken;
    const size_t total = keyed.size();
    for (size_t a = 0; a < total;) {
        size_t b = a + 1;
        while (b < total && keyed[b].hash == keyed[a].hash) ++b;
        if (b - a >= 2) {
            // Nearly always one key per hash; split the run only after a collision.
            taken.assign(b - a, 0);
            for (size_t t = a; t < b; ++t) {
                if (taken[t - a]) continue;
                const uint32_t begin = static_cast<uint32_t>(members.size());
                members.push_back(keyed[t].record);
                for (size_t u = t + 1; u < b; ++u) {
                    if (!taken[u - a] && equal(keyed[t].record, keyed[u].record)) {
                        taken[u - a] = 1;
                        members.push_back(keyed[u].record);
                    }
                }
                const uint32_t end = static_cast<uint32_t>(members.size());
                if (end - begin >= 2) {
                    found.push_back({keyed[t].record, begin, end});
                } else {
                    members.pop_back();
                }
            }
        }
        a = b;
    }
    std::sort(found.begin(), found.end(), [](const Found& x, const Found& y) { return x.first < y.first; });
    out.members.reserve(members.size());
    out.ends.reserve(found.size());
    for (const Found& f : found) {
        out.members.insert(out.members.end(), members.begin() + f.begin, members.begin() + f.end);
        out.ends.push_back(static_cast<uint32_t>(out.members.size()));
    }
}

void AppendClasses(const Classes& classes, GroupList& list, std::vector<uint32_t>* groupOf)
{
    uint32_t group = static_cast<uint32_t>(list.groups.empty() ? 0 : list.groups.back());
    for (size_t c = 0; c < classes.Count(); ++c) {
        ++group;
        for (uint32_t m = classes.Begin(c); m < classes.ends[c]; ++m) {
            list.rows.push_back(classes.members[m]);
            list.groups.push_back(group);
            if (groupOf) (*groupOf)[classes.members[m]] = group;
        }
    }
}

uint64_t NameHash(std::string_view name, bool ignoreCase)
{
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= static_cast<uint8_t>(ignoreCase ? FoldLatin(c) : c);
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t Mix(uint64_t a, uint64_t b)
{
    a ^= b + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2);
    a ^= a >> 31;
    a *= 0xBF58476D1CE4E5B9ull;
    return a ^ (a >> 29);
}

// ---------------------------------------------------------------------------
// Content grouping.
//
// Files are compared only within a set that can hold matches: equal size
// (and name, for the combined phase), or with truncated copies every file of
// the set (same name for the combined phase). Each set is sorted by content
// while its files are read once, in step, piece by piece: a piece splits the
// set into smaller sets that agree so far, and a file left alone stops being
// read. The sorted order puts a file right after every file that is its
// beginning, so the anchor scan's matches become ranges and chains of that
// order, and the scan is replayed on it without reading anything again.

// Sorted before any continuation: a file that ended (all its bytes read), then
// a file that is known only up to here (it was left alone, or delivered fewer
// bytes than listed), then files that go on.
enum SlotState : uint8_t { Complete = 0, Leaf = 1, Reading = 2 };

struct Slot {
    uint32_t record;
    uint64_t size;
    uint64_t known;  // bytes read and agreed so far
    SlotState state;
    std::unique_ptr<ContentReader> reader;
};

// A place in the sorted order: the files of equal complete content (a class),
// or one leaf. A class's subtree is every position from its first to
// subtreeEnd: the files that begin with its content.
struct Node {
    uint32_t first;
    uint32_t last;
    uint32_t subtreeEnd;
    uint32_t parent;  // the nearest class whose content is a proper beginning of this one
    uint32_t head;  // lowest position of the class not yet taken
    bool isClass;
};

// Minimum over positions of the slot (= record order) not yet taken.
class MinTree {
public:
    void Reset(size_t count)
    {
        size_ = 1;
        while (size_ < count) size_ <<= 1;
        tree_.assign(2 * size_, None);
    }
    void Set(size_t position, uint32_t value)
    {
        size_t i = position + size_;
        tree_[i] = value;
        for (i >>= 1; i > 0; i >>= 1) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }
    uint32_t Min(size_t first, size_t last) const
    {
        uint32_t best = None;
        for (size_t l = first + size_, r = last + size_ + 1; l < r; l >>= 1, r >>= 1) {
            if (l & 1) best = std::min(best, tree_[l++]);
            if (r & 1) best = std::min(best, tree_[--r]);
        }
        return best;
    }

private:
    size_t size_ = 1;
    std::vector<uint32_t> tree_;
};

struct PendingGroup {
    uint32_t anchor;
    uint32_t sequence;
    uint32_t begin;
    uint32_t end;
};

// A fast 64-bit digest of a stream of bytes, four lanes of eight bytes at a
// time. It only ever splits a set of files: files it puts together are still
// compared byte by byte.
class StreamDigest {
public:
    void Add(const uint8_t* bytes, size_t count)
    {
        size_t i = 0;
        for (; i + 32 <= count; i += 32) {
            for (int lane = 0; lane < 4; ++lane) lanes_[lane] = Round(lanes_[lane], Word(bytes + i + 8 * lane));
        }
        for (; i + 8 <= count; i += 8) lanes_[0] = Round(lanes_[0], Word(bytes + i));
        for (; i < count; ++i) lanes_[1] = Round(lanes_[1], bytes[i]);
        length_ += count;
    }
    uint64_t Value() const
    {
        uint64_t h = length_ * 0x9E3779B97F4A7C15ull;
        for (uint64_t lane : lanes_) h = Round(h ^ lane, lane >> 17);
        return h ^ (h >> 32);
    }

private:
    static uint64_t Word(const uint8_t* bytes)
    {
        uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }
    static uint64_t Round(uint64_t lane, uint64_t input)
    {
        lane += input * 0xC2B2AE3D27D4EB4Full;
        lane = (lane << 31) | (lane >> 33);
        return lane * 0x9E3779B185EBCA87ull;
    }
    uint64_t lanes_[4] = {1, 2, 3, 4};
    uint64_t length_ = 0;
};

class ContentPhase {
public:
    ContentPhase(const FileRecords& records, const CompareOptions& options, ContentSource& source,
                 CompareEngineHost& host, std::atomic<bool>& stopRequested, CompareLists& lists,
                 const ContentLimits& limits)
        : records_(records), options_(options), source_(source), host_(host), stop_(stopRequested),
          lists_(lists), limits_(limits)
    {
    }

    // Groups the files of every set, in the order of each set's lowest
    // record, and writes the groups in anchor order into list.
    void Run(const Classes& sets, GroupList& list)
    {
        for (uint32_t record : sets.members) totalBytes_ += records_.Size(record);
        bool completed = true;
        for (size_t s = 0; s < sets.Count(); ++s) {
            const uint32_t begin = sets.Begin(s);
            setBytes_ = 0;
            for (uint32_t m = begin; m < sets.ends[s]; ++m) setBytes_ += records_.Size(sets.members[m]);
            setBytesDone_ = 0;
            if (!GroupSet(&sets.members[begin], sets.ends[s] - begin)) {
                stop_.store(false);
                completed = false;
                break;
            }
            bytesDone_ += setBytes_;
            setBytesDone_ = 0;
            Progress();
        }
        if (completed) host_.ReportProgress(100);
        std::sort(pending_.begin(), pending_.end(), [](const PendingGroup& x, const PendingGroup& y) {
            return x.anchor != y.anchor ? x.anchor < y.anchor : x.sequence < y.sequence;
        });
        uint32_t group = 0;
        for (const PendingGroup& p : pending_) {
            ++group;
            for (uint32_t r = p.begin; r < p.end; ++r) {
                list.rows.push_back(pendingRows_[r]);
                list.groups.push_back(group);
            }
        }
    }

private:
    // The share of the bytes of all sets that were compared, or left unread
    // because their file was known to match nothing more. Files read a second
    // time to confirm a digest count once, so 100 is reported only at the end.
    void Progress()
    {
        if (totalBytes_ == 0) return;
        const uint64_t done = bytesDone_ + std::min(setBytesDone_, setBytes_);
        const int percent = static_cast<int>(std::min<uint64_t>(99, done * 100 / totalBytes_));
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            host_.ReportProgress(percent);
        }
    }

    void Settled(const Slot& slot) { setBytesDone_ += slot.size - std::min(slot.size, slot.known); }

    size_t ChunkFor(size_t files, uint64_t longestRest) const
    {
        size_t chunk = limits_.bufferBudget / std::max<size_t>(files, 1);
        chunk = std::clamp(chunk, limits_.smallestChunk, std::max(limits_.smallestChunk, limits_.largestChunk));
        return static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(chunk, longestRest)));
    }

    void CloseReader(Slot& slot)
    {
        if (slot.reader) {
            slot.reader.reset();
            --openFiles_;
        }
    }

    void ReportUnreadable(uint32_t record, uint32_t errorCode)
    {
        host_.AddCompareErrorEntry(records_.FullPath(record), errorCode);
    }

    // Reads the slot's next piece of at most chunk bytes into buffer and
    // updates its state; returns the number of bytes read.
    size_t ReadPiece(Slot& slot, uint8_t* buffer, size_t chunk)
    {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(chunk, slot.size - slot.known));
        if (!slot.reader) {
            uint32_t errorCode = 0;
            slot.reader = source_.Open(slot.record, records_.FullPath(slot.record), errorCode);
            if (!slot.reader) {
                // Gone since it was first read: it matches nothing more.
                ReportUnreadable(slot.record, errorCode);
                slot.state = Leaf;
                return 0;
            }
            ++openFiles_;
            if (slot.known > 0 && !slot.reader->Seek(slot.known)) {
                slot.state = Leaf;
                CloseReader(slot);
                return 0;
            }
        }
        const int64_t got = ReadUpTo(*slot.reader, buffer, wanted);
        const size_t read = got < 0 ? 0 : static_cast<size_t>(got);
        slot.known += read;
        setBytesDone_ += read;
        size_t agreed = read;
        if (read < wanted) {
            slot.state = Leaf;  // fewer bytes than listed: never compared beyond them
        } else if (slot.known < slot.size) {
            slot.state = Reading;
        } else if (read > 0 && GoesOn(*slot.reader)) {
            // Longer than listed: it changed since the walk, so it cannot equal
            // a file of its listed size. Its last byte is left out, which makes
            // it a file known only up to there.
            slot.state = Leaf;
            --slot.known;
            --agreed;
        } else {
            slot.state = Complete;
        }
        if (slot.state != Reading || (openFiles_ > limits_.openFiles && !readingWhole_)) CloseReader(slot);
        return agreed;
    }

    static bool GoesOn(ContentReader& reader)
    {
        uint8_t extra = 0;
        return reader.Read(&extra, 1) > 0;
    }

    struct Piece {
        uint32_t slot;
        uint32_t length;
        const uint8_t* bytes;
    };

    // Bytes the two pieces agree on: blocks compared with memcmp, which is
    // vectorised, then the differing block byte by byte.
    static size_t CommonPrefix(const Piece& x, const Piece& y)
    {
        constexpr size_t Block = 256;
        const size_t n = std::min(x.length, y.length);
        size_t agreed = 0;
        while (agreed + Block <= n && std::memcmp(x.bytes + agreed, y.bytes + agreed, Block) == 0) agreed += Block;
        while (agreed < n && x.bytes[agreed] == y.bytes[agreed]) ++agreed;
        return agreed;
    }

    // A read buffer of at least bytes, grown by doubling and never cleared:
    // every byte used is read first.
    uint8_t* Buffer(size_t bytes)
    {
        if (bytes > bufferSize_) {
            bufferSize_ = std::max(bytes, 2 * bufferSize_);
            buffer_.reset(new uint8_t[bufferSize_]);
        }
        return buffer_.get();
    }

    bool Before(const Piece& x, const Piece& y) const
    {
        const size_t n = std::min(x.length, y.length);
        const int order = std::memcmp(x.bytes, y.bytes, n);
        if (order != 0) return order < 0;
        if (x.length != y.length) return x.length < y.length;
        const Slot& a = slots_[x.slot];
        const Slot& b = slots_[y.slot];
        if (a.state != b.state) return a.state < b.state;
        return x.slot < y.slot;
    }

    struct Work {
        uint32_t begin;
        uint32_t end;
        uint64_t offset;
    };

    // Sorts positions [begin, end) of order_ by the pieces just read (all of
    // them agreeing on the offset bytes before), sets the lcp_ between
    // neighbours, and queues the runs of files that agree on the whole piece
    // and go on.
    void Split(uint32_t begin, uint32_t end, uint64_t offset, size_t chunk)
    {
        std::sort(pieces_.begin(), pieces_.end(), [this](const Piece& x, const Piece& y) { return Before(x, y); });
        for (uint32_t t = 0; t < end - begin; ++t) {
            order_[begin + t] = pieces_[t].slot;
            if (t > 0) lcp_[begin + t] = offset + CommonPrefix(pieces_[t - 1], pieces_[t]);
        }
        const uint64_t whole = offset + chunk;
        for (uint32_t t = begin; t < end;) {
            uint32_t u = t + 1;
            if (slots_[order_[t]].state == Reading) {
                while (u < end && slots_[order_[u]].state == Reading && lcp_[u] == whole) ++u;
                if (u - t >= 2) {
                    work_.push_back({t, u, whole});
                } else {
                    slots_[order_[t]].state = Leaf;  // alone: nothing else begins like it
                    CloseReader(slots_[order_[t]]);
                    Settled(slots_[order_[t]]);
                }
            }
            t = u;
        }
    }

    bool SameSize(const Work& item) const
    {
        const uint64_t size = slots_[order_[item.begin]].size;
        for (uint32_t p = item.begin + 1; p < item.end; ++p) {
            if (slots_[order_[p]].size != size) return false;
        }
        return true;
    }

    struct Digested {
        uint64_t digest;
        uint32_t slot;
        SlotState state;
    };

    // Reads the rest of each file of the range, file after file, and sorts
    // the range by the digest of that rest: files of different digests
    // differ. Runs of equal digest are then confirmed byte by byte, in step
    // when they are few, against their first file when they are many.
    bool PartitionByDigest(const Work& item)
    {
        std::vector<Digested> digested;
        digested.reserve(item.end - item.begin);
        const uint64_t rest = slots_[order_[item.begin]].size - item.offset;
        const size_t piece = static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(limits_.largestChunk, rest)));
        uint8_t* buffer = Buffer(piece);
        readingWhole_ = true;
        for (uint32_t p = item.begin; p < item.end; ++p) {
            Slot& slot = slots_[order_[p]];
            StreamDigest digest;
            while (slot.state == Reading) {
                const size_t read = ReadPiece(slot, buffer, piece);
                digest.Add(buffer, read);
                if (stop_.load()) break;
            }
            CloseReader(slot);
            if (stop_.load()) {
                readingWhole_ = false;
                for (uint32_t q = item.begin; q < item.end; ++q) slots_[order_[q]].state = Leaf;
                return false;
            }
            digested.push_back({digest.Value(), order_[p], slot.state});
            Progress();
        }
        readingWhole_ = false;
        std::sort(digested.begin(), digested.end(), [](const Digested& x, const Digested& y) {
            if (x.state != y.state) return x.state < y.state;
            return x.digest != y.digest ? x.digest < y.digest : x.slot < y.slot;
        });
        for (uint32_t t = 0; t < digested.size(); ++t) {
            order_[item.begin + t] = digested[t].slot;
            if (t > 0) lcp_[item.begin + t] = item.offset;
        }
        for (uint32_t t = 0; t < digested.size();) {
            uint32_t u = t + 1;
            if (digested[t].state == Complete) {
                while (u < digested.size() && digested[u].state == Complete && digested[u].digest == digested[t].digest) ++u;
            }
            const uint32_t begin = item.begin + t;
            const uint32_t end = item.begin + u;
            if (u - t == 1) {
                slots_[order_[begin]].state = Leaf;
            } else {
                for (uint32_t p = begin; p < end; ++p) {
                    slots_[order_[p]].state = Reading;
                    slots_[order_[p]].known = item.offset;
                }
                if (u - t <= limits_.openFiles) {
                    work_.push_back({begin, end, item.offset});
                } else if (!ConfirmAgainstFirst(begin, end, item.offset)) {
                    return false;
                }
            }
            t = u;
        }
        return true;
    }

    std::unique_ptr<ContentReader> OpenAt(Slot& slot, uint64_t offset)
    {
        uint32_t errorCode = 0;
        std::unique_ptr<ContentReader> reader = source_.Open(slot.record, records_.FullPath(slot.record), errorCode);
        if (!reader) {
            ReportUnreadable(slot.record, errorCode);
        } else if (offset > 0 && !reader->Seek(offset)) {
            reader.reset();
        }
        if (!reader) slot.state = Leaf;
        return reader;
    }

    // True when the two readers deliver the same rest bytes and nothing more.
    bool SameRest(ContentReader& a, ContentReader& b, uint64_t rest)
    {
        const size_t piece = static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(limits_.largestChunk, rest)));
        uint8_t* x = Buffer(2 * piece);
        uint8_t* y = x + piece;
        while (rest > 0) {
            const size_t wanted = static_cast<size_t>(std::min<uint64_t>(piece, rest));
            if (ReadUpTo(a, x, wanted) != static_cast<int64_t>(wanted)) return false;
            if (ReadUpTo(b, y, wanted) != static_cast<int64_t>(wanted)) return false;
            if (std::memcmp(x, y, wanted) != 0) return false;
            rest -= wanted;
        }
        return !GoesOn(a) && !GoesOn(b);
    }

    // Confirms a large run of files of one size and digest by comparing each
    // with the run's first file, which stays open; files that differ from it
    // (a digest collision) are confirmed the same way among themselves.
    bool ConfirmAgainstFirst(uint32_t begin, uint32_t end, uint64_t offset)
    {
        // Two files are open at once here: every other file is closed first.
        for (Slot& slot : slots_) CloseReader(slot);
        while (end - begin >= 2) {
            Slot& first = slots_[order_[begin]];
            std::unique_ptr<ContentReader> firstReader = OpenAt(first, 0);
            if (!firstReader) {
                ++begin;
                continue;
            }
            std::vector<uint32_t> same{order_[begin]};
            std::vector<uint32_t> other;
            std::vector<uint32_t> gone;
            for (uint32_t p = begin + 1; p < end; ++p) {
                Slot& slot = slots_[order_[p]];
                std::unique_ptr<ContentReader> reader = OpenAt(slot, offset);
                if (stop_.load()) return false;
                if (!reader) {
                    gone.push_back(order_[p]);
                    continue;
                }
                if (firstReader->Seek(offset) && SameRest(*firstReader, *reader, first.size - offset)) {
                    same.push_back(order_[p]);
                } else {
                    other.push_back(order_[p]);
                }
                if (stop_.load()) return false;
            }
            uint32_t p = begin;
            for (uint32_t slot : same) {
                slots_[slot].state = same.size() >= 2 ? Complete : Leaf;
                slots_[slot].known = slots_[slot].size;
                order_[p] = slot;
                if (p > begin) lcp_[p] = slots_[slot].size;
                ++p;
            }
            for (uint32_t slot : other) {
                order_[p] = slot;
                lcp_[p] = offset;
                ++p;
            }
            // Files that could not be opened again go to the end, alone.
            for (uint32_t slot : gone) {
                order_[p] = slot;
                lcp_[p] = offset;
                ++p;
            }
            begin += static_cast<uint32_t>(same.size());
            end = begin + static_cast<uint32_t>(other.size());
        }
        if (end - begin == 1) slots_[order_[begin]].state = Leaf;
        return true;
    }

    // After a stop: every file not yet placed, and every file of the
    // positions [begin, end) whose last piece was not compared, is known only
    // as far as it was compared. The files already found equal, or the
    // beginning of another, keep their groups.
    void SettleUnfinished(uint32_t begin, uint32_t end)
    {
        for (uint32_t p = begin; p < end; ++p) slots_[order_[p]].state = Leaf;
        for (Slot& slot : slots_) {
            if (slot.state == Reading) slot.state = Leaf;
        }
        work_.clear();
    }

    // Reads the set's files, in record order, until every file is known well
    // enough to place it in the sorted order. False after a stop request,
    // with the files placed as far as they were compared.
    bool SortByContent(const uint32_t* members, uint32_t count)
    {
        slots_.clear();
        uint64_t longest = 0;
        for (uint32_t m = 0; m < count; ++m) longest = std::max(longest, records_.Size(members[m]));
        const size_t chunk = std::min(ChunkFor(count, longest), std::max(limits_.firstPiece, limits_.smallestChunk));
        uint8_t* buffer = Buffer(chunk * count);
        pieces_.clear();
        bool anyOpened = false;
        for (uint32_t m = 0; m < count; ++m) {
            // The last file of a set whose other files could not be opened has
            // nothing to be compared with: it is not opened.
            if (m + 1 == count && !anyOpened) break;
            const uint32_t record = members[m];
            uint32_t errorCode = 0;
            std::unique_ptr<ContentReader> reader = source_.Open(record, records_.FullPath(record), errorCode);
            if (!reader) {
                ReportUnreadable(record, errorCode);
                // A stop (a Cancel, or "Too many errors!" from that report)
                // ends the phase here, before any further unopenable file adds
                // a row or asks again.
                if (stop_.load()) break;
                continue;
            }
            anyOpened = true;
            ++openFiles_;
            slots_.push_back(Slot{record, records_.Size(record), 0, Reading, std::move(reader)});
            uint8_t* bytes = buffer + chunk * (slots_.size() - 1);
            const size_t read = ReadPiece(slots_.back(), bytes, chunk);
            pieces_.push_back({static_cast<uint32_t>(slots_.size() - 1), static_cast<uint32_t>(read), bytes});
            Progress();
            if (stop_.load()) break;
        }
        const bool stopped = stop_.load();
        const uint32_t files = static_cast<uint32_t>(slots_.size());
        order_.assign(files, 0);
        lcp_.assign(files, 0);
        work_.clear();
        if (files == 0) return !stopped;
        Split(0, files, 0, chunk);
        if (stopped) {
            SettleUnfinished(0, 0);
            return false;
        }

        while (!work_.empty()) {
            const Work item = work_.back();
            work_.pop_back();
            if (item.end - item.begin > limits_.openFiles && limits_.openFiles >= 1 && SameSize(item)) {
                // Too many to read in step without reopening each file for
                // every piece: each file is read once to its end instead.
                if (!PartitionByDigest(item)) {
                    SettleUnfinished(0, 0);
                    return false;
                }
                continue;
            }
            uint64_t longestRest = 0;
            for (uint32_t p = item.begin; p < item.end; ++p) {
                longestRest = std::max(longestRest, slots_[order_[p]].size - item.offset);
            }
            const size_t piece = ChunkFor(item.end - item.begin, longestRest);
            uint8_t* pieceBuffer = Buffer(piece * (item.end - item.begin));
            pieces_.clear();
            for (uint32_t p = item.begin; p < item.end; ++p) {
                uint8_t* bytes = pieceBuffer + piece * (p - item.begin);
                const size_t read = ReadPiece(slots_[order_[p]], bytes, piece);
                pieces_.push_back({order_[p], static_cast<uint32_t>(read), bytes});
                Progress();
                if (stop_.load()) {
                    SettleUnfinished(item.begin, item.end);
                    return false;
                }
            }
            Split(item.begin, item.end, item.offset, piece);
        }
        return true;
    }

    void BuildNodes()
    {
        const uint32_t files = static_cast<uint32_t>(order_.size());
        nodes_.clear();
        nodeOf_.assign(files, None);
        std::vector<uint32_t> open;  // classes that are a beginning of the current position
        for (uint32_t p = 0; p < files; ++p) {
            const Slot& slot = slots_[order_[p]];
            if (p > 0) {
                while (!open.empty() && slots_[order_[nodes_[open.back()].first]].size > lcp_[p]) {
                    nodes_[open.back()].subtreeEnd = p - 1;
                    open.pop_back();
                }
                const uint32_t previous = nodeOf_[p - 1];
                if (slot.state == Complete && nodes_[previous].isClass &&
                    slots_[order_[p - 1]].size == slot.size && lcp_[p] == slot.size) {
                    nodeOf_[p] = previous;
                    nodes_[previous].last = p;
                    continue;
                }
            }
            const bool isClass = slot.state == Complete;
            nodes_.push_back(Node{p, p, p, open.empty() ? None : open.back(), p, isClass});
            nodeOf_[p] = static_cast<uint32_t>(nodes_.size() - 1);
            if (isClass) open.push_back(nodeOf_[p]);
        }
        for (uint32_t node : open) nodes_[node].subtreeEnd = files - 1;
    }

    void Take(uint32_t position)
    {
        taken_[position] = 1;
        tree_.Set(position, None);
    }

    uint32_t Head(Node& node)
    {
        while (node.head <= node.last && taken_[node.head]) ++node.head;
        return node.head <= node.last ? order_[node.head] : None;
    }

    void MarkTruncated(uint32_t record)
    {
        if (!lists_.truncated[record]) {
            lists_.truncated[record] = 1;
            ++lists_.truncatedCount;
        }
    }

    void CloseGroup(uint32_t anchor)
    {
        const uint32_t end = static_cast<uint32_t>(pendingRows_.size());
        if (end > groupBegin_) pending_.push_back({anchor, sequence_++, groupBegin_, end});
        groupBegin_ = end;
    }

    // Replays the anchor scan over the sorted order: the next file an anchor
    // reaches is the lowest record among the files that begin with the
    // current anchor's content and the files that are a beginning of it.
    void ReplayScan()
    {
        const uint32_t files = static_cast<uint32_t>(order_.size());
        std::vector<uint32_t> positionOf(files);
        for (uint32_t p = 0; p < files; ++p) positionOf[order_[p]] = p;
        taken_.assign(files, 0);
        tree_.Reset(files);
        for (uint32_t p = 0; p < files; ++p) tree_.Set(p, order_[p]);
        const bool dontGroup = options_.dontGroupTruncated;

        for (uint32_t anchorSlot = 0; anchorSlot < files; ++anchorSlot) {
            if (taken_[positionOf[anchorSlot]]) continue;
            Take(positionOf[anchorSlot]);
            const uint32_t anchorRecord = slots_[anchorSlot].record;
            uint32_t current = nodeOf_[positionOf[anchorSlot]];
            uint32_t i = anchorRecord;
            groupBegin_ = static_cast<uint32_t>(pendingRows_.size());
            for (;;) {
                const Node& node = nodes_[current];
                uint32_t next = node.isClass ? tree_.Min(node.first, node.subtreeEnd) : None;
                bool beginning = false;
                for (uint32_t up = node.parent; up != None; up = nodes_[up].parent) {
                    const uint32_t head = Head(nodes_[up]);
                    if (head < next) {
                        next = head;
                        beginning = true;
                    }
                }
                if (next == None) break;
                const uint32_t position = positionOf[next];
                Take(position);
                const uint32_t j = slots_[next].record;
                const size_t rowsInGroup = pendingRows_.size() - groupBegin_;
                if (nodeOf_[position] == current || beginning) {
                    // An exact duplicate of the anchor, or a truncated copy of it.
                    if (beginning) {
                        MarkTruncated(j);
                        if (dontGroup) continue;
                    }
                    if (rowsInGroup == 0) pendingRows_.push_back(i);
                    pendingRows_.push_back(j);
                    continue;
                }
                // The anchor is a truncated copy of j, which becomes the anchor.
                MarkTruncated(i);
                if (!dontGroup) {
                    if (rowsInGroup == 0) {
                        pendingRows_.push_back(j);
                        pendingRows_.push_back(i);
                    } else {
                        pendingRows_[groupBegin_] = j;
                        for (size_t r = groupBegin_ + 1; r < pendingRows_.size(); ++r) MarkTruncated(pendingRows_[r]);
                        pendingRows_.push_back(i);
                    }
                } else if (rowsInGroup > 0) {
                    // The open group holds the old anchor's duplicates: the new
                    // anchor's duplicates start a group of their own.
                    CloseGroup(anchorRecord);
                }
                i = j;
                current = nodeOf_[position];
            }
            CloseGroup(anchorRecord);
        }
    }

    bool GroupSet(const uint32_t* members, uint32_t count)
    {
        const bool complete = SortByContent(members, count);
        BuildNodes();
        ReplayScan();
        for (Slot& slot : slots_) CloseReader(slot);
        slots_.clear();
        return complete;
    }

    const FileRecords& records_;
    const CompareOptions& options_;
    ContentSource& source_;
    CompareEngineHost& host_;
    std::atomic<bool>& stop_;
    CompareLists& lists_;
    const ContentLimits limits_;

    std::vector<Slot> slots_;  // the set's files in record order
    std::vector<uint32_t> order_;  // slots in content order
    std::vector<uint64_t> lcp_;  // bytes position p agrees on with position p - 1
    std::unique_ptr<uint8_t[]> buffer_;
    size_t bufferSize_ = 0;
    std::vector<Piece> pieces_;
    std::vector<Work> work_;
    std::vector<Node> nodes_;
    std::vector<uint32_t> nodeOf_;
    std::vector<uint8_t> taken_;
    MinTree tree_;
    size_t openFiles_ = 0;
    bool readingWhole_ = false;  // one file read to its end: kept open between pieces

    std::vector<uint32_t> pendingRows_;
    std::vector<PendingGroup> pending_;
    uint32_t groupBegin_ = 0;
    uint32_t sequence_ = 0;

    uint64_t totalBytes_ = 0;
    uint64_t bytesDone_ = 0;  // of the sets finished
    uint64_t setBytes_ = 0;
    uint64_t setBytesDone_ = 0;  // of the set being read
    int lastPercent_ = -1;
};

// ---------------------------------------------------------------------------

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
        const CompareOptions& o = options_;
        const bool combinedOnly = o.combinedResult && o.combinedOnly;

        if (o.matchSize && !(combinedOnly && !o.matchContent)) {
            host_.PhaseEntered(ComparePhase::SizeGroups);
            sizeGroupOf_.assign(count_, 0);
            GroupBySizeAndName(true, false, lists_.size, &sizeGroupOf_);
        }
        if (o.matchName && !combinedOnly) {
            host_.PhaseEntered(ComparePhase::NameGroups);
            GroupBySizeAndName(false, true, lists_.name, nullptr);
        }
        if (o.matchContent && !(combinedOnly && o.matchName)) {
            host_.PhaseEntered(ComparePhase::ContentGroups);
            GroupByContent(false, lists_.content);
        }
        if (o.combinedResult && o.matchContent && o.matchName && !o.combinedOnly) {
            host_.PhaseEntered(ComparePhase::NameContentCombine);
            std::vector<uint32_t> contentGroupOf(count_, 0);
            for (size_t r = 0; r < lists_.content.rows.size(); ++r) {
                const uint32_t record = lists_.content.rows[r];
                if (!lists_.truncated[record] || !o.dontGroupTruncated) contentGroupOf[record] = lists_.content.groups[r];
            }
            CombineWithNameGroups(contentGroupOf);
        }
        if (o.combinedResult && o.matchContent && o.matchName && o.combinedOnly) {
            host_.PhaseEntered(ComparePhase::NameContentGroups);
            GroupByContent(true, lists_.combined);
        }
        if (o.combinedResult && o.matchName && o.matchSize && !o.matchContent && !o.combinedOnly) {
            host_.PhaseEntered(ComparePhase::SizeNameCombine);
            CombineWithNameGroups(sizeGroupOf_);
        }
        if (o.combinedResult && o.matchName && o.matchSize && !o.matchContent && o.combinedOnly) {
            host_.PhaseEntered(ComparePhase::SizeNameGroups);
            GroupBySizeAndName(true, true, lists_.combined, nullptr);
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
    bool SkipsZeroSize(uint32_t record) const { return options_.ignoreZeroSize && records_.Size(record) == 0; }

    // Size grouping, name grouping, and size + name grouping of the records.
    void GroupBySizeAndName(bool bySize, bool byName, GroupList& list, std::vector<uint32_t>* groupOf)
    {
        host_.ReportProgress(0);
        std::vector<KeyedRecord> keyed;
        keyed.reserve(count_);
        const bool ignoreCase = options_.ignoreCase;
        for (uint32_t r = 0; r < count_; ++r) {
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
        host_.ReportProgress(100);
    }

    // Within each name group, the records that share a group of the other
    // list (0: none) form the combined groups, in name-list order.
    void CombineWithNameGroups(const std::vector<uint32_t>& otherGroupOf)
    {
        const GroupList& names = lists_.name;
        const size_t nameCount = names.rows.size();
        std::vector<KeyedRecord> keyed;
        Classes classes;
        host_.ReportProgress(0);
        for (size_t p = 0; p < nameCount;) {
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
        host_.ReportProgress(100);
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
        keyed = {};
        KeepOneNamePerFile(records_, source_, sets.members, sets.ends);
        ContentPhase(records_, options_, source_, host_, stop_, lists_, limits_).Run(sets, list);
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
