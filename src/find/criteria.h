// Filter rules of the Find page: the rules Find shares with Compare
// (common/filter_rules.h) and its own name and content rules.
#pragma once

#include <cstdint>
#include <string>

#include "common/filter_rules.h"
#include "platform/types.h"

namespace tolvane {

// Modes hold the zero-based index of the item chosen in the dialog's combo box.
enum class NameRuleMode : int32_t { Contains = 0, Matches = 1, NotContains = 2 };
enum class ContentRuleMode : int32_t { Containing = 0, NotContaining = 1 };
enum class SearchTarget : int32_t { Files = 0, Folders = 1, FilesAndFolders = 2 };

// Largest lengths of the rule texts (the dialogs' buffers less the terminator).
inline constexpr size_t NameTextMax = 259;
inline constexpr size_t ContentTextMax = 259;

// True when the entry passes the name rule.
bool MatchName(const FindData& entry, const std::string& pattern, NameRuleMode mode, bool caseSensitive);

// The Find page's rules. A new set has every rule off and every mode at its
// first value.
struct SearchCriteria : ExtensionRule, SizeRule, DateRule, TimeRule, AttributeRule {
    SearchTarget searchTarget = SearchTarget::Files;
    bool filtersSpecified = false;
    bool nameRuleOn = false;
    NameRuleMode nameMode = NameRuleMode::Contains;
    bool nameCaseSensitive = false;
    bool contentRuleOn = false;
    ContentRuleMode contentMode = ContentRuleMode::Containing;
    bool contentCaseSensitive = false;
    std::string nameText;
    std::string contentText;  // A-Z folded to a-z unless contentCaseSensitive

    bool PassesName(const FindData& entry) const
    {
        return !nameRuleOn || MatchName(entry, nameText, nameMode, nameCaseSensitive);
    }
};

}  // namespace tolvane
