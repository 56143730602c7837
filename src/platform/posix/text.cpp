#include "platform/text.h"

namespace tolvane::platform {

// Windows-1252 lower-casing, as CharLowerA does in that code page.
char LowerAnsi(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') return static_cast<char>(byte + 32);
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<char>(byte + 32);
    switch (byte) {
    case 0x8A: return static_cast<char>(0x9A);  // S caron
    case 0x8C: return static_cast<char>(0x9C);  // OE
    case 0x8E: return static_cast<char>(0x9E);  // Z caron
    case 0x9F: return static_cast<char>(0xFF);  // Y diaeresis
    default: return c;
    }
}

void LowerAnsiInPlace(char* text)
{
    for (; *text; ++text) *text = LowerAnsi(*text);
}

}  // namespace tolvane::platform
