#include "common/file_records.h"

#include <limits>
#include <new>

namespace tolvane {

bool FileRecords::AddFolder(std::string_view folderPath)
{
    if (folderText_.size() + folderPath.size() > std::numeric_limits<uint32_t>::max()) return false;
    try {
        if (folderOffsets_.empty()) folderOffsets_.push_back(0);
        folderText_.append(folderPath);
        folderOffsets_.push_back(static_cast<uint32_t>(folderText_.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FileRecords::Add(const FindData& entry)
{
    if (folderOffsets_.size() < 2) return false;
    const std::string_view name(entry.cFileName);
    if (names_.size() + name.size() > std::numeric_limits<uint32_t>::max()) return false;
    const size_t oldNamesSize = names_.size();
    if (count_ == std::numeric_limits<uint32_t>::max()) return false;
    try {
        if ((count_ >> BlockShift) == blocks_.size())
            blocks_.push_back(std::make_unique_for_overwrite<Packed[]>(BlockMask + 1));
        names_.append(name);
    } catch (const std::bad_alloc&) {
        names_.resize(oldNamesSize);
        return false;
    }
    blocks_[count_ >> BlockShift][count_ & BlockMask] =
        Packed{entry.Size(), entry.ftCreationTime.Value(), entry.ftLastAccessTime.Value(),
               entry.ftLastWriteTime.Value(), static_cast<uint32_t>(folderOffsets_.size() - 2),
               static_cast<uint32_t>(oldNamesSize), entry.dwFileAttributes, static_cast<uint16_t>(name.size()),
               entry.mayHaveOtherNames};
    ++count_;
    return true;
}

bool FileRecords::Add(std::string_view folderPath, const FindData& entry)
{
    const bool sameFolder = folderOffsets_.size() >= 2 &&
                            std::string_view(folderText_).substr(folderOffsets_[folderOffsets_.size() - 2]) == folderPath;
    if (!sameFolder && !AddFolder(folderPath)) return false;
    return Add(entry);
}

std::string_view FileRecords::FolderPath(uint32_t recordNumber) const
{
    const uint32_t folder = At(recordNumber).folder;
    return std::string_view(folderText_).substr(folderOffsets_[folder], folderOffsets_[folder + 1] - folderOffsets_[folder]);
}

std::string_view FileRecords::FileName(uint32_t recordNumber) const
{
    const Packed& record = At(recordNumber);
    return std::string_view(names_).substr(record.nameOffset, record.nameLength);
}

FileRecord FileRecords::operator[](uint32_t recordNumber) const
{
    const Packed& record = At(recordNumber);
    return FileRecord{FolderPath(recordNumber),
                      FileName(recordNumber),
                      record.attributes,
                      FileTime::FromValue(record.createdTime),
                      FileTime::FromValue(record.accessedTime),
                      FileTime::FromValue(record.modifiedTime),
                      record.size};
}

std::string FileRecords::FullPath(uint32_t recordNumber) const
{
    std::string path(FolderPath(recordNumber));
    path += FileName(recordNumber);
    return path;
}

void FileRecords::Clear()
{
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
    names_.clear();
    names_.shrink_to_fit();
    folderText_.clear();
    folderText_.shrink_to_fit();
    folderOffsets_.clear();
    folderOffsets_.shrink_to_fit();
}

size_t FileRecords::MemoryUsed() const
{
    return blocks_.size() * (BlockMask + 1) * sizeof(Packed) + blocks_.capacity() * sizeof(blocks_[0]) +
           names_.capacity() + folderText_.capacity() +
           folderOffsets_.capacity() * sizeof(uint32_t);
}

}  // namespace tolvane
