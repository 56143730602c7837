// A fresh temporary folder, removed with everything in it at the end; files with known times and attributes.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace tolvane::test {

class TempFolder {
public:
    TempFolder();
    explicit TempFolder(const std::string& base);  // inside base, for a test that needs another volume
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }  // ends with the path separator
    std::string PathOf(std::string_view relative) const;  // Path() + relative, '/' as the system's separator
    std::string WriteFile(std::string_view relative, std::string_view content) const;  // and its folders
    std::string MakeFolder(std::string_view relative) const;  // ends with the separator

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
// Everything under folder as "relative/path=content" and "folder/", '/' as the separator, sorted, joined by blanks.
std::string FolderText(const std::string& folder);
// A directory entry as a listing gives it: the name cut at its first NUL and to the name buffer.
FindData NamedEntry(std::string_view name, uint64_t size = 0, uint32_t attributes = 0);
bool SetFileTimes(const std::string& path, FileTime modified, FileTime accessed);
bool SetReadOnly(const std::string& path, bool readOnly);
// Makes a folder unlistable for the test process; false where the system cannot.
bool MakeUnreadable(const std::string& path);
void MakeReadable(const std::string& path);
FileTime UtcFileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace tolvane::test
