// The forms in which `tolvane find` and `tolvane compare` print rows for
// scripts: text fields with their tabs, line ends and backslashes escaped,
// lines ended by a newline or (-0) by NUL, and JSON Lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace tolvane::cli {

// A name or path as one field of a tab-separated line: tab, newline, carriage
// return and backslash become \t, \n, \r and \\. On Windows a backslash is the
// path separator (no name holds one) and stays as it is.
std::string EscapedField(std::string_view text);

// The JSON string for a name or path, quotes included. The bytes are taken as
// UTF-8; a byte that is not part of valid UTF-8 is written as \udcXX (XX its
// value), the form of Python's "surrogateescape": os.fsencode() of the string
// read gives back the exact bytes, and Python's file functions take it as it is.
std::string JsonPath(std::string_view path);

// "YYYY-MM-DDTHH:MM:SSZ" in UTC; nothing for the zero file time.
std::optional<std::string> IsoTime(FileTime utc);

// One JSON object on one line, its fields in the order added.
class JsonLine {
public:
    JsonLine& Path(const char* key, std::string_view path);
    JsonLine& Text(const char* key, std::string_view asciiText);
    JsonLine& Number(const char* key, uint64_t number);
    JsonLine& Time(const char* key, FileTime utc);
    JsonLine& Null(const char* key);
    // The object and its newline.
    std::string Finish();

private:
    void Key(const char* key);
    std::string line_;
};

}  // namespace tolvane::cli
