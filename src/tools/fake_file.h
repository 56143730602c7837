// Create fake file: a file of a chosen size whose content is never written,
// from 1 byte up to 9999 GB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.h"

namespace tolvane {

// Units, as the items of the unit list; each is 1024 times the one before.
inline constexpr int UnitBytes = 0;      // "B"
inline constexpr int UnitKilobytes = 1;  // "kB"
inline constexpr int UnitMegabytes = 2;  // "MB"
inline constexpr int UnitGigabytes = 3;  // "GB"

// The size box takes at most this many digits.
inline constexpr size_t SizeDigits = 4;

// The byte count of a size text of up to four digits (empty reads as 0) in
// the given unit; 0 becomes 1. An index outside the list counts as bytes.
// Nothing when the text holds anything but up to four digits.
std::optional<uint64_t> FakeFileByteCount(std::string_view sizeText, int unitIndex);

// Creates (or replaces) path with a file of the byte count, telling the user
// the outcome through the prompter; true when the file has its full size.
bool CreateFakeFile(const std::string& path, std::string_view sizeText, int unitIndex, Prompter& prompter);

}  // namespace tolvane
