// The file operations that change users' files: copy, move and delete one
// file, create a folder, create a file of a given size. None of them ever
// replaces an existing file unless its name says so. On failure they return
// false with LastError() set to the Win32 code the callers branch on.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane::platform {

// Copies the file to destination, which must not exist (ErrorFileExists when
// it does). The copy keeps the source's modified time. A copy that fails
// part-way removes the partial destination it created, and nothing else.
bool CopyFileNoReplace(const std::string& source, const std::string& destination);

// Moves (renames) the file to destination, which must not exist
// (ErrorAlreadyExists when it does, also when it is the source itself). A move
// to another volume copies and then deletes; the source is never lost.
bool MoveFileNoReplace(const std::string& source, const std::string& destination);

// Deletes one file for good. A read-only file, a folder or a file in use
// fails with ErrorAccessDenied (or ErrorSharingViolation), on every system.
bool RemoveFile(const std::string& path);

// Creates one folder; ErrorAlreadyExists when the name is taken.
bool CreateFolder(const std::string& path);

enum class SizedFileResult { Created, CreateFailed, WriteFailed };

// Creates or replaces path with a file of exactly byteCount bytes by writing
// one zero byte at its end, so the system fills the rest with zeros (sparse
// where the file system can). On WriteFailed the created file is left as it
// is.
SizedFileResult CreateSizedFile(const std::string& path, uint64_t byteCount);

}  // namespace tolvane::platform
