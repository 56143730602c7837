// Accept of the Compare filters dialog: the rows as the dialog holds them,
// normalised and stored into the Compare criteria.
#pragma once

#include <cstdint>
#include <string>

#include "compare/compare_criteria.h"

namespace tolvane {

// The values of the dialog's rows at Accept: the numbers as typed (before
// their units), the pickers' values, the combo selections.
struct CompareFilterRows {
    bool extensionChecked = false;
    ExtensionRuleMode extensionMode = ExtensionRuleMode::IncludeTypes;
    std::string extensionText{};

    bool sizeChecked = false;
    SizeRuleMode sizeMode = SizeRuleMode::EqualTo;
    uint32_t sizeFromNumber = 0;
    SizeUnit sizeFromUnit = SizeUnit::Bytes;
    uint32_t sizeToNumber = 0;
    SizeUnit sizeToUnit = SizeUnit::Bytes;

    bool dateChecked = false;
    FileTimeKind dateKind = FileTimeKind::Created;
    DateRelation dateRelation = DateRelation::On;
    SystemTime dateFrom{};
    SystemTime dateTo{};

    bool attributesChecked = false;
    AttributeRuleMode attributeMode = AttributeRuleMode::Include;
};

inline constexpr const char* CompareFiltersUnspecified = "Specify filters";
inline constexpr const char* CompareFiltersSpecified = "Specified filters";

// Stores the rows into criteria (whose attribute flags the attributes dialog
// has already set) and returns the caption of the page's filters button.
std::string AcceptCompareFilters(const CompareFilterRows& rows, CompareCriteria& criteria);

}  // namespace tolvane
