#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/error.h"
#include "platform/posix/errno_map.h"

namespace tolvane::platform {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return descriptor_; }
    bool IsOpen() const { return descriptor_ >= 0; }
    // Closes now; false when the system reports a late write error.
    bool Close()
    {
        if (descriptor_ < 0) return true;
        const bool closed = close(descriptor_) == 0;
        descriptor_ = -1;
        return closed;
    }

private:
    int descriptor_;
};

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Windows tells a missing file in an existing folder (ErrorFileNotFound) from
// a missing folder (ErrorPathNotFound); callers skip only the former quietly.
void SetMissingPathError(const std::string& path)
{
    struct stat folder{};
    const bool folderExists = stat(FolderOf(path).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    SetLastError(folderExists ? ErrorFileNotFound : ErrorPathNotFound);
}

void SetSourceError(const std::string& source, int error)
{
    if (error == ENOENT)
        SetMissingPathError(source);
    else
        SetLastErrorFromErrno(error);
}

bool CopyContent(int from, int to, int& error)
{
    // copy_file_range lets the file system clone or share blocks; where it
    // cannot, fall back to plain reads and writes from the same positions.
    for (;;) {
        const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
        if (copied > 0) continue;
        if (copied == 0) return true;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) break;
        error = errno;
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        for (ssize_t offset = 0; offset < got;) {
            const ssize_t written = write(to, buffer + offset, static_cast<size_t>(got - offset));
            if (written < 0) {
                if (errno == EINTR) continue;
                error = errno;
                return false;
            }
            offset += written;
        }
    }
}

// Removes path only while it is still the file this call created.
void RemoveOwnFile(const std::string& path, const struct stat& created)
{
    struct stat current{};
    if (lstat(path.c_str(), &current) == 0 && current.st_dev == created.st_dev && current.st_ino == created.st_ino)
        unlink(path.c_str());
}

}  // namespace

bool CopyFileNoReplace(const std::string& source, const std::string& destination)
{
    Descriptor from(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!from.IsOpen()) {
        SetSourceError(source, errno);
        return false;
    }
    struct stat sourceStatus{};
    if (fstat(from.Get(), &sourceStatus) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    if (S_ISDIR(sourceStatus.st_mode)) {
        SetLastError(ErrorAccessDenied);
        return false;
    }

    // O_EXCL: the destination is created by this call or not at all, so an
    // existing file is never touched. Permission bits travel with the copy,
    // as the read-only attribute does on Windows.
    Descriptor to(open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                       sourceStatus.st_mode & 07777));
    if (!to.IsOpen()) {
        if (errno == EEXIST)
            SetLastError(ErrorFileExists);
        else if (errno == ENOENT)
            SetLastError(ErrorPathNotFound);
        else
            SetLastErrorFromErrno(errno);
        return false;
    }
    struct stat created{};
    int error = 0;
    if (fstat(to.Get(), &created) != 0) error = errno;
    if (error == 0) CopyContent(from.Get(), to.Get(), error);
    if (error == 0) {
        const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
        if (futimens(to.Get(), times) != 0) error = errno;
    }
    if (!to.Close() && error == 0) error = errno;
    if (error == 0) return true;
    if (created.st_ino != 0) RemoveOwnFile(destination, created);
    SetLastErrorFromErrno(error);
    return false;
}

bool MoveFileNoReplace(const std::string& source, const std::string& destination)
{
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) return true;
    int error = errno;
    // File systems without the no-replace rename still refuse to link onto an
    // existing name.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        if (link(source.c_str(), destination.c_str()) == 0) {
            if (unlink(source.c_str()) == 0) return true;
            error = errno;
            unlink(destination.c_str());
            SetLastErrorFromErrno(error);
            return false;
        }
        error = errno;
    }
    struct stat sourceStatus{};
    const bool sourceExists = lstat(source.c_str(), &sourceStatus) == 0;
    if (error == ENOENT) {
        if (sourceExists)
            SetLastError(ErrorPathNotFound);
        else
            SetMissingPathError(source);
        return false;
    }
    if (error == EEXIST || error == ENOTEMPTY) {
        SetLastError(ErrorAlreadyExists);
        return false;
    }
    if (error != EXDEV) {
        SetLastErrorFromErrno(error);
        return false;
    }

    // Another volume: copy, and delete the source only once the copy is whole.
    // If the source cannot be deleted the copy goes again, so the move either
    // happens entirely or not at all.
    if (!sourceExists || !S_ISREG(sourceStatus.st_mode)) {
        SetLastError(sourceExists ? ErrorNotSameDevice : ErrorFileNotFound);
        return false;
    }
    if (!CopyFileNoReplace(source, destination)) {
        if (LastError() == ErrorFileExists) SetLastError(ErrorAlreadyExists);
        return false;
    }
    if (unlink(source.c_str()) == 0) return true;
    error = errno;
    unlink(destination.c_str());
    SetLastErrorFromErrno(error);
    return false;
}

bool RemoveFile(const std::string& path)
{
    struct stat status{};
    if (lstat(path.c_str(), &status) != 0) {
        SetSourceError(path, errno);
        return false;
    }
    // Windows refuses to delete a folder or a read-only file; a process run
    // as root would otherwise delete a file its owner protected.
    if (S_ISDIR(status.st_mode) || (S_ISREG(status.st_mode) && (status.st_mode & S_IWUSR) == 0)) {
        SetLastError(ErrorAccessDenied);
        return false;
    }
    if (unlink(path.c_str()) != 0) {
        SetSourceError(path, errno);
        return false;
    }
    return true;
}

bool CreateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0777) == 0) return true;
    if (errno == ENOENT)
        SetLastError(ErrorPathNotFound);
    else
        SetLastErrorFromErrno(errno);
    return false;
}

}  // namespace tolvane::platform
