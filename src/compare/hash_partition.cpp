// Sets too large to read in step. Each file is read to its end, one after
// another, and its content is hashed at every length that a file of the set
// has; sorted by those hashes, a file comes right after every file that is
// its beginning, as in the order of content. Neighbours are then compared
// byte for byte over what their hashes say they share: a hash only ever
// splits, and files are taken as equal, or one as the beginning of the
// other, only after their bytes were compared. So each file is opened at
// most three times: for its first piece, for hashing and for the comparison.
#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "compare/content_sort.h"

namespace tolvane {
namespace {

// Hashes taken over all the files of one set; a set that needs more (many
// sizes, all long) is read in step.
constexpr size_t MostHashes = size_t{1} << 16;

bool Same(const ContentHash& a, const ContentHash& b) { return a.low == b.low && a.high == b.high; }

bool Lower(const ContentHash& a, const ContentHash& b) { return a.high != b.high ? a.high < b.high : a.low < b.low; }

struct Hashed {
    uint32_t slot;
    uint32_t first;  // its hashes are hashes[first .. first + count), one per length
    uint32_t count;
};

}  // namespace

ContentSorter::Partition ContentSorter::PartitionByHash(const Work& item)
{
    lengths_.clear();
    for (uint32_t p = item.begin; p < item.end; ++p) lengths_.push_back(SizeOf(slots_[order_[p]]));
    std::sort(lengths_.begin(), lengths_.end());
    lengths_.erase(std::unique(lengths_.begin(), lengths_.end()), lengths_.end());
    size_t hashCount = 0;
    for (uint32_t p = item.begin; p < item.end; ++p) {
        const uint64_t size = SizeOf(slots_[order_[p]]);
        hashCount += static_cast<size_t>(std::upper_bound(lengths_.begin(), lengths_.end(), size) - lengths_.begin());
    }
    if (hashCount > MostHashes) return Partition::InStep;

    // The pieces of the whole set, read in step until now, are let go: each
    // file is hashed through a buffer of one piece.
    ReleaseBuffers();
    hashes_.clear();
    hashes_.reserve(hashCount);
    std::vector<Hashed> hashed;
    hashed.reserve(item.end - item.begin);
    readingWhole_ = true;
    for (uint32_t p = item.begin; p < item.end; ++p) {
        const uint32_t first = static_cast<uint32_t>(hashes_.size());
        const bool read = HashRest(slots_[order_[p]], item.offset);
        CloseReader(slots_[order_[p]]);
        if (!read) {
            readingWhole_ = false;
            for (uint32_t q = item.begin; q < item.end; ++q) slots_[order_[q]].state = Leaf;
            return Partition::Stopped;
        }
        hashed.push_back({order_[p], first, static_cast<uint32_t>(hashes_.size()) - first});
        progress_.Report();
    }
    readingWhole_ = false;

    std::sort(hashed.begin(), hashed.end(), [this](const Hashed& x, const Hashed& y) {
        const uint32_t n = std::min(x.count, y.count);
        for (uint32_t i = 0; i < n; ++i) {
            const ContentHash& a = hashes_[x.first + i];
            const ContentHash& b = hashes_[y.first + i];
            if (!Same(a, b)) return Lower(a, b);
        }
        if (x.count != y.count) return x.count < y.count;
        const SlotState a = slots_[x.slot].state;
        const SlotState b = slots_[y.slot].state;
        return a != b ? a < b : x.slot < y.slot;
    });
    for (uint32_t t = 0; t < hashed.size(); ++t) {
        order_[item.begin + t] = hashed[t].slot;
        if (t == 0) continue;
        const Hashed& x = hashed[t - 1];
        const Hashed& y = hashed[t];
        uint32_t agreed = 0;
        while (agreed < std::min(x.count, y.count) &&
               Same(hashes_[x.first + agreed], hashes_[y.first + agreed])) {
            ++agreed;
        }
        lcp_[item.begin + t] = agreed == 0 ? item.offset : lengths_[agreed - 1];
    }
    // Let go of what only the hashing needed.
    std::vector<ContentHash>().swap(hashes_);
    std::vector<uint64_t>().swap(lengths_);
    return ConfirmNeighbours(item);
}

// Reads the rest of the slot's file from offset and appends the hash of
// [offset, length) for every length of lengths_ the file reaches. False after
// a stop request.
bool ContentSorter::HashRest(Slot& slot, uint64_t offset)
{
    const uint64_t rest = SizeOf(slot) - offset;
    const size_t piece = static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(limits_.largestChunk, rest)));
    uint8_t* buffer = Buffer(piece);
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    uint64_t position = offset;
    auto next = std::upper_bound(lengths_.begin(), lengths_.end(), offset);
    while (slot.state == Reading) {
        size_t left = ReadPiece(slot, buffer, piece);
        const uint8_t* bytes = buffer;
        while (left > 0) {
            const size_t take = static_cast<size_t>(std::min<uint64_t>(left, *next - position));
            XXH3_128bits_update(&state, bytes, take);
            position += take;
            bytes += take;
            left -= take;
            if (position == *next) {
                const XXH128_hash_t hash = XXH3_128bits_digest(&state);
                hashes_.push_back({hash.low64, hash.high64});
                ++next;
            }
        }
        if (stop_.load()) return false;
    }
    return true;
}

