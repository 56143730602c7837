// Internal to the POSIX layer: records a failed call's errno as the last error.
#pragma once

#include <cstdint>

namespace tolvane::platform {

uint32_t ErrnoToErrorCode(int error);
void SetLastErrorFromErrno(int error);

}  // namespace tolvane::platform
