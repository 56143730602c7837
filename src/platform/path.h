// Path conventions of the running system: the separator every folder path ends
// with, and the longest path the system's calls accept.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::platform {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
// The limit of extended-length paths (in UTF-16 units; counted here in the
// program's bytes, which is never more generous).
inline constexpr int MaxPath = 32767;
// A buffer that holds the longest path in the program's code page (UTF-8:
// up to three bytes a UTF-16 unit), terminator included.
inline constexpr size_t PathTextBufferSize = size_t{MaxPath} * 3 + 1;
#else
inline constexpr char PathSeparator = '/';
inline constexpr int MaxPath = 4096;  // PATH_MAX, terminator included
inline constexpr size_t PathTextBufferSize = MaxPath;
#endif

inline bool EndsWithSeparator(std::string_view path)
{
#ifdef _WIN32
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
#else
    return !path.empty() && path.back() == '/';
#endif
}

// The path with exactly one separator at its end ("%s\\" unless it has one).
inline std::string WithTrailingSeparator(std::string_view path)
{
    std::string result(path);
    if (!EndsWithSeparator(result)) result += PathSeparator;
    return result;
}

// A path that the system's calls take: shorter than MaxPath with its terminator.
inline bool FitsPathLimit(std::string_view path) { return path.size() < static_cast<size_t>(MaxPath); }

}  // namespace tolvane::platform
