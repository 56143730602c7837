#include "platform/unicode.h"

#include <windows.h>

namespace tolvane::platform {

std::string NameToUtf8(std::string_view name)
{
    if (name.empty()) return {};
    const int length = static_cast<int>(name.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, name.data(), length, nullptr, 0);
    if (wideLength <= 0) return std::string(name);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), length, wide.data(), wideLength);
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0) return std::string(name);
    std::string utf8(static_cast<size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
    return utf8;
}

}  // namespace tolvane::platform
