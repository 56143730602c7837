#include <cstring>

#include "compare/content_sort.h"

namespace tolvane {
namespace {

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

struct Digested {
    uint64_t digest;
    uint32_t slot;
    SlotState state;
};

}  // namespace

// Reads the rest of each file of the range, file after file, and sorts
// the range by the digest of that rest: files of different digests
// differ. Runs of equal digest are then confirmed byte by byte, in step
// when they are few, against their first file when they are many.
bool ContentSorter::PartitionByDigest(const Work& item)
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
        progress_.Report();
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

std::unique_ptr<ContentReader> ContentSorter::OpenAt(Slot& slot, uint64_t offset)
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
bool ContentSorter::SameRest(ContentReader& a, ContentReader& b, uint64_t rest)
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
bool ContentSorter::ConfirmAgainstFirst(uint32_t begin, uint32_t end, uint64_t offset)
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

}  // namespace tolvane
