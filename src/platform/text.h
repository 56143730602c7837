// Text conventions of the running system: the line end of text files, the
// program's code page (UTF-8 where the system honours it), the legacy ANSI
// code page of earlier versions' files, and lower-casing in the program's code
// page (A-Z only where it is UTF-8; CharLowerA in a legacy code page).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvane::platform {

// The line end a text-mode stream writes for "\n" on this system.
#ifdef _WIN32
inline constexpr std::string_view TextLineEnd = "\r\n";
#else
inline constexpr std::string_view TextLineEnd = "\n";
#endif

// True where the program's text (names, paths, control texts) is UTF-8:
// always on POSIX, on Windows where the manifest's code page is honoured.
bool ProgramTextIsUtf8();

// The code point at text[at] and the length of its UTF-8 form; length 0 when
// the bytes there are not well-formed UTF-8 (overlong forms and surrogates
// included).
char32_t DecodeUtf8(std::string_view text, size_t at, size_t& length);
bool IsValidUtf8(std::string_view text);

// A text of the legacy ANSI code page (the system's, on Windows; Windows-1252
// elsewhere) in the program's code page.
std::string ProgramTextFromLegacyAnsi(std::string_view text);

char LowerAnsi(char c);
// Lower-cases a NUL-terminated text in place.
void LowerAnsiInPlace(char* text);

}  // namespace tolvane::platform
