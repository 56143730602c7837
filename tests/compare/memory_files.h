// Generated files for the compare tests: each record's bytes live in memory,
// a file may be unopenable or deliver fewer bytes than its listed size, and a
// host that records what the engine reports.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/file_records.h"
#include "compare/compare_engine.h"

namespace tolvane::test {

struct MemoryFile {
    std::string folder;  // ends with the separator
    std::string name;
    uint64_t listedSize;
    std::string content;  // what reading gives; shorter than listedSize for a file that shrank
    bool unopenable = false;
};

class MemorySource : public ContentSource {
public:
    explicit MemorySource(const std::vector<MemoryFile>& files) : files_(files) {}

    std::unique_ptr<ContentReader> Open(uint32_t recordNumber, const std::string&, uint32_t& errorCode) override
    {
        ++opens;
        const MemoryFile& file = files_[recordNumber];
        if (file.unopenable) {
            errorCode = 5;
            return nullptr;
        }
        mostOpen = std::max(mostOpen, ++openNow);
        return std::make_unique<Reader>(*this, file.content, recordNumber);
    }

    int opens = 0;
    int openNow = 0;
    int mostOpen = 0;
    // Called with the record before every read: lets a test request a stop
    // while a given file is being read.
    std::function<void(uint32_t)> onRead;

private:
    class Reader : public ContentReader {
    public:
        Reader(MemorySource& source, const std::string& content, uint32_t record)
            : source_(source), content_(content), record_(record)
        {
        }
        ~Reader() override { --source_.openNow; }
        int64_t Read(void* buffer, size_t count) override
        {
            if (source_.onRead) source_.onRead(record_);
            const size_t n = position_ >= content_.size() ? 0 : std::min(count, content_.size() - position_);
            std::memcpy(buffer, content_.data() + position_, n);
            position_ += n;
            return static_cast<int64_t>(n);
        }
        bool Seek(uint64_t offset) override
        {
            position_ = static_cast<size_t>(offset);
            return true;
        }

    private:
        MemorySource& source_;
        const std::string& content_;
        const uint32_t record_;
        size_t position_ = 0;
    };

    const std::vector<MemoryFile>& files_;
};

class RecordingHost : public CompareEngineHost {
public:
    void PhaseEntered(ComparePhase phase) override { phases.push_back(phase); }
    void ReportProgress(const CompareProgress& report) override
    {
        progress.push_back(report.percent);
        filesDone.push_back(report.filesDone);
        last = report;
    }
    void AddCompareErrorEntry(const std::string& path, uint32_t) override
    {
        errors.push_back(path);
        if (stopOnError) stopOnError->store(true);  // a Cancel, or the error log full
    }

    std::vector<ComparePhase> phases;
    std::vector<int> progress;
    std::vector<uint64_t> filesDone;
    CompareProgress last;
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

// A file whose listed size is its content's.
inline MemoryFile Plain(std::string name, std::string content, std::string folder = "/m/")
{
    const uint64_t size = content.size();
    return MemoryFile{std::move(folder), std::move(name), size, std::move(content)};
}

}  // namespace tolvane::test
