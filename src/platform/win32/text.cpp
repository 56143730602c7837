#include "platform/text.h"

#include <windows.h>

namespace tolvane::platform {

bool ProgramTextIsUtf8() { return GetACP() == CP_UTF8; }

std::string ProgramTextFromLegacyAnsi(std::string_view text)
{
    if (!ProgramTextIsUtf8() || text.empty()) return std::string(text);
    // The code page the system would use for ANSI without the manifest's.
    DWORD legacy = CP_ACP;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&legacy), sizeof legacy / sizeof(wchar_t));
    if (legacy == CP_ACP || legacy == CP_UTF8) legacy = 1252;
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(legacy, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    MultiByteToWideChar(legacy, 0, text.data(), size, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, converted.data(), length, nullptr, nullptr);
    return converted;
}

char LowerAnsi(char c)
{
    // In UTF-8 only A-Z, so that no byte of a longer character changes.
    if (ProgramTextIsUtf8()) return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    // A pointer value below 0x10000 makes CharLowerA convert the one character.
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(reinterpret_cast<ULONG_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(byte)))));
}

void LowerAnsiInPlace(char* text)
{
    if (!ProgramTextIsUtf8()) {
        CharLowerA(text);
        return;
    }
    for (; *text; ++text) *text = LowerAnsi(*text);
}

}  // namespace tolvane::platform
