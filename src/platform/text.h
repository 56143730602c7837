// Text conventions of the running system: the line end of text files, and
// lower-casing in the ANSI code page (CharLowerA on Windows; the same table of
// Windows-1252 on other systems).
#pragma once

#include <string_view>

namespace tolvane::platform {

// The line end a text-mode stream writes for "\n" on this system.
#ifdef _WIN32
inline constexpr std::string_view TextLineEnd = "\r\n";
#else
inline constexpr std::string_view TextLineEnd = "\n";
#endif

char LowerAnsi(char c);
// Lower-cases a NUL-terminated text in place.
void LowerAnsiInPlace(char* text);

}  // namespace tolvane::platform
