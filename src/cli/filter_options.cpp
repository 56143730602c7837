#include "cli/filter_options.h"

#include <algorithm>
#include <cctype>

#include "find/filter_normalisation.h"
#include "platform/text.h"
#include "platform/time.h"

namespace tolvane::cli {
namespace {

const std::vector<std::string> SizeModeNames = {"eq", "min", "max", "between", "not-between"};
const std::vector<std::string> SizeUnitNames = {"B", "kB", "MB"};
const std::vector<std::string> TimeKindNames = {"created", "modified", "accessed"};
const std::vector<std::string> DateRelationNames = {"on", "before", "after", "between", "not-between"};
const std::vector<std::string> TimeRelationNames = {"at", "before", "after", "between", "not-between"};
// In the order of the attribute flags.
const std::vector<std::string> AttributeNames = {"archive", "index",      "readonly",  "hidden",
                                                 "system",  "temporary",  "offline",   "compressed",
                                                 "encrypted", "sparse",   "reparsepoint"};

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
    return text;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameLettersIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

SizeBound ParseSizeBound(const std::string& option, const std::string& text)
{
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    SizeBound bound;
    bound.digits = text.substr(0, digits);
    const std::string unit = text.substr(digits);
    if (bound.digits.empty()) throw BadValue{option + ": '" + text + "' is not a number of bytes, kB or MB"};
    if (!unit.empty()) {
        const auto found = std::find_if(SizeUnitNames.begin(), SizeUnitNames.end(),
                                        [&](const std::string& name) { return SameLettersIgnoringCase(unit, name); });
        if (found == SizeUnitNames.end()) throw BadValue{option + ": unknown unit '" + unit + "' (one of B|kB|MB)"};
        bound.unit = static_cast<SizeUnit>(found - SizeUnitNames.begin());
    }
    bound.number = SizeFieldValue(bound.digits);
    if (SizeInBytes(bound.number, bound.unit) == UINT64_MAX) throw BadValue{option + ": '" + text + "' is too large"};
    return bound;
}

// An option's bounds: one for the plain relations, two for the two ranges.
void CheckBoundCount(size_t bounds, bool range, const std::string& option)
{
    if (range && bounds != 2) throw BadValue{option + ": between and not-between take two bounds"};
    if (!range && bounds != 1) throw BadValue{option + ": only between and not-between take a second bound"};
}

SystemTime ParseCalendarDate(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, '-');
    SystemTime date;
    FileTime check;
    if (parts.size() == 3 && parts[0].size() == 4 && parts[1].size() == 2 && parts[2].size() == 2 &&
        AllDigits(parts[0]) && AllDigits(parts[1]) && AllDigits(parts[2])) {
        date.wYear = static_cast<uint16_t>(std::stoi(parts[0]));
        date.wMonth = static_cast<uint16_t>(std::stoi(parts[1]));
        date.wDay = static_cast<uint16_t>(std::stoi(parts[2]));
        if (date.wYear >= 1601 && platform::CalendarToFileTime(date, check)) return date;
    }
    throw BadValue{"--date: '" + text + "' is not a date YYYY-MM-DD"};
}

SystemTime ParseTimeOfDay(const std::string& hours, const std::string& minutes)
{
    SystemTime time;
    if (hours.size() == 2 && minutes.size() == 2 && AllDigits(hours) && AllDigits(minutes)) {
        time.wHour = static_cast<uint16_t>(std::stoi(hours));
        time.wMinute = static_cast<uint16_t>(std::stoi(minutes));
        // A valid day, so that the value is a whole picker value.
        time.wYear = 2000;
        time.wMonth = 1;
        time.wDay = 1;
        if (time.wHour < 24 && time.wMinute < 60) return time;
    }
    throw BadValue{"--time: '" + hours + ":" + minutes + "' is not a time HH:MM"};
}

}  // namespace

const std::vector<std::string> ExtensionModeNames = {"include", "exclude"};
const std::vector<std::string> AttributeModeNames = {"include", "exclude"};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

int Choice(const std::vector<std::string>& names, const std::string& value, const std::string& option,
           const std::string& what)
{
    const auto found = std::find(names.begin(), names.end(), value);
    if (found == names.end()) throw BadValue{option + ": unknown " + what + " '" + value + "' (one of " + Joined(names) + ")"};
    return static_cast<int>(found - names.begin());
}

