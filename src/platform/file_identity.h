// What the file system tells of one path as it stands now: its details, as a
// listing gives them, and which file it is, so that two paths of one file
// (a folder mounted twice, hard links) are told apart from two files.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tolvane::platform {

// The volume a file lies on and its number there: device and inode on POSIX,
// volume serial number and file id (128 bits where the volume has them) on
// Windows.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t file = 0;
    uint64_t fileHigh = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    friend bool operator<(const FileIdentity& a, const FileIdentity& b)
    {
        if (a.volume != b.volume) return a.volume < b.volume;
        return a.fileHigh != b.fileHigh ? a.fileHigh < b.fileHigh : a.file < b.file;
    }
};

// Attributes, times and size of what path names (a link itself, not followed);
// false with LastError() set when it cannot be examined.
bool ReadPathDetails(const std::string& path, FindData& entry);

// The identity of the file or folder path names (links followed); false when
// it cannot be examined, or the file system gives no usable number (some
// network volumes give every file the number 0).
bool ReadFileIdentity(const std::string& path, FileIdentity& identity);

}  // namespace tolvane::platform
