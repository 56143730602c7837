#include "cli/output_format.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "platform/time.h"
#include "platform/unicode.h"

namespace tolvane::cli {
namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte there
// starts none (overlong forms, surrogates and values past U+10FFFF are invalid).
size_t Utf8SequenceLength(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead == 0xE0) length = 3, low = 0xA0;
    else if (lead == 0xED) length = 3, high = 0x9F;
    else if (lead >= 0xE1 && lead <= 0xEF) length = 3;
    else if (lead == 0xF0) length = 4, low = 0x90;
    else if (lead == 0xF4) length = 4, high = 0x8F;
    else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
    else return 0;
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    }
    return length;
}

std::string JsonOfValidText(std::string_view text) { return nlohmann::json(std::string(text)).dump(); }

}  // namespace

std::string EscapedField(std::string_view text)
{
    std::string field;
    field.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\t': field += "\\t"; break;
        case '\n': field += "\\n"; break;
        case '\r': field += "\\r"; break;
#ifndef _WIN32
        case '\\': field += "\\\\"; break;
#endif
        default: field += c;
        }
    }
    return field;
}

std::string JsonPath(std::string_view path)
{
    const std::string utf8 = platform::NameToUtf8(path);
    const std::string_view text(utf8);
    std::string json = "\"";
    size_t runStart = 0;
    const auto flushRun = [&](size_t end) {
        if (end > runStart) {
            const std::string quoted = JsonOfValidText(text.substr(runStart, end - runStart));
            json.append(quoted, 1, quoted.size() - 2);
        }
    };
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8SequenceLength(text, at);
        if (length > 0) {
            at += length;
            continue;
        }
        flushRun(at);
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\udc%02x", static_cast<unsigned char>(text[at]));
        json += escape;
        runStart = ++at;
    }
    flushRun(text.size());
    return json + '"';
}

std::optional<std::string> IsoTime(FileTime utc)
{
    SystemTime calendar;
    if (utc.IsZero() || !platform::FileTimeToCalendar(utc, calendar)) return std::nullopt;
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", calendar.wYear, calendar.wMonth, calendar.wDay,
                  calendar.wHour, calendar.wMinute, calendar.wSecond);
    return std::string(text);
}

void JsonLine::Key(const char* key)
{
    line_ += line_.empty() ? "{" : ",";
    line_ += JsonOfValidText(key);
    line_ += ':';
}

JsonLine& JsonLine::Path(const char* key, std::string_view path)
{
    Key(key);
    line_ += JsonPath(path);
    return *this;
}

JsonLine& JsonLine::Text(const char* key, std::string_view asciiText)
{
    Key(key);
    line_ += JsonOfValidText(asciiText);
    return *this;
}

JsonLine& JsonLine::Number(const char* key, uint64_t number)
{
    Key(key);
    line_ += nlohmann::json(number).dump();
    return *this;
}

JsonLine& JsonLine::Time(const char* key, FileTime utc)
{
    const std::optional<std::string> time = IsoTime(utc);
    return time ? Text(key, *time) : Null(key);
}

JsonLine& JsonLine::Null(const char* key)
{
    Key(key);
    line_ += nlohmann::json(nullptr).dump();
    return *this;
}

std::string JsonLine::Finish()
{
    std::string line = line_.empty() ? "{" : line_;
    line_.clear();
    return line + "}\n";
}

}  // namespace tolvane::cli
