// The text forms of sizes and dates that every result list and progress
// display shows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tolvane {

// "%I64u" with plainBytes, else the scaled form with one truncated tenth:
// "1023 B", "1.4 kB", "10 MB", "1024 GB".
std::string SizeText(uint64_t size, bool plainBytes);

// "YYYY-MM-DD  HH:MM" of a local time, or "(not supported)" when it stands for
// the zero file time.
std::string DateText(const SystemTime& localTime);

// DateText of a UTC file time as a directory listing gives it.
std::string FileTimeText(FileTime utc);

}  // namespace tolvane
