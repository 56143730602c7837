// The found or collected files and folders of one list kind, known by record
// number. Compact for large compare runs: each folder path is stored once,
// names live in one arena, times stay in the listing's UTC form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tolvane {

struct FileRecord {
    std::string_view folderPath;  // ends with the path separator
    std::string_view fileName;
    uint32_t attributes;
    FileTime createdTime;  // UTC; FileTimeText turns each into the lists' local text
    FileTime accessedTime;
    FileTime modifiedTime;
    uint64_t size;  // 0 for folders
};

class FileRecords {
public:
    uint32_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }

    // Starts a folder: records added after it, until the next AddFolder, lie in
    // folderPath. Returns false when memory runs out.
    bool AddFolder(std::string_view folderPath);
    // Appends the entry as a record of the current folder; false when memory
    // runs out (the records stay as they were).
    bool Add(const FindData& entry);
    // Appends the entry as a record of folderPath, starting that folder when it
    // differs from the current one.
    bool Add(std::string_view folderPath, const FindData& entry);

    FileRecord operator[](uint32_t recordNumber) const;
    std::string_view FolderPath(uint32_t recordNumber) const;
    std::string_view FileName(uint32_t recordNumber) const;
    uint64_t Size(uint32_t recordNumber) const { return At(recordNumber).size; }
    // The file may also be reached by another path (see FindData).
    bool MayHaveOtherNames(uint32_t recordNumber) const { return At(recordNumber).mayHaveOtherNames; }
    std::string FullPath(uint32_t recordNumber) const;

    // Number of the folder a record lies in (records of one folder share it).
    uint32_t FolderNumber(uint32_t recordNumber) const { return At(recordNumber).folder; }

    void Clear();
    // Bytes held, for the memory figures of benchmarks.
    size_t MemoryUsed() const;

private:
    struct Packed {
        uint64_t size;
        uint64_t createdTime;
        uint64_t accessedTime;
        uint64_t modifiedTime;
        uint32_t folder;
        uint32_t nameOffset;
        uint32_t attributes;
        uint16_t nameLength;
        bool mayHaveOtherNames;  // in what would be padding
    };

    // Records live in blocks of a fixed count, so that a growing list never
    // holds its records twice while it moves them, nor more than a block unused.
    static constexpr uint32_t BlockShift = 10;  // 1,024 records, 48 KiB
    static constexpr uint32_t BlockMask = (1u << BlockShift) - 1;
    const Packed& At(uint32_t recordNumber) const
    {
        return blocks_[recordNumber >> BlockShift][recordNumber & BlockMask];
    }

    std::vector<std::unique_ptr<Packed[]>> blocks_;
    uint32_t count_ = 0;
    std::string names_;
    std::string folderText_;
    std::vector<uint32_t> folderOffsets_;  // start of each folder path in folderText_, plus the end
};

}  // namespace tolvane
