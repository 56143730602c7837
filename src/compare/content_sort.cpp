#include "compare/content_sort.h"

#include <cstring>

namespace tolvane {

CompareProgress ContentProgress::Now() const
{
    CompareProgress now;
    now.files = totalFiles_;
    now.bytes = totalBytes_;
    now.filesDone = filesDone_ + std::min(setFilesDone_, setFiles_);
    now.bytesDone = bytesDone_ + std::min(setBytesDone_, setBytes_);
    if (totalBytes_ > 0) now.percent = static_cast<int>(std::min<uint64_t>(99, now.bytesDone * 100 / totalBytes_));
    return now;
}

void ContentProgress::Report()
{
    if (totalBytes_ == 0) return;
    const CompareProgress now = Now();
    if (now.percent != lastPercent_) {
        lastPercent_ = now.percent;
        host_.ReportProgress(now);
    }
}

void ContentProgress::Finish()
{
    CompareProgress now = Now();
    now.percent = 100;
    host_.ReportProgress(now);
}

bool GoesOn(ContentReader& reader)
{
    uint8_t extra = 0;
    return reader.Read(&extra, 1) > 0;
}

namespace {

// Bytes the two pieces agree on: blocks compared with memcmp, which is
// vectorised, then the differing block byte by byte.
size_t CommonPrefix(const uint8_t* x, const uint8_t* y, size_t n)
{
    constexpr size_t Block = 256;
    size_t agreed = 0;
    while (agreed + Block <= n && std::memcmp(x + agreed, y + agreed, Block) == 0) agreed += Block;
    while (agreed < n && x[agreed] == y[agreed]) ++agreed;
    return agreed;
}

}  // namespace

size_t ContentSorter::ChunkFor(size_t files, uint64_t longestRest) const
{
    size_t chunk = limits_.bufferBudget / std::max<size_t>(files, 1);
    chunk = std::clamp(chunk, limits_.smallestChunk, std::max(limits_.smallestChunk, limits_.largestChunk));
    return static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(chunk, longestRest)));
}

void ContentSorter::CloseReader(Slot& slot)
{
    if (slot.reader) {
        slot.reader.reset();
        --openFiles_;
    }
}

void ContentSorter::ReportUnreadable(uint32_t record, uint32_t errorCode)
{
    host_.AddCompareErrorEntry(records_.FullPath(record), errorCode);
}

// Reads the slot's next piece of at most chunk bytes into buffer and
// updates its state; returns the number of bytes read.
size_t ContentSorter::ReadPiece(Slot& slot, uint8_t* buffer, size_t chunk)
{
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(chunk, SizeOf(slot) - slot.known));
    if (!slot.reader) {
        uint32_t errorCode = 0;
        slot.reader = source_.Open(slot.record, records_.FullPath(slot.record), errorCode);
        if (!slot.reader) {
            // Gone since it was first read: it matches nothing more.
            ReportUnreadable(slot.record, errorCode);
            slot.state = Leaf;
            ReadingEnded(slot);
            return 0;
        }
        ++openFiles_;
        if (slot.known > 0 && !slot.reader->Seek(slot.known)) {
            slot.state = Leaf;
            ReadingEnded(slot);
            CloseReader(slot);
            return 0;
        }
    }
    const int64_t got = ReadUpTo(*slot.reader, buffer, wanted);
    const size_t read = got < 0 ? 0 : static_cast<size_t>(got);
    slot.known += read;
    progress_.Add(read);
    size_t agreed = read;
    if (read < wanted) {
        slot.state = Leaf;  // fewer bytes than listed: never compared beyond them
    } else if (slot.known < SizeOf(slot)) {
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
    if (slot.state != Reading) ReadingEnded(slot);
    if (slot.state != Reading || (openFiles_ > limits_.openFiles && !readingWhole_)) CloseReader(slot);
    return agreed;
}

// A file alone in its run: nothing else begins like it, so its unread bytes
// count as done.
void ContentSorter::Settled(Slot& slot)
{
    progress_.Add(SizeOf(slot) - std::min(SizeOf(slot), slot.known));
    ReadingEnded(slot);
}

void ContentSorter::ReadingEnded(Slot& slot)
{
    if (slot.counted) return;
    slot.counted = true;
    progress_.FileDone();
}

// A read buffer of at least bytes, as large as the largest asked for (the
// old one freed first, so that two are never held) and never cleared: every
// byte used is read first.
uint8_t* ContentSorter::Buffer(size_t bytes)
{
    if (bytes > bufferSize_) {
        buffer_.reset();
        bufferSize_ = bytes;
        buffer_.reset(new uint8_t[bufferSize_]);
    }
    return buffer_.get();
}

