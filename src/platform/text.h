// Lower-casing in the system's ANSI code page (CharLowerA on Windows; the same
// table of Windows-1252 on other systems).
#pragma once

namespace tolvane::platform {

char LowerAnsi(char c);
// Lower-cases a NUL-terminated text in place.
void LowerAnsiInPlace(char* text);

}  // namespace tolvane::platform
