// The calling thread's last error as a Win32 error code, and its system text.
// The POSIX layer maps errno onto the codes that callers branch on.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane::platform {

inline constexpr uint32_t ErrorSuccess = 0;
inline constexpr uint32_t ErrorFileNotFound = 2;
inline constexpr uint32_t ErrorPathNotFound = 3;
inline constexpr uint32_t ErrorAccessDenied = 5;
inline constexpr uint32_t ErrorNotEnoughMemory = 8;
inline constexpr uint32_t ErrorNotSameDevice = 17;
inline constexpr uint32_t ErrorNotReady = 21;
inline constexpr uint32_t ErrorSharingViolation = 32;
inline constexpr uint32_t ErrorFileExists = 80;
inline constexpr uint32_t ErrorDiskFull = 112;
inline constexpr uint32_t ErrorDirNotEmpty = 145;
inline constexpr uint32_t ErrorAlreadyExists = 183;
inline constexpr uint32_t ErrorFilenameTooLong = 206;
inline constexpr uint32_t ErrorDirectory = 267;

// The error of an entry that was removed (or renamed) since it was listed.
inline bool IsVanishedError(uint32_t code) { return code == ErrorFileNotFound || code == ErrorPathNotFound; }

uint32_t LastError();
void SetLastError(uint32_t code);

// The system's message for an error code, as the system gives it (a Windows
// text ends with CR LF). Empty when the system has no text for the code.
std::string SystemErrorText(uint32_t code);

}  // namespace tolvane::platform
