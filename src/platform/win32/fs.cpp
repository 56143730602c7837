#include "platform/fs.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/path.h"
#include "platform/win32/long_path.h"

namespace tolvane::platform {
namespace {

FileTime FromWin32(const FILETIME& time) { return FileTime{time.dwLowDateTime, time.dwHighDateTime}; }

// A name without an exact form in the code page keeps '?' for what it cannot
// hold: no call accepts it in a name, so every use of it fails and is reported.
void CopyEntry(const WIN32_FIND_DATAW& found, FindData& entry)
{
    entry.dwFileAttributes = found.dwFileAttributes;
    entry.ftCreationTime = FromWin32(found.ftCreationTime);
    entry.ftLastAccessTime = FromWin32(found.ftLastAccessTime);
    entry.ftLastWriteTime = FromWin32(found.ftLastWriteTime);
    entry.nFileSizeHigh = found.nFileSizeHigh;
    entry.nFileSizeLow = found.nFileSizeLow;
    std::string name;
    ProgramFromWide(found.cFileName, name);
    if (name.size() >= sizeof entry.cFileName) name = "?";  // cannot happen with 255 UTF-16 units a name
    std::memcpy(entry.cFileName, name.c_str(), name.size() + 1);
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
    const std::wstring folder = ExtendedPath(WithTrailingSeparator(folderPath));
    if (folder.empty()) return false;
    auto* state = new State;
    // No short names: nothing here uses them, and the listing is cheaper without.
    state->search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &state->first, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
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
    // Others may go on writing, renaming or deleting the file while it is
    // read, as with fopen: an active log or a download is read as it stands.
    HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    return true;
}

bool File::CreateForWriting(const std::string& path)
{
    Close();
    HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    const std::wstring extended = ExtendedPath(path);
    if (extended.empty()) return false;
    const DWORD result = GetFileAttributesW(extended.c_str());
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
