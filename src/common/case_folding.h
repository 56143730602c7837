// Letter case folding of the name and extension rules and of the Windows
// wildcards: Unicode simple case folding of UTF-8 text, the same in every build. Bytes that are not UTF-8
// stand for themselves. Where the program's code page is a legacy one (an
// older Windows), the text is in that code page and is lower-cased in it.
#pragma once

#include <string>
#include <string_view>

namespace tolvane {

std::string FoldCase(std::string_view text);

}  // namespace tolvane
