#include "common/name_pattern.h"

#ifndef _WIN32
#include <fnmatch.h>
#endif

#include "platform/text.h"

namespace tolvane {
namespace {

char Folded(char c, bool ignoreCase) { return ignoreCase ? platform::LowerAnsi(c) : c; }

// Matches c against the set that starts at pattern[at] (just after '['). Sets
// `next` to the index after the closing ']'; false in `closed` when there is
// none, and the '[' then stands for itself.
bool InSet(std::string_view pattern, size_t at, char c, bool ignoreCase, size_t& next, bool& closed)
{
    size_t i = at;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated) ++i;
    bool found = false;
    bool first = true;
    const char folded = Folded(c, ignoreCase);
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
        const auto value = [&](char x) { return static_cast<unsigned char>(Folded(x, ignoreCase)); };
        const unsigned char f = static_cast<unsigned char>(folded);
        if (value(low) <= f && f <= value(high)) found = true;
    }
    closed = i < pattern.size();
    next = i + 1;
    return found != negated;
}

}  // namespace

bool WildcardMatch(std::string_view name, std::string_view pattern, bool ignoreCase)
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
                ++n;
                continue;
            }
            if (token == '[') {
                size_t next = 0;
                bool closed = false;
                const bool matched = InSet(pattern, p + 1, name[n], ignoreCase, next, closed);
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
                if (Folded(literal, ignoreCase) == Folded(name[n], ignoreCase)) {
                    p += width;
                    ++n;
                    continue;
                }
            }
        }
        if (starPattern == std::string_view::npos) return false;
        p = starPattern + 1;
        n = ++starName;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
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
