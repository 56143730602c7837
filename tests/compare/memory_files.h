// Files held in memory (unopenable, or shorter than listed) and a host that records what the engine reports.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/file_records.h"
#include "compare/compare_engine.h"

namespace tolvane::test {

struct MemoryFile {
    std::string folder;  // ends with the separator
    std::string name;
    uint64_t listedSize;
    std::string content;  // shorter than listedSize for a file that shrank
    bool unopenable = false;
};

class MemorySource : public ContentSource {
public:
    explicit MemorySource(const std::vector<MemoryFile>& files) : files_(files) {}

    std::unique_ptr<ContentReader> Open(uint32_t record, const std::string&, uint32_t& errorCode) override
    {
        ++opens;
        if (files_[record].unopenable) {
            errorCode = 5;
            return nullptr;
        }
        mostOpen = std::max(mostOpen, ++openNow);
        return std::make_unique<Reader>(*this, files_[record].content, record);
    }

    int opens = 0, openNow = 0, mostOpen = 0;
    uint64_t bytesRead = 0;
    std::function<void(uint32_t)> onRead;  // called with the record before every read

private:
    struct Reader : ContentReader {
        Reader(MemorySource& s, const std::string& c, uint32_t r) : source(s), content(c), record(r) {}
        ~Reader() override { --source.openNow; }
        int64_t Read(void* buffer, size_t count) override
        {
            if (source.onRead) source.onRead(record);
            const size_t n = position >= content.size() ? 0 : std::min(count, content.size() - position);
            std::memcpy(buffer, content.data() + position, n);
            position += n;
            source.bytesRead += n;
            return static_cast<int64_t>(n);
        }
        bool Seek(uint64_t offset) override
        {
            position = static_cast<size_t>(offset);
            return true;
        }

        MemorySource& source;
        const std::string& content;
        const uint32_t record;
        size_t position = 0;
    };

    const std::vector<MemoryFile>& files_;
};

struct RecordingHost : CompareEngineHost {
    void PhaseEntered(ComparePhase phase) override { phases.push_back(phase); }
    void ReportProgress(const CompareProgress& report) override { reports.push_back(report); }
    void AddCompareErrorEntry(const std::string& path, uint32_t) override
    {
        errors.push_back(path);
        if (stopOnError) stopOnError->store(true);  // a Cancel, or the error log full
    }

    std::vector<ComparePhase> phases;
    std::vector<CompareProgress> reports;
    std::vector<std::string> errors;
    std::atomic<bool>* stopOnError = nullptr;
};

inline FileRecords MakeRecords(const std::vector<MemoryFile>& files)
{
    FileRecords records;
    for (const MemoryFile& file : files) {
        FindData entry;
        std::strncpy(entry.cFileName, file.name.c_str(), sizeof(entry.cFileName) - 1);
        entry.SetSize(file.listedSize);
        entry.dwFileAttributes = AttributeArchive;
        records.Add(file.folder, entry);
    }
    return records;
}

// A file in /m/ whose listed size is its content's.
inline MemoryFile Plain(std::string name, std::string content)
{
    const uint64_t size = content.size();
    return MemoryFile{"/m/", std::move(name), size, std::move(content)};
}

}  // namespace tolvane::test
