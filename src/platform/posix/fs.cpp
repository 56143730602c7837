#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_identity.h"
#include "platform/posix/errno_map.h"

namespace tolvane::platform {
namespace {

constexpr int64_t TicksPerSecond = 10000000;
constexpr int64_t SecondsFrom1601To1970 = 11644473600;

FileTime ToFileTime(int64_t seconds, int64_t nanoseconds)
{
    const int64_t ticks = (seconds + SecondsFrom1601To1970) * TicksPerSecond + nanoseconds / 100;
    return ticks < 0 ? FileTime{} : FileTime::FromValue(static_cast<uint64_t>(ticks));
}

bool IsHiddenName(const char* name)
{
    return name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

// A symbolic link stands for a folder when its target is one; the target is
// only examined, never entered.
bool LinkTargetIsFolder(int folder, const char* name)
{
    struct stat target{};
    return fstatat(folder, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
}

// The attributes that a folder's own list of names tells: directory, link
// (from the entry's type, where the file system gives one) and hidden.
uint32_t AttributesFromType(unsigned char type, const char* name)
{
    uint32_t attributes = 0;
    if (type == DT_DIR) attributes |= AttributeDirectory;
    if (type == DT_LNK) attributes |= AttributeReparsePoint;
    if (IsHiddenName(name)) attributes |= AttributeHidden;
    return attributes;
}

// Fills everything but the name from the entry's own status (links not followed).
bool FillFromStatx(int folder, const char* name, const char* ownName, FindData& entry)
{
    struct statx status{};
    const auto examine = [&] {
        return statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME, &status) == 0;
    };
    if (!examine()) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    uint32_t attributes = 0;
    if (S_ISLNK(status.stx_mode)) {
        attributes |= AttributeReparsePoint;
        // Resolving the link sets its access time; examine it again afterwards
        // so that every listing of an unchanged folder reports the same times.
        if (LinkTargetIsFolder(folder, name)) attributes |= AttributeDirectory;
        if (!examine()) {
            SetLastErrorFromErrno(errno);
            return false;
        }
    }
    const mode_t mode = status.stx_mode;
    if (S_ISDIR(mode)) attributes |= AttributeDirectory;
    if ((mode & S_IWUSR) == 0 && !S_ISLNK(mode)) attributes |= AttributeReadOnly;
    if (IsHiddenName(ownName)) attributes |= AttributeHidden;
    if (attributes == 0) attributes = AttributeNormal;
    entry.dwFileAttributes = attributes;

    entry.ftLastWriteTime = ToFileTime(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec);
    entry.ftLastAccessTime = ToFileTime(status.stx_atime.tv_sec, status.stx_atime.tv_nsec);
    entry.ftCreationTime = (status.stx_mask & STATX_BTIME)
                               ? ToFileTime(status.stx_btime.tv_sec, status.stx_btime.tv_nsec)
                               : FileTime{};
    // Folders and links carry no size, as in a Windows listing.
    entry.SetSize(S_ISREG(mode) ? status.stx_size : 0);
    const bool mountRootKnown = (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
    entry.mayHaveOtherNames =
        status.stx_nlink > 1 || !mountRootKnown || (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return true;
}

}  // namespace

struct FolderListing::State {
    DIR* folder = nullptr;
};

FolderListing::~FolderListing() { Close(); }

bool FolderListing::Open(const std::string& folderPath)
{
    Close();
    DIR* folder = opendir(folderPath.empty() ? "." : folderPath.c_str());
    if (!folder) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    state_ = new State{folder};
    return true;
}

bool FolderListing::Next(FindData& entry, bool details)
{
    if (!state_) return false;
    for (;;) {
        errno = 0;
        const dirent* item = readdir(state_->folder);
        if (!item) {
            if (errno != 0) SetLastErrorFromErrno(errno);
            return false;
        }
        const size_t length = std::strlen(item->d_name);
        if (length >= sizeof entry.cFileName) continue;  // cannot happen with NAME_MAX 255
        std::memcpy(entry.cFileName, item->d_name, length + 1);
        entry.dwFileAttributes = 0;
        entry.SetSize(0);
        entry.ftCreationTime = entry.ftLastAccessTime = entry.ftLastWriteTime = FileTime{};
        entry.mayHaveOtherNames = true;

        if (!details && (item->d_type == DT_DIR || item->d_type == DT_REG)) {
            entry.dwFileAttributes = AttributesFromType(item->d_type, entry.cFileName);
            return true;
        }
        if (FillFromStatx(dirfd(state_->folder), entry.cFileName, entry.cFileName, entry)) return true;
        // An entry that vanished since readdir is not reported. One whose
        // details cannot be had (a folder that may be read but not searched)
        // is still listed with what the folder itself tells.
        if (errno != ENOENT) {
            entry.dwFileAttributes = AttributesFromType(item->d_type, entry.cFileName);
            return true;
        }
    }
}

bool FolderListing::FillDetails(FindData& entry)
{
    return state_ && FillFromStatx(dirfd(state_->folder), entry.cFileName, entry.cFileName, entry);
}

void FolderListing::Close()
{
    if (!state_) return;
    closedir(state_->folder);
    delete state_;
    state_ = nullptr;
}

File::~File() { Close(); }

File::File(File&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        descriptor_ = other.descriptor_;
        other.descriptor_ = -1;
    }
    return *this;
}

bool File::OpenForReading(const std::string& path)
{
    Close();
    descriptor_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor_ < 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    struct stat status{};
    if (fstat(descriptor_, &status) == 0 && S_ISDIR(status.st_mode)) {
        Close();
        SetLastErrorFromErrno(EISDIR);
        return false;
    }
    // Sequential reading widens the read-ahead, which a file within the
    // default window (128 KiB) does not need: most files save the call.
    if (status.st_size > 128 * 1024) posix_fadvise(descriptor_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool File::CreateForWriting(const std::string& path)
{
    Close();
    descriptor_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor_ < 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool File::IsOpen() const { return descriptor_ >= 0; }

int64_t File::Read(void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < count) {
        const ssize_t got = read(descriptor_, bytes + total, count - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            SetLastErrorFromErrno(errno);
            return total > 0 ? static_cast<int64_t>(total) : -1;
        }
        if (got == 0) break;
        total += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(total);
}

bool File::Write(const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t written = write(descriptor_, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            SetLastErrorFromErrno(errno);
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool File::Seek(uint64_t offset)
{
    if (lseek(descriptor_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool File::Close()
{
    if (descriptor_ < 0) return true;
    // On Linux the descriptor is gone even when close is interrupted.
    const bool closed = close(descriptor_) == 0 || errno == EINTR;
    if (!closed) SetLastErrorFromErrno(errno);
    descriptor_ = -1;
    return closed;
}

bool ReadPathDetails(const std::string& path, FindData& entry)
{
    // The hidden bit comes from the last name of the path.
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const auto slash = trimmed.rfind('/');
    const std::string ownName = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    return FillFromStatx(AT_FDCWD, path.c_str(), ownName.c_str(), entry);
}

bool GetPathAttributes(const std::string& path, uint32_t& attributes)
{
    FindData entry;
    if (!ReadPathDetails(path, entry)) return false;
    attributes = entry.dwFileAttributes;
    return true;
}

bool IsExistingFolder(const std::string& path)
{
    uint32_t attributes = 0;
    return GetPathAttributes(path, attributes) && (attributes & AttributeDirectory) != 0;
}

}  // namespace tolvane::platform