void ContentSorter::ReleaseBuffers()
{
    buffer_.reset();
    bufferSize_ = 0;
    std::vector<Piece>().swap(pieces_);
}

bool ContentSorter::Before(const Piece& x, const Piece& y) const
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

// Sorts the item's positions of order_ by the pieces just read (all of them
// agreeing on the item's offset bytes before), sets the lcp_ between
// neighbours, and queues the runs of files that agree on the whole piece
// and go on. Tails that agreed still agree in every run, so they are not
// read again.
void ContentSorter::Split(const Work& item, size_t chunk)
{
    const uint32_t begin = item.begin;
    const uint32_t end = item.end;
    const uint64_t offset = item.offset;
    std::sort(pieces_.begin(), pieces_.end(), [this](const Piece& x, const Piece& y) { return Before(x, y); });
    for (uint32_t t = 0; t < end - begin; ++t) {
        order_[begin + t] = pieces_[t].slot;
        if (t > 0) lcp_[begin + t] = offset + CommonPrefix(pieces_[t - 1].bytes, pieces_[t].bytes,
                                                             std::min(pieces_[t - 1].length, pieces_[t].length));
    }
    const uint64_t whole = offset + chunk;
    for (uint32_t t = begin; t < end;) {
        uint32_t u = t + 1;
        if (slots_[order_[t]].state == Reading) {
            while (u < end && slots_[order_[u]].state == Reading && lcp_[u] == whole) ++u;
            if (u - t >= 2) {
                work_.push_back({t, u, whole, false, item.tailsCompared});
            } else {
                slots_[order_[t]].state = Leaf;  // alone: nothing else begins like it
                CloseReader(slots_[order_[t]]);
                Settled(slots_[order_[t]]);
            }
        }
        t = u;
    }
}

// The files of the item that are closed are opened beside those still open
// from the first pieces of other sets; those are closed first when together
// they would pass the budget, so that the item's files stay open between
// pieces.
void ContentSorter::MakeRoomFor(const Work& item)
{
    size_t closed = 0;
    for (uint32_t p = item.begin; p < item.end; ++p) {
        if (!slots_[order_[p]].reader) ++closed;
    }
    if (closed == 0 || openFiles_ + closed <= limits_.openFiles) return;
    keep_.assign(slots_.size(), 0);
    for (uint32_t p = item.begin; p < item.end; ++p) keep_[order_[p]] = 1;
    for (uint32_t s = 0; s < slots_.size(); ++s) {
        if (!keep_[s]) CloseReader(slots_[s]);
    }
}

// After a stop: every file not yet placed, and every file of the
// positions [begin, end) whose last piece was not compared, is known only
// as far as it was compared. The files already found equal, or the
// beginning of another, keep their groups.
void ContentSorter::SettleUnfinished(uint32_t begin, uint32_t end)
{
    for (uint32_t p = begin; p < end; ++p) slots_[order_[p]].state = Leaf;
    for (Slot& slot : slots_) {
        if (slot.state == Reading) slot.state = Leaf;
    }
    work_.clear();
}

// Reads the last length bytes of the slot's file and goes back to where its
// reading stands. False, with the file closed, when that fails.
bool ContentSorter::ReadTail(Slot& slot, uint8_t* tail, size_t length)
{
    if (!slot.reader) {
        uint32_t errorCode = 0;
        slot.reader = source_.Open(slot.record, records_.FullPath(slot.record), errorCode);
        if (!slot.reader) return false;  // reported when its reading goes on
        ++openFiles_;
    }
    const bool read = slot.reader->Seek(SizeOf(slot) - length) &&
                      ReadUpTo(*slot.reader, tail, length) == static_cast<int64_t>(length) &&
                      slot.reader->Seek(slot.known);
    if (!read) CloseReader(slot);
    return read;
}

