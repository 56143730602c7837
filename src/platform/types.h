// Plain records of the OS layer: the fields of a directory entry and of file
// times exactly as the Win32 listing reports them, so that the engines read the
// same values in both builds.
#pragma once

#include <cstdint>

namespace tolvane {

// 100-nanosecond intervals since 1601-01-01, as two 32-bit halves.
struct FileTime {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;

    uint64_t Value() const { return (uint64_t{dwHighDateTime} << 32) | dwLowDateTime; }
    bool IsZero() const { return dwLowDateTime == 0 && dwHighDateTime == 0; }
    static FileTime FromValue(uint64_t value)
    {
        return FileTime{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
    }
};

// Calendar fields; wDayOfWeek 0 is Sunday.
struct SystemTime {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// Attribute bits of a directory entry.
inline constexpr uint32_t AttributeReadOnly = 0x1;
inline constexpr uint32_t AttributeHidden = 0x2;
inline constexpr uint32_t AttributeSystem = 0x4;
inline constexpr uint32_t AttributeDirectory = 0x10;
inline constexpr uint32_t AttributeArchive = 0x20;
inline constexpr uint32_t AttributeNormal = 0x80;
inline constexpr uint32_t AttributeTemporary = 0x100;
inline constexpr uint32_t AttributeSparseFile = 0x200;
inline constexpr uint32_t AttributeReparsePoint = 0x400;
inline constexpr uint32_t AttributeCompressed = 0x800;
inline constexpr uint32_t AttributeOffline = 0x1000;
inline constexpr uint32_t AttributeNotContentIndexed = 0x2000;
inline constexpr uint32_t AttributeEncrypted = 0x4000;

// Size of the name buffer of a directory entry: a name of 255 UTF-16 units
// (the longest Windows takes) in UTF-8, or of 255 bytes (NAME_MAX on POSIX).
inline constexpr int NameBufferSize = 255 * 3 + 1;

// One directory entry, field for field what the Win32 listing gives (the name
// in the program's code page: UTF-8 where the system honours it).
struct FindData {
    uint32_t dwFileAttributes = 0;
    FileTime ftCreationTime;
    FileTime ftLastAccessTime;
    FileTime ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    char cFileName[NameBufferSize] = {};
    // False only where the listing knows that this is the one name of its
    // file (POSIX: a single link, and no mount point).
    bool mayHaveOtherNames = true;

    uint64_t Size() const { return (uint64_t{nFileSizeHigh} << 32) | nFileSizeLow; }
    void SetSize(uint64_t size)
    {
        nFileSizeLow = static_cast<uint32_t>(size);
        nFileSizeHigh = static_cast<uint32_t>(size >> 32);
    }
    bool IsDirectory() const { return (dwFileAttributes & AttributeDirectory) != 0; }
    bool IsReparsePoint() const { return (dwFileAttributes & AttributeReparsePoint) != 0; }
};

}  // namespace tolvane
