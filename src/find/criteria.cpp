#include "find/criteria.h"

#include <string>

#include "common/case_folding.h"

namespace tolvane {

bool MatchName(const FindData& entry, const std::string& pattern, NameRuleMode mode, bool caseSensitive)
{
    const std::string name = caseSensitive ? std::string(entry.cFileName) : FoldCase(entry.cFileName);
    const std::string wanted = caseSensitive ? pattern : FoldCase(pattern);
    switch (mode) {
    case NameRuleMode::Contains: return name.find(wanted) != std::string::npos;
    case NameRuleMode::Matches: return name == wanted;
    case NameRuleMode::NotContains: return name.find(wanted) == std::string::npos;
    }
    return false;
}

}  // namespace tolvane
