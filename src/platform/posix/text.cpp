#include "platform/text.h"

namespace tolvane::platform {

bool ProgramTextIsUtf8() { return true; }

// Windows-1252 to UTF-8; its five unassigned bytes stand for the C1 controls
// of the same value, as the system's conversion gives them.
std::string ProgramTextFromLegacyAnsi(std::string_view text)
{
    static constexpr char16_t High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string converted;
    converted.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t code = byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte;
        if (code < 0x80) {
            converted += static_cast<char>(code);
        } else if (code < 0x800) {
            converted += static_cast<char>(0xC0 | (code >> 6));
            converted += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            converted += static_cast<char>(0xE0 | (code >> 12));
            converted += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            converted += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return converted;
}

// UTF-8 text: only A-Z, so that no byte of a longer character changes.
char LowerAnsi(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

void LowerAnsiInPlace(char* text)
{
    for (; *text; ++text) *text = LowerAnsi(*text);
}

}  // namespace tolvane::platform