// Files of one size that agree so far are equal only if they also end
// alike: a short piece from each end splits them before their long middle is
// read. False, with the order unchanged, when the item is not such a set or
// a file's end could not be read; the item is then read on as it is.
bool ContentSorter::SplitByTails(const Work& item)
{
    const uint32_t count = item.end - item.begin;
    const uint64_t size = SizeOf(slots_[order_[item.begin]]);
    const size_t length = limits_.tailPiece;
    if (item.tailsCompared || length == 0 || size - item.offset <= std::max<uint64_t>(limits_.largestChunk, 2 * length))
        return false;
    for (uint32_t p = item.begin; p < item.end; ++p) {
        if (SizeOf(slots_[order_[p]]) != size) return false;
    }
    uint8_t* tails = Buffer(length * count);
    pieces_.clear();
    for (uint32_t p = item.begin; p < item.end; ++p) {
        uint8_t* tail = tails + length * (p - item.begin);
        if (!ReadTail(slots_[order_[p]], tail, length)) return false;
        pieces_.push_back({order_[p], static_cast<uint32_t>(length), tail});
    }
    std::sort(pieces_.begin(), pieces_.end(), [length](const Piece& x, const Piece& y) {
        const int order = std::memcmp(x.bytes, y.bytes, length);
        return order != 0 ? order < 0 : x.slot < y.slot;
    });
    for (uint32_t t = 0; t < count; ++t) order_[item.begin + t] = pieces_[t].slot;
    // The positions still agree on the item's offset bytes, as lcp_ says.
    for (uint32_t t = 0; t < count;) {
        uint32_t u = t + 1;
        while (u < count && std::memcmp(pieces_[t].bytes, pieces_[u].bytes, length) == 0) ++u;
        if (u - t >= 2) {
            work_.push_back({item.begin + t, item.begin + u, item.offset, item.inStep, true});
        } else {
            Slot& slot = slots_[pieces_[t].slot];
            slot.state = Leaf;
            CloseReader(slot);
            Settled(slot);
        }
        t = u;
    }
    return true;
}

bool ContentSorter::Sort(const uint32_t* members, uint32_t count)
{
    slots_.clear();
    uint64_t longest = 0;
    for (uint32_t m = 0; m < count; ++m) longest = std::max(longest, records_.Size(members[m]));
    const size_t chunk = std::min(ChunkFor(count, longest), std::max(limits_.firstPiece, limits_.smallestChunk));
    uint8_t* buffer = Buffer(chunk * count);
    slots_.reserve(count);
    pieces_.clear();
    pieces_.reserve(count);
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
        slots_.push_back(Slot{record, Reading, false, 0, std::move(reader)});
        uint8_t* bytes = buffer + chunk * (slots_.size() - 1);
        const size_t read = ReadPiece(slots_.back(), bytes, chunk);
        pieces_.push_back({static_cast<uint32_t>(slots_.size() - 1), static_cast<uint32_t>(read), bytes});
        progress_.Report();
        if (stop_.load()) break;
    }
    const bool stopped = stop_.load();
    const uint32_t files = static_cast<uint32_t>(slots_.size());
    order_.assign(files, 0);
    lcp_.assign(files, 0);
    work_.clear();
    if (files == 0) return !stopped;
    Split(Work{0, files, 0}, chunk);
    if (stopped) {
        SettleUnfinished(0, 0);
        return false;
    }

    while (!work_.empty()) {
        const Work item = work_.back();
        work_.pop_back();
        const bool fits = item.end - item.begin <= limits_.openFiles;
        if (!fits && limits_.openFiles >= 1 && !item.inStep) {
            // Too many to read in step without reopening each file for
            // every piece: each file is hashed to its end instead.
            const Partition partition = PartitionByHash(item);
            if (partition == Partition::Stopped) {
                SettleUnfinished(0, 0);
                return false;
            }
            if (partition == Partition::Done) continue;
        }
        if (fits) {
            MakeRoomFor(item);
            if (SplitByTails(item)) continue;
        }
        uint64_t longestRest = 0;
        for (uint32_t p = item.begin; p < item.end; ++p) {
            longestRest = std::max(longestRest, SizeOf(slots_[order_[p]]) - item.offset);
        }
        const size_t piece = ChunkFor(item.end - item.begin, longestRest);
        uint8_t* pieceBuffer = Buffer(piece * (item.end - item.begin));
        pieces_.clear();
        for (uint32_t p = item.begin; p < item.end; ++p) {
            uint8_t* bytes = pieceBuffer + piece * (p - item.begin);
            const size_t read = ReadPiece(slots_[order_[p]], bytes, piece);
            pieces_.push_back({order_[p], static_cast<uint32_t>(read), bytes});
            progress_.Report();
            if (stop_.load()) {
                SettleUnfinished(item.begin, item.end);
                return false;
            }
        }
        Split(item, piece);
    }
    // Sets this large are few: their buffers are not kept for the next set
    // while this one's groups are replayed.
    if (count > limits_.openFiles) ReleaseBuffers();
    return true;
}

void ContentSorter::Clear()
{
    for (Slot& slot : slots_) CloseReader(slot);
    slots_.clear();
}

}  // namespace tolvane
