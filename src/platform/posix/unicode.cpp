#include "platform/unicode.h"

namespace tolvane::platform {

std::string NameToUtf8(std::string_view name) { return std::string(name); }

}  // namespace tolvane::platform
