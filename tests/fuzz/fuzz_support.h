// Shared by the fuzz programs.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompter.h"
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
    name = name.substr(0, std::min(name.find('\0'), name.size()));
    name = name.substr(0, NameBufferSize - 1);
    std::memcpy(entry.cFileName, name.data(), name.size());
    entry.cFileName[name.size()] = '\0';
    return std::string_view(entry.cFileName, name.size());
}

// A text as an edit control hands it over: cut at the first NUL.
inline std::string EditText(std::string text)
{
    text.resize(std::min(text.find('\0'), text.size()));
    return text;
}

// Keeps every message box it is asked to show and answers Yes or OK.
class RecordingPrompter : public Prompter {
public:
    struct Shown {
        std::string text, caption;
        unsigned style;
    };

    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        shown.push_back({text, caption, style});
        return (style & 0xF) == MbYesNo ? IdYes : IdOk;
    }

    std::vector<Shown> shown;
};

}  // namespace tolvane::fuzz
