#include "platform/text.h"

namespace tolvane::platform {

char32_t DecodeUtf8(std::string_view text, size_t at, size_t& length)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) {
        length = 0;
        return 0;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80) {
            length = 0;
            return 0;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) length = 0;
    return c;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0, length = 0; at < text.size(); at += length) {
        DecodeUtf8(text, at, length);
        if (length == 0) return false;
    }
    return true;
}

}  // namespace tolvane::platform
