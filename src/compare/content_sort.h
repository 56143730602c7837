// Sorting one set of files by content.
//
// Files are compared only within a set that can hold matches: equal size
// (and name, for the combined phase), or with truncated copies every file of
// the set (same name for the combined phase). Each set is sorted by content
// while its files are read once, in step, piece by piece: a piece splits the
// set into smaller sets that agree so far, and a file left alone stops being
// read. The sorted order puts a file right after every file that is its
// beginning, so the anchor scan's matches become ranges and chains of that
// order (see anchor_replay.h).
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/file_records.h"
#include "compare/compare_engine.h"

namespace tolvane {

// Sorted before any continuation: a file that ended (all its bytes read), then
// a file that is known only up to here (it was left alone, or delivered fewer
// bytes than listed), then files that go on.
enum SlotState : uint8_t { Complete = 0, Leaf = 1, Reading = 2 };

// One file of the set being sorted; 24 bytes, as a set can hold every file
// of a run (its size is its record's).
struct Slot {
    uint32_t record;
    SlotState state;
    bool counted = false;  // its end of reading was reported
    uint64_t known;  // bytes read and agreed so far
    std::unique_ptr<ContentReader> reader;
};

// The share of the bytes of all sets that were compared, or left unread
// because their file was known to match nothing more, and the files whose
// reading has ended. Files read a second time to confirm a hash count once,
// so 100 is reported only at the end.
class ContentProgress {
public:
    ContentProgress(CompareEngineHost& host, uint64_t totalFiles, uint64_t totalBytes)
        : host_(host), totalFiles_(totalFiles), totalBytes_(totalBytes)
    {
    }

    void BeginSet(uint64_t setFiles, uint64_t setBytes)
    {
        setFiles_ = setFiles;
        setBytes_ = setBytes;
        setFilesDone_ = 0;
        setBytesDone_ = 0;
    }
    void EndSet()
    {
        filesDone_ += setFiles_;
        bytesDone_ += setBytes_;
        setFilesDone_ = 0;
        setBytesDone_ = 0;
        Report();
    }
    void Add(uint64_t bytes) { setBytesDone_ += bytes; }
    void FileDone() { ++setFilesDone_; }
    void Report();
    void Finish();

private:
    CompareProgress Now() const;

    CompareEngineHost& host_;
    const uint64_t totalFiles_;
    const uint64_t totalBytes_;
    uint64_t filesDone_ = 0;  // of the sets finished
    uint64_t bytesDone_ = 0;
    uint64_t setFiles_ = 0;
    uint64_t setBytes_ = 0;
    uint64_t setFilesDone_ = 0;  // of the set being read
    uint64_t setBytesDone_ = 0;
    int lastPercent_ = -1;
};

// A 128-bit hash of a file's bytes.
struct ContentHash {
    uint64_t low;
    uint64_t high;
};

// True when the reader delivers one more byte.
bool GoesOn(ContentReader& reader);

class ContentSorter {
public:
    ContentSorter(const FileRecords& records, ContentSource& source, CompareEngineHost& host,
                  std::atomic<bool>& stopRequested, const ContentLimits& limits, ContentProgress& progress)
        : records_(records), source_(source), host_(host), stop_(stopRequested), limits_(limits), progress_(progress)
    {
    }

    // Reads the set's files, in record order, until every file is known well
    // enough to place it in the sorted order. False after a stop request,
    // with the files placed as far as they were compared.
    bool Sort(const uint32_t* members, uint32_t count);

    const std::vector<Slot>& Slots() const { return slots_; }  // the set's files in record order
    uint64_t SizeOf(const Slot& slot) const { return records_.Size(slot.record); }
    const std::vector<uint32_t>& Order() const { return order_; }  // slots in content order
    // Bytes position p agrees on with position p - 1.
    const std::vector<uint64_t>& CommonLengths() const { return lcp_; }

    // Closes the set's files and forgets them.
    void Clear();

private:
    struct Piece {
        uint32_t slot;
        uint32_t length;
        const uint8_t* bytes;
    };
    struct Work {
        uint32_t begin;
        uint32_t end;
        uint64_t offset;
        bool inStep = false;  // read in step even when larger than the open-file budget
        bool tailsCompared = false;
    };
    enum class Partition { Done, Stopped, InStep };
    enum class Confirmed { Same, Different, Stopped };

    // Reading in step (content_sort.cpp).
    size_t ChunkFor(size_t files, uint64_t longestRest) const;
    void CloseReader(Slot& slot);
    void ReportUnreadable(uint32_t record, uint32_t errorCode);
    size_t ReadPiece(Slot& slot, uint8_t* buffer, size_t chunk);
    void Settled(Slot& slot);
    void ReadingEnded(Slot& slot);
    uint8_t* Buffer(size_t bytes);
    void ReleaseBuffers();
    bool Before(const Piece& x, const Piece& y) const;
    void Split(const Work& item, size_t chunk);
    void MakeRoomFor(const Work& item);
    void SettleUnfinished(uint32_t begin, uint32_t end);
    bool SplitByTails(const Work& item);
    bool ReadTail(Slot& slot, uint8_t* tail, size_t length);

    // Sets too large to read in step (hash_partition.cpp).
    Partition PartitionByHash(const Work& item);
    bool HashRest(Slot& slot, uint64_t offset);
    Partition ConfirmNeighbours(const Work& item);
    Confirmed SameBytes(ContentReader& a, ContentReader& b, uint64_t count);
    std::unique_ptr<ContentReader> OpenAt(Slot& slot, uint64_t offset);
    Partition RedoInStep(const Work& item, uint32_t gone);

    const FileRecords& records_;
    ContentSource& source_;
    CompareEngineHost& host_;
    std::atomic<bool>& stop_;
    const ContentLimits& limits_;
    ContentProgress& progress_;

    std::vector<Slot> slots_;
    std::vector<uint32_t> order_;
    std::vector<uint64_t> lcp_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t bufferSize_ = 0;
    std::vector<Piece> pieces_;
    std::vector<Work> work_;
    std::vector<uint8_t> keep_;  // per slot: a file of the set being read
    std::vector<uint64_t> lengths_;  // the sizes of a set being hashed, ascending
    std::vector<ContentHash> hashes_;
    size_t openFiles_ = 0;
    bool readingWhole_ = false;  // one file read to its end: kept open between pieces
};

}  // namespace tolvane
