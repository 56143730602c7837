#include "platform/error.h"

#include <cerrno>
#include <cstring>

#include "platform/posix/errno_map.h"

namespace tolvane::platform {
namespace {

// The errno behind the last code, so that its text is the system's own.
thread_local uint32_t lastCode = 0;
thread_local int lastErrno = 0;

// Codes without a POSIX counterpart carry the errno in the low bits with the
// customer bit set, as Windows reserves for application codes.
constexpr uint32_t ErrnoCodeFlag = 0x20000000;

int RepresentativeErrno(uint32_t code)
{
    switch (code) {
    case ErrorFileNotFound:
    case ErrorPathNotFound: return ENOENT;
    case ErrorAccessDenied: return EACCES;
    case ErrorNotEnoughMemory: return ENOMEM;
    case ErrorNotReady: return ENXIO;
    case ErrorNotSameDevice: return EXDEV;
    case ErrorSharingViolation: return EBUSY;
    case ErrorFileExists:
    case ErrorAlreadyExists: return EEXIST;
    case ErrorDiskFull: return ENOSPC;
    case ErrorDirNotEmpty: return ENOTEMPTY;
    case ErrorFilenameTooLong: return ENAMETOOLONG;
    case ErrorDirectory: return ENOTDIR;
    default: return (code & ErrnoCodeFlag) ? static_cast<int>(code & 0xFFFF) : 0;
    }
}

}  // namespace

uint32_t ErrnoToErrorCode(int error)
{
    switch (error) {
    case 0: return ErrorSuccess;
    case ENOENT: return ErrorFileNotFound;
    case ENOTDIR: return ErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ErrorAccessDenied;
    case ENOMEM: return ErrorNotEnoughMemory;
    case ENXIO:
    case ENODEV: return ErrorNotReady;
    case EBUSY:
    case ETXTBSY: return ErrorSharingViolation;
    case EEXIST: return ErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT: return ErrorDiskFull;
    case ENOTEMPTY: return ErrorDirNotEmpty;
    case EXDEV: return ErrorNotSameDevice;
    case ENAMETOOLONG: return ErrorFilenameTooLong;
    default: return ErrnoCodeFlag | static_cast<uint32_t>(error);
    }
}

void SetLastErrorFromErrno(int error)
{
    lastCode = ErrnoToErrorCode(error);
    lastErrno = error;
}

uint32_t LastError() { return lastCode; }

void SetLastError(uint32_t code)
{
    lastCode = code;
    lastErrno = RepresentativeErrno(code);
}

std::string SystemErrorText(uint32_t code)
{
    if (code == ErrorSuccess) return "Success";
    const int error = code == lastCode && lastErrno != 0 ? lastErrno : RepresentativeErrno(code);
    if (error == 0) return {};
    return std::strerror(error);
}

}  // namespace tolvane::platform
