#include "platform/fs.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/path.h"

namespace tolvane::platform {
namespace {

FileTime FromWin32(const FILETIME& time) { return FileTime{time.dwLowDateTime, time.dwHighDateTime}; }

// The name in the ANSI code page only when it converts exactly. The system's
// own ANSI listing would give a "best fit" instead (a-macron.txt as a.txt),
// which opens, copies or deletes another file of that name.
bool ExactAnsiName(const wchar_t* name, char (&ansi)[NameBufferSize])
{
    BOOL inexact = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, ansi, NameBufferSize, nullptr, &inexact);
    return length > 0 && !inexact;
}

// A name outside the code page is given as its short name, which reaches the
// same file; without one it keeps the '?' marks of the conversion, which no
// call accepts in a name, so every use of it fails and is reported.
void CopyEntry(const WIN32_FIND_DATAW& found, FindData& entry)
{
    entry.dwFileAttributes = found.dwFileAttributes;
    entry.ftCreationTime = FromWin32(found.ftCreationTime);
    entry.ftLastAccessTime = FromWin32(found.ftLastAccessTime);
    entry.ftLastWriteTime = FromWin32(found.ftLastWriteTime);
    entry.nFileSizeHigh = found.nFileSizeHigh;
    entry.nFileSizeLow = found.nFileSizeLow;
    if (ExactAnsiName(found.cFileName, entry.cFileName)) return;
    if (found.cAlternateFileName[0] != L'\0' && ExactAnsiName(found.cAlternateFileName, entry.cFileName)) return;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, found.cFileName, -1, entry.cFileName, NameBufferSize,
                            nullptr, nullptr) == 0)
        std::strcpy(entry.cFileName, "?");  // longer than the buffer: a part of it could name another file
}

std::wstring WideFromAnsi(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

}  // namespace

struct FolderListing::State {
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW first{};
    bool firstPending = true;
};

FolderListing::~FolderListing() { Close(); }

bool FolderListing::Open(const std::string& folderPath)
{
    Close();
    const std::string pattern = WithTrailingSeparator(folderPath) + "*";
    // The paths the rest of the program takes: as long as the ANSI calls accept.
    if (!FitsPathLimit(pattern)) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    auto* state = new State;
    state->search = FindFirstFileW(WideFromAnsi(pattern).c_str(), &state->first);
    if (state->search == INVALID_HANDLE_VALUE) {
        delete state;
        return false;
    }
    state_ = state;
    return true;
}

bool FolderListing::Next(FindData& entry, bool /*details*/)
{
    if (!state_) return false;
    if (state_->firstPending) {
        state_->firstPending = false;
        CopyEntry(state_->first, entry);
        return true;
    }
    WIN32_FIND_DATAW found;
    if (!FindNextFileW(state_->search, &found)) return false;
    CopyEntry(found, entry);
    return true;
}

bool FolderListing::FillDetails(FindData& /*entry*/) { return state_ != nullptr; }

void FolderListing::Close()
{
    if (!state_) return;
    FindClose(state_->search);
    delete state_;
    state_ = nullptr;
}

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

bool File::OpenForReading(const std::string& path)
{
    Close();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    return true;
}

bool File::CreateForWriting(const std::string& path)
{
    Close();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    return true;
}

bool File::IsOpen() const { return handle_ != nullptr; }

int64_t File::Read(void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < count) {
        const DWORD request = static_cast<DWORD>(count - total > 0x40000000 ? 0x40000000 : count - total);
        DWORD got = 0;
        if (!ReadFile(handle_, bytes + total, request, &got, nullptr))
            return total > 0 ? static_cast<int64_t>(total) : -1;
        if (got == 0) break;
        total += got;
    }
    return static_cast<int64_t>(total);
}

bool File::Write(const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const DWORD request = static_cast<DWORD>(count > 0x40000000 ? 0x40000000 : count);
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, request, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

bool File::Seek(uint64_t offset)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN) != 0;
}

bool File::Close()
{
    const bool closed = !handle_ || CloseHandle(handle_) != 0;
    handle_ = nullptr;
    return closed;
}

bool GetPathAttributes(const std::string& path, uint32_t& attributes)
{
    const DWORD result = GetFileAttributesA(path.c_str());
    if (result == INVALID_FILE_ATTRIBUTES) return false;
    attributes = result;
    return true;
}

bool IsExistingFolder(const std::string& path)
{
    uint32_t attributes = 0;
    return GetPathAttributes(path, attributes) && (attributes & AttributeDirectory) != 0;
}

}  // namespace tolvane::platform
