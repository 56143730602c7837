#include "platform/error.h"

#include <windows.h>

namespace tolvane::platform {

uint32_t LastError() { return GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }

std::string SystemErrorText(uint32_t code)
{
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
                       nullptr);
    std::string text;
    if (length > 0 && buffer) text.assign(buffer, length);
    if (buffer) LocalFree(buffer);
    return text;
}

}  // namespace tolvane::platform
