// The program's paths and names (in the active code page: UTF-8 where the
// manifest's code page is honoured, the legacy ANSI code page on older
// systems) as the wide calls take them, and back.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::platform {

// The text in UTF-16; empty (with ERROR_NO_UNICODE_TRANSLATION) when it is not
// valid in the code page.
std::wstring WideFromProgram(std::string_view text);

// The UTF-16 text in the code page; false when a character has no exact form
// there (then text holds '?' for it, which no file name holds, so that no call
// reaches another file by it). Never a "best fit".
bool ProgramFromWide(std::wstring_view wide, std::string& text);

// The program's path as an absolute extended-length path ("\\?\C:\..." or
// "\\?\UNC\server\share\..."), made absolute and with "." and ".." resolved
// by this function alone, so that the system takes every name as it is:
// trailing dots and blanks stay, device names such as "aux.c" are files.
// '/' counts as a separator. Empty, with the last error set, when the path
// cannot be converted.
std::wstring ExtendedPath(const std::string& programPath);

}  // namespace tolvane::platform
