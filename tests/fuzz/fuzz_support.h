// Shared by the fuzz programs.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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
    name = name.substr(0, std::min({name.find('\0'), name.size(), static_cast<size_t>(NameBufferSize) - 1}));
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

// A folder of the run's own under the system's temporary folder, removed
// with everything in it when the fuzzer exits.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-fuzz-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Keeps the caption of every message box it is asked to show and answers Yes or OK.
class RecordingPrompter : public Prompter {
public:
    int Message(const std::string&, const std::string& caption, unsigned style) override
    {
        shown.push_back(caption);
        return (style & 0xF) == MbYesNo ? IdYes : IdOk;
    }

    std::vector<std::string> shown;
};

}  // namespace tolvane::fuzz
