#include "platform/time.h"

#include <windows.h>

namespace tolvane::platform {

bool UtcToLocalFileTime(FileTime utc, FileTime& local)
{
    const FILETIME in{utc.dwLowDateTime, utc.dwHighDateTime};
    FILETIME out;
    if (!FileTimeToLocalFileTime(&in, &out)) return false;
    local = FileTime{out.dwLowDateTime, out.dwHighDateTime};
    return true;
}

bool LocalToUtcFileTime(FileTime local, FileTime& utc)
{
    const FILETIME in{local.dwLowDateTime, local.dwHighDateTime};
    FILETIME out;
    if (!LocalFileTimeToFileTime(&in, &out)) return false;
    utc = FileTime{out.dwLowDateTime, out.dwHighDateTime};
    return true;
}

uint32_t TickCount() { return GetTickCount(); }

}  // namespace tolvane::platform
