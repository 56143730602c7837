// The Compare page's filter rules: extension, size, date and attributes, the
// rules it shares with Find (common/filter_rules.h).
#pragma once

#include "common/filter_rules.h"

namespace tolvane {

// Its ReparsePoint flag is never set.
struct CompareCriteria : ExtensionRule, SizeRule, DateRule, AttributeRule {
    bool filtersSpecified = false;

    // True when the entry passes every rule that is on, tested in the order
    // size, date, attributes, extension.
    bool Passes(const FindData& entry) const
    {
        return PassesSize(entry) && PassesDate(entry) && PassesAttributes(entry) && PassesExtension(entry);
    }
};

}  // namespace tolvane
