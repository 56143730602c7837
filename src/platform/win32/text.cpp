#include "platform/text.h"

#include <windows.h>

namespace tolvane::platform {

char LowerAnsi(char c)
{
    // A pointer value below 0x10000 makes CharLowerA convert the one character.
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(reinterpret_cast<ULONG_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(byte)))));
}

void LowerAnsiInPlace(char* text) { CharLowerA(text); }

}  // namespace tolvane::platform