SizeOption ParseSizeOption(const std::string& option, const std::string& text)
{
    const std::vector<std::string> parts = Split(text, ':');
    SizeOption size;
    size.mode = static_cast<SizeRuleMode>(Choice(SizeModeNames, parts[0], option, "mode"));
    CheckBoundCount(parts.size() - 1, size.mode == SizeRuleMode::Between || size.mode == SizeRuleMode::NotBetween,
                    option);
    size.from = ParseSizeBound(option, parts[1]);
    if (parts.size() > 2) size.to = ParseSizeBound(option, parts[2]);
    return size;
}

DateOption ParseDateOption(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() < 3) throw BadValue{"--date: expected KIND:REL:YYYY-MM-DD[:YYYY-MM-DD]"};
    DateOption date;
    date.kind = static_cast<FileTimeKind>(Choice(TimeKindNames, parts[0], "--date", "kind"));
    date.relation = static_cast<DateRelation>(Choice(DateRelationNames, parts[1], "--date", "relation"));
    CheckBoundCount(parts.size() - 2, date.relation == DateRelation::Between || date.relation == DateRelation::NotBetween,
                    "--date");
    date.from = ParseCalendarDate(parts[2]);
    date.to = parts.size() > 3 ? ParseCalendarDate(parts[3]) : date.from;
    return date;
}

TimeOption ParseTimeOption(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() != 4 && parts.size() != 6) throw BadValue{"--time: expected KIND:REL:HH:MM[:HH:MM]"};
    TimeOption time;
    time.kind = static_cast<FileTimeKind>(Choice(TimeKindNames, parts[0], "--time", "kind"));
    time.relation = static_cast<TimeRelation>(Choice(TimeRelationNames, parts[1], "--time", "relation"));
    CheckBoundCount(parts.size() == 6 ? 2 : 1, time.relation == TimeRelation::Between || time.relation == TimeRelation::NotBetween,
                    "--time");
    time.from = ParseTimeOfDay(parts[2], parts[3]);
    time.to = parts.size() == 6 ? ParseTimeOfDay(parts[4], parts[5]) : time.from;
    return time;
}

AttributeOption ParseAttributeOption(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos) throw BadValue{"--attr: expected include|exclude:NAME[,NAME...]"};
    AttributeOption attributes;
    attributes.mode = static_cast<AttributeRuleMode>(Choice(AttributeModeNames, text.substr(0, colon), "--attr", "mode"));
    for (const std::string& name : Split(text.substr(colon + 1), ','))
        attributes.flags.push_back(static_cast<AttributeFlag>(Choice(AttributeNames, name, "--attr", "attribute")));
    const auto has = [&](AttributeFlag flag) {
        return std::find(attributes.flags.begin(), attributes.flags.end(), flag) != attributes.flags.end();
    };
    if (has(AttributeFlag::Compressed) && has(AttributeFlag::Encrypted))
        throw BadValue{"--attr: compressed and encrypted exclude each other"};
    return attributes;
}

AttributeOption ParseAttributeOptions(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts) {
        const AttributeOption one = ParseAttributeOption(text);
        const size_t colon = text.find(':');
        if (joined.empty())
            joined = text;
        else if (one.mode != ParseAttributeOption(joined).mode)
            throw BadValue{"--attr: every --attr must take the same mode, include or exclude"};
        else
            joined += "," + text.substr(colon + 1);
    }
    return ParseAttributeOption(joined);
}

const std::string& AttributeName(AttributeFlag flag) { return AttributeNames[static_cast<size_t>(flag)]; }

std::string ParseExtensionOption(const std::string& text)
{
    std::string list = text;
    // In the ANSI code page, as the edit lower-cases what is typed and as names
    // are lower-cased when they are matched: accented letters too.
    for (char& c : list) c = platform::LowerAnsi(c);
    while (FilterTypedExtensions(list)) {
    }
    if (!list.empty() && list.back() == '/') list.pop_back();
    if (list.empty()) throw BadValue{"--ext: no extension given"};
    if (list.size() > ExtensionListMax) throw BadValue{"--ext: the list is longer than 99 characters"};
    return list;
}

std::string ParseExtensionOptions(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : "/") + ParseExtensionOption(text);
    return ParseExtensionOption(joined);
}

}  // namespace tolvane::cli