// Compares each position with the one before it over the bytes their hashes
// say they share, two files open at once.
ContentSorter::Partition ContentSorter::ConfirmNeighbours(const Work& item)
{
    for (Slot& slot : slots_) CloseReader(slot);
    std::unique_ptr<ContentReader> previous;
    for (uint32_t p = item.begin + 1; p < item.end; ++p) {
        const uint64_t shared = lcp_[p];
        if (shared == item.offset) {
            previous.reset();
            continue;
        }
        if (!previous) previous = OpenAt(slots_[order_[p - 1]], item.offset);
        if (!previous) return RedoInStep(item, p - 1);
        std::unique_ptr<ContentReader> current = OpenAt(slots_[order_[p]], item.offset);
        if (!current) return RedoInStep(item, p);
        if (!previous->Seek(item.offset)) return RedoInStep(item, p - 1);
        const Confirmed confirmed = SameBytes(*previous, *current, shared - item.offset);
        if (confirmed == Confirmed::Stopped) {
            // What was compared keeps its place; the rest is known only as
            // far as the set agreed before.
            for (uint32_t q = p; q < item.end; ++q) {
                slots_[order_[q]].state = Leaf;
                lcp_[q] = item.offset;
            }
            return Partition::Stopped;
        }
        if (confirmed == Confirmed::Different) return RedoInStep(item, item.end);
        previous = std::move(current);
    }
    return Partition::Done;
}

ContentSorter::Confirmed ContentSorter::SameBytes(ContentReader& a, ContentReader& b, uint64_t count)
{
    const size_t piece = static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(limits_.largestChunk, count)));
    uint8_t* x = Buffer(2 * piece);
    uint8_t* y = x + piece;
    while (count > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(piece, count));
        if (ReadUpTo(a, x, wanted) != static_cast<int64_t>(wanted)) return Confirmed::Different;
        if (ReadUpTo(b, y, wanted) != static_cast<int64_t>(wanted)) return Confirmed::Different;
        if (std::memcmp(x, y, wanted) != 0) return Confirmed::Different;
        count -= wanted;
        if (stop_.load()) return Confirmed::Stopped;
    }
    return Confirmed::Same;
}

std::unique_ptr<ContentReader> ContentSorter::OpenAt(Slot& slot, uint64_t offset)
{
    uint32_t errorCode = 0;
    std::unique_ptr<ContentReader> reader = source_.Open(slot.record, records_.FullPath(slot.record), errorCode);
    if (!reader) {
        ReportUnreadable(slot.record, errorCode);
    } else if (offset > 0 && !reader->Seek(offset)) {
        reader.reset();
    }
    return reader;
}

// A file gone since it was hashed, or bytes that differ although their hashes
// agreed: the set is read again in step from where it agreed, without the
// file at position gone (none when gone is the set's end), which then matches
// nothing more.
ContentSorter::Partition ContentSorter::RedoInStep(const Work& item, uint32_t gone)
{
    std::vector<uint32_t> files(order_.begin() + item.begin, order_.begin() + item.end);
    uint32_t end = item.end;
    if (gone < item.end) {
        files.erase(files.begin() + (gone - item.begin));
        files.push_back(order_[gone]);
        --end;
    }
    for (uint32_t p = item.begin; p < item.end; ++p) {
        order_[p] = files[p - item.begin];
        Slot& slot = slots_[order_[p]];
        slot.known = item.offset;
        slot.state = p < end ? Reading : Leaf;
        if (p > item.begin) lcp_[p] = item.offset;
    }
    for (Slot& slot : slots_) CloseReader(slot);
    if (end - item.begin >= 2) {
        work_.push_back({item.begin, end, item.offset, true});
    } else if (end > item.begin) {
        slots_[order_[item.begin]].state = Leaf;
    }
    return Partition::Done;
}

}  // namespace tolvane
