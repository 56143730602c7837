// Files and folders by full path. Nothing here changes the process's current
// directory, so several walks can run at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tolvane::platform {

// Lists the entries of one folder, "." and ".." included, as the system gives
// them. A symbolic link (or junction) is reported as the link itself with
// AttributeReparsePoint set, never followed. On Windows every path goes to
// the wide calls as an extended-length path, so long paths and names that
// path parsing would change (trailing dots or blanks, device names) are
// reached exactly; a name the code page cannot hold comes with '?' for what it
// cannot hold (so that no call reaches another file by it).
class FolderListing {
public:
    FolderListing() = default;
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Starts listing folderPath (with or without a trailing separator). False,
    // with LastError() set, when the folder cannot be listed.
    bool Open(const std::string& folderPath);

    // The next entry; false at the end. With details false only cFileName and
    // the directory and reparse-point bits are certain to be filled (cheap on
    // POSIX); FillDetails then completes the entry last returned.
    bool Next(FindData& entry, bool details = true);
    bool FillDetails(FindData& entry);

    void Close();

private:
    struct State;
    State* state_ = nullptr;
};

// A file opened by full path; closed by the destructor.
class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens an existing file for sequential reading (others may read, write,
    // rename or delete it meanwhile).
    bool OpenForReading(const std::string& path);
    // Creates the file for writing, replacing an existing one (CREATE_ALWAYS,
    // no sharing).
    bool CreateForWriting(const std::string& path);

    bool IsOpen() const;
    // Reads up to count bytes; the number read (0 at the end), or -1 on error.
    int64_t Read(void* buffer, size_t count);
    // Writes all count bytes; false (LastError() set) when any could not be written.
    bool Write(const void* buffer, size_t count);
    // Moves the position to offset bytes from the start.
    bool Seek(uint64_t offset);
    // False (LastError() set) when the system reports a failure as it closes
    // the file: data written may not have reached it (a late write error).
    bool Close();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
};

// Attributes of a path (GetFileAttributes); false with LastError() set when
// the path does not exist or cannot be examined.
bool GetPathAttributes(const std::string& path, uint32_t& attributes);
bool IsExistingFolder(const std::string& path);

}  // namespace tolvane::platform
