// The rule options that `tolvane find` and `tolvane compare` share: one
// syntax and one set of messages for sizes, dates, times of day, attributes
// and extensions. A value an option cannot take throws BadValue, whose message
// names the option; each command turns it into exit status 2.
#pragma once

#include <string>
#include <vector>

#include "find/criteria.h"

namespace tolvane::cli {

struct BadValue {
    std::string message;
};

std::vector<std::string> Split(const std::string& text, char separator);

// The index of value in names; else BadValue "OPTION: unknown WHAT 'value' (one of a|b|c)".
int Choice(const std::vector<std::string>& names, const std::string& value, const std::string& option,
           const std::string& what);

extern const std::vector<std::string> ExtensionModeNames;  // include, exclude
extern const std::vector<std::string> AttributeModeNames;  // include, exclude

// One bound of a size option, N[UNIT]: the digits as a size field holds them.
struct SizeBound {
    std::string digits;
    uint64_t number = 0;
    SizeUnit unit = SizeUnit::Bytes;
};

// --size (find) and --size-filter (compare):
// MODE:N[UNIT][:N[UNIT]], MODE eq|min|max|between|not-between, UNIT B|kB|MB
// in any letter case.
struct SizeOption {
    SizeRuleMode mode = SizeRuleMode::EqualTo;
    SizeBound from;
    SizeBound to;  // empty digits when only one bound is given
};
SizeOption ParseSizeOption(const std::string& option, const std::string& text);

// KIND:REL:YYYY-MM-DD[:YYYY-MM-DD], KIND created|modified|accessed,
// REL on|before|after|between|not-between.
struct DateOption {
    FileTimeKind kind = FileTimeKind::Created;
    DateRelation relation = DateRelation::On;
    SystemTime from;
    SystemTime to;
};
DateOption ParseDateOption(const std::string& text);

// KIND:REL:HH:MM[:HH:MM], REL at|before|after|between|not-between.
struct TimeOption {
    FileTimeKind kind = FileTimeKind::Created;
    TimeRelation relation = TimeRelation::At;
    SystemTime from;
    SystemTime to;
};
TimeOption ParseTimeOption(const std::string& text);

// include|exclude:NAME[,NAME...] with the attribute names in flag order;
// compressed and encrypted exclude each other, as in the attributes dialog.
struct AttributeOption {
    AttributeRuleMode mode = AttributeRuleMode::Include;
    std::vector<AttributeFlag> flags;
};
AttributeOption ParseAttributeOption(const std::string& text);
// --attr given once or more: the names of every value, which must share one mode.
AttributeOption ParseAttributeOptions(const std::vector<std::string>& texts);
const std::string& AttributeName(AttributeFlag flag);

// The list as the dialog's extension edit takes it: lower case (in the ANSI
// code page), with the characters a list cannot hold (dots, doubled slashes)
// dropped and no final slash; empty or over-long lists are refused.
std::string ParseExtensionOption(const std::string& text);
// --ext given once or more (--ext h --ext hpp is --ext h/hpp); each value must
// hold an extension.
std::string ParseExtensionOptions(const std::vector<std::string>& texts);

}  // namespace tolvane::cli
