// Shared by the fuzz programs; they also use the tests' temporary folder and
// scripted prompter.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tolvane::fuzz {

// Ends the run as a finding: libFuzzer saves the input that broke the rule.
inline void Require(bool condition)
{
    if (!condition) std::abort();
}

// A directory entry named as a listing would name it: cut at the first NUL
// and to the name buffer, NUL-terminated. Returns the name it holds.
inline std::string_view SetEntryName(FindData& entry, std::string_view name)
{
    name = name.substr(0, std::min({name.find('\0'), name.size(), static_cast<size_t>(NameBufferSize) - 1}));
    std::memcpy(entry.cFileName, name.data(), name.size());
    entry.cFileName[name.size()] = '\0';
    return std::string_view(entry.cFileName, name.size());
}

// The input cut at any of the separators, every piece kept (empty ones too),
// at most limit pieces.
inline std::vector<std::string_view> Pieces(std::string_view input, std::string_view separators,
                                            size_t limit = SIZE_MAX)
{
    std::vector<std::string_view> pieces;
    for (size_t start = 0; start <= input.size() && pieces.size() < limit;) {
        const size_t end = std::min(input.find_first_of(separators, start), input.size());
        pieces.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace tolvane::fuzz
