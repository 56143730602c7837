// The duplicate finder: groups collected files by equal size, equal name and
// equal content (optionally recognising a file that is the truncated beginning
// of a longer one), intersects two groupings into a combined result, and
// builds the Truncated and Zero size lists.
//
// The rows are those of a pairwise anchor scan (each group starts with its
// lowest-numbered record, groups in the order their scans open them), but the
// work is done by key and by reading each file once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/action_target.h"
#include "common/file_records.h"
#include "platform/file_identity.h"

namespace tolvane {

// The nine check boxes of the Compare page, as the user left them.
struct CompareOptions {
    bool combinedResult = false;
    bool combinedOnly = false;
    bool matchContent = false;
    bool soTruncated = false;
    bool dontGroupTruncated = true;
    bool matchName = false;
    bool ignoreCase = false;
    bool matchSize = false;
    bool ignoreZeroSize = true;
};

// The options as a run counts them: "Combined result" only together with
// "Match name" and content or size, "only" only with a counted "Combined result".
CompareOptions CountedOptions(const CompareOptions& boxes);

// A file opened for the content phases.
class ContentReader {
public:
    virtual ~ContentReader() = default;
    // Up to count bytes; the number read (0 at the end) or -1 on error.
    virtual int64_t Read(void* buffer, size_t count) = 0;
    virtual bool Seek(uint64_t offset) = 0;
};

// Opens collected files by record number and full path. The program reads the
// file system; tests read generated files from memory.
class ContentSource {
public:
    virtual ~ContentSource() = default;
    // Null, with errorCode set to the system's error code, when the file
    // cannot be opened.
    virtual std::unique_ptr<ContentReader> Open(uint32_t recordNumber, const std::string& fullPath,
                                                uint32_t& errorCode) = 0;
    // Which file the record is, so that two names of one file are not compared
    // as copies; false when that is not known (then it is taken as a file of its own).
    virtual bool Identity(uint32_t /*recordNumber*/, const std::string& /*fullPath*/, platform::FileIdentity&)
    {
        return false;
    }
};

// Reads the files through the OS layer.
class FileContentSource : public ContentSource {
public:
    std::unique_ptr<ContentReader> Open(uint32_t recordNumber, const std::string& fullPath,
                                        uint32_t& errorCode) override;
    bool Identity(uint32_t recordNumber, const std::string& fullPath, platform::FileIdentity& identity) override;
};

// Reads until count bytes are in or the file delivers no more (a short read
// of a regular file may come in pieces); the number read, or -1 on error
// before anything was read.
int64_t ReadUpTo(ContentReader& reader, void* buffer, size_t count);

// The phases of a run, as the engine enters them. Two of them read the files
// (PhaseReadsFiles), and a stop ends those; the others run to their end.
enum class ComparePhase {
    SizeGroups,         // files of equal size
    NameGroups,         // files of equal name
    ContentGroups,      // files of equal content
    NameContentCombine,  // the content groups within the name groups
    NameContentGroups,  // files of equal name and content, read by name group
    SizeNameCombine,    // the size groups within the name groups
    SizeNameGroups,     // files of equal size and name
};

constexpr bool PhaseReadsFiles(ComparePhase phase)
{
    return phase == ComparePhase::ContentGroups || phase == ComparePhase::NameContentGroups;
}

// How far the current phase has come. The phases that read files also count
// the files whose reading has ended and the bytes compared; the others leave
// those counts at 0.
struct CompareProgress {
    int percent = 0;  // 0 to 100, 100 only once the phase is done
    uint64_t filesDone = 0;
    uint64_t files = 0;
    uint64_t bytesDone = 0;
    uint64_t bytes = 0;
};

// What the engine reports while it works. A host that shows no phase or no
// progress leaves those methods as they are.
class CompareEngineHost {
public:
    virtual ~CompareEngineHost() = default;
    virtual void PhaseEntered(ComparePhase /*phase*/) {}
    virtual void ReportProgress(const CompareProgress& /*progress*/) {}
    // A file could not be opened: one error-log row for it.
    virtual void AddCompareErrorEntry(const std::string& path, uint32_t errorCode) = 0;
};

// One of the four grouped lists: entry r of rows is the record of row r,
// entry r of groups its group number (1, 2, 3 ... in the order opened).
struct GroupList {
    RowIndex rows;
    std::vector<uint32_t> groups;
};

struct CompareLists {
    GroupList combined;
    GroupList content;
    GroupList name;
    GroupList size;
    RowIndex truncatedRows;
    RowIndex zeroSizeRows;
    std::vector<uint8_t> truncated;  // per record: a truncated copy of a longer file
    uint32_t truncatedCount = 0;
    uint32_t zeroSizeCount = 0;
};

// How much the content phases may hold at once. The defaults suit the
// program; tests shrink them to reach chunk edges and reopened files with
// small files.
struct ContentLimits {
    size_t bufferBudget = size_t{256} << 10;  // all read buffers of one set of files together
    size_t largestChunk = size_t{256} << 10;  // the largest piece of one file read at once
    size_t smallestChunk = 16;  // every file's first piece is at least this long
    // The first piece is at most this long, so that files that differ early
    // are not read whole.
    size_t firstPiece = size_t{64} << 10;
    size_t openFiles = 128;  // files kept open between pieces
    // Same-size files with more than a piece left are first compared on
    // this many bytes at their end (0: never).
    size_t tailPiece = size_t{4} << 10;
};

enum class CompareOutcome { Completed, OutOfMemory };

// Runs the phases that the counted options call for, then builds the
// Truncated and Zero size lists. stopRequested is honoured (and cleared) by the
// two content-reading phases only: the phase ends, keeping the groups of the
// sets of files it had finished and, of the set it was reading, the groups
// whose files were compared to their end. On OutOfMemory the lists are incomplete and
// must not be shown.
CompareOutcome RunComparePhases(const FileRecords& records, const CompareOptions& countedOptions,
                                ContentSource& source, CompareEngineHost& host, std::atomic<bool>& stopRequested,
                                CompareLists& lists, const ContentLimits& limits = {});

// Name equality of the name phases: equal length and bytes, with A-Z read as
// a-z on both sides when ignoreCase is set (no other byte is folded).
bool SameName(std::string_view a, std::string_view b, bool ignoreCase);

}  // namespace tolvane
