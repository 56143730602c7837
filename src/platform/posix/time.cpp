#include "platform/time.h"

#include <ctime>

namespace tolvane::platform {
namespace {

constexpr int64_t TicksPerSecond = 10000000;
constexpr int64_t SecondsFrom1601To1970 = 11644473600;

// Offset of local time from UTC, in seconds, at the given UTC second.
long OffsetAtUtc(int64_t unixSeconds)
{
    const time_t when = static_cast<time_t>(unixSeconds);
    tm local{};
    if (!localtime_r(&when, &local)) return 0;
    return local.tm_gmtoff;
}

}  // namespace

bool UtcToLocalFileTime(FileTime utc, FileTime& local)
{
    const int64_t ticks = static_cast<int64_t>(utc.Value());
    if (ticks < 0) return false;
    const int64_t offset = OffsetAtUtc(ticks / TicksPerSecond - SecondsFrom1601To1970) * TicksPerSecond;
    if (ticks + offset < 0) return false;
    local = FileTime::FromValue(static_cast<uint64_t>(ticks + offset));
    return true;
}

bool LocalToUtcFileTime(FileTime local, FileTime& utc)
{
    const int64_t ticks = static_cast<int64_t>(local.Value());
    if (ticks < 0) return false;
    // The offset that applies at the UTC instant: guess with the offset at the
    // local reading, then correct once across a daylight-saving change.
    const int64_t localSeconds = ticks / TicksPerSecond - SecondsFrom1601To1970;
    long offset = OffsetAtUtc(localSeconds);
    offset = OffsetAtUtc(localSeconds - offset);
    const int64_t result = ticks - static_cast<int64_t>(offset) * TicksPerSecond;
    if (result < 0) return false;
    utc = FileTime::FromValue(static_cast<uint64_t>(result));
    return true;
}

uint32_t TickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

}  // namespace tolvane::platform
