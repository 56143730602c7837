#include "common/name_pattern.h"

#ifndef _WIN32
#include <fnmatch.h>
#endif

#include "common/case_folding.h"
#include "platform/text.h"

namespace tolvane {
namespace {

// The length of the character at name[at]: a UTF-8 sequence counts as one
// character where the program's text is UTF-8; any other byte as one.
size_t CharacterLength(std::string_view name, size_t at)
{
    if (!platform::ProgramTextIsUtf8()) return 1;
    size_t length = 0;
    platform::DecodeUtf8(name, at, length);
    return length == 0 ? 1 : length;
}

// Matches c against the set that starts at pattern[at] (just after '['). Sets
// `next` to the index after the closing ']'; false in `closed` when there is
// none, and the '[' then stands for itself.
bool InSet(std::string_view pattern, size_t at, char c, size_t& next, bool& closed)
{
    size_t i = at;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated) ++i;
    bool found = false;
    bool first = true;
    while (i < pattern.size() && (first || pattern[i] != ']')) {
        first = false;
        char low = pattern[i];
        if (low == '\\' && i + 1 < pattern.size()) low = pattern[++i];
        ++i;
        char high = low;
        if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            high = pattern[i + 1];
            if (high == '\\' && i + 2 < pattern.size()) high = pattern[++i + 1];
            i += 2;
        }
        const auto value = [](char x) { return static_cast<unsigned char>(x); };
        if (value(low) <= value(c) && value(c) <= value(high)) found = true;
    }
    closed = i < pattern.size();
    next = i + 1;
    return found != negated;
}

bool CaseSensitiveMatch(std::string_view name, std::string_view pattern)
{
    // Backtracking to the last '*' only: linear in practice, never exponential.
    size_t n = 0, p = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            const char token = pattern[p];
            if (token == '*') {
                starPattern = p++;
                starName = n;
                continue;
            }
            if (token == '?') {
                ++p;
                n += CharacterLength(name, n);
                continue;
            }
            if (token == '[') {
                size_t next = 0;
                bool closed = false;
                const bool matched = InSet(pattern, p + 1, name[n], next, closed);
                if (closed) {
                    if (matched) {
                        p = next;
                        ++n;
                        continue;
                    }
                } else if (name[n] == '[') {
                    ++p;
                    ++n;
                    continue;
                }
            } else {
                char literal = token;
                size_t width = 1;
                if (token == '\\' && p + 1 < pattern.size()) {
                    literal = pattern[p + 1];
                    width = 2;
                }
                if (literal == name[n]) {
                    p += width;
                    ++n;
                    continue;
                }
            }
        }
        if (starPattern == std::string_view::npos) return false;
        p = starPattern + 1;
        starName += CharacterLength(name, starName);
        n = starName;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view name, std::string_view pattern, bool ignoreCase)
{
    if (!ignoreCase) return CaseSensitiveMatch(name, pattern);
    return CaseSensitiveMatch(FoldCase(name), FoldCase(pattern));
}

bool NameMatchesPattern(const char* name, const char* pattern)
{
#ifdef _WIN32
    return WildcardMatch(name, pattern, true);
#else
    return fnmatch(pattern, name, 0) == 0;
#endif
}

}  // namespace tolvane
