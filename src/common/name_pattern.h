// Shell wildcards over one name: `*` any run of characters, `?` one character,
// `[...]` one character of a set (ranges a-z, `!` or `^` first for "not in"),
// a backslash takes the next character literally. Names hold no separator, so
// a wildcard matches any character, a leading dot included.
#pragma once

#include <string_view>

namespace tolvane {

// The system's rule: fnmatch(3) on POSIX (letter case counts), the matcher
// below on Windows (letter case ignored, as the file system ignores it).
bool NameMatchesPattern(const char* name, const char* pattern);

// The portable matcher; ignoreCase folds both sides as the name rule does.
// `?` takes one whole character of UTF-8 text; sets compare single bytes.
bool WildcardMatch(std::string_view name, std::string_view pattern, bool ignoreCase);

}  // namespace tolvane
