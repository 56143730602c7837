// File times: calendar conversion (pure arithmetic, UTC) and the conversion
// between UTC and local time, which needs the system's time zone.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace tolvane::platform {

// Calendar fields of a file time; false for values past year 30827.
bool FileTimeToCalendar(FileTime time, SystemTime& calendar);
// File time of calendar fields; false for fields out of range (month 13, 30 February ...).
bool CalendarToFileTime(const SystemTime& calendar, FileTime& time);

bool UtcToLocalFileTime(FileTime utc, FileTime& local);
bool LocalToUtcFileTime(FileTime local, FileTime& utc);

// Local calendar time of a UTC file time (FileTimeToLocalFileTime, then
// FileTimeToSystemTime); false when either step fails.
bool FileTimeToLocalCalendar(FileTime utc, SystemTime& local);

// Milliseconds from an arbitrary start, wrapping at 2^32 like GetTickCount.
uint32_t TickCount();

}  // namespace tolvane::platform
