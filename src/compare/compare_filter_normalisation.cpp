#include "compare/compare_filter_normalisation.h"

#include <utility>

#include "find/filter_normalisation.h"

namespace tolvane {
namespace {

// The attribute flags the Compare dialog offers: archive to sparse.
constexpr int CompareAttributeFlags = 10;

void AcceptExtension(const CompareFilterRows& rows, CompareCriteria& criteria)
{
    criteria.extensionRuleOn = false;
    if (!rows.extensionChecked) return;
    criteria.extensionMode = rows.extensionMode;
    std::string list = rows.extensionText.substr(0, ExtensionListMax);
    if (!list.empty() && list.back() == '/') list.pop_back();
    criteria.extensionList = list;
    // A list that was nothing but a slash would exclude every file or let none in.
    criteria.extensionRuleOn = !list.empty();
}

void AcceptSize(const CompareFilterRows& rows, CompareCriteria& criteria)
{
    criteria.sizeRuleOn = false;
    if (!rows.sizeChecked) return;
    criteria.sizeMode = rows.sizeMode;
    // 64-bit bounds: every number the dialog takes (up to 9999 MB) keeps its value.
    uint64_t from = rows.sizeFromNumber * SizeUnitFactor(rows.sizeFromUnit);
    uint64_t to = rows.sizeToNumber * SizeUnitFactor(rows.sizeToUnit);
    SizeUnit fromUnit = rows.sizeFromUnit;
    SizeUnit toUnit = rows.sizeToUnit;
    const bool range = rows.sizeMode == SizeRuleMode::Between || rows.sizeMode == SizeRuleMode::NotBetween;
    if (range && from > to) {
        std::swap(from, to);
        std::swap(fromUnit, toUnit);
    }
    criteria.sizeFrom = from;
    criteria.sizeTo = to;
    criteria.sizeFromUnit = fromUnit;
    criteria.sizeToUnit = toUnit;
    if (rows.sizeMode == SizeRuleMode::Between) {
        // Bounds are compared in bytes, as on the Find page: 1024 B and 1 kB
        // leave no size between them, so the range names that one size.
        if (from == to) criteria.sizeMode = SizeRuleMode::EqualTo;
        criteria.sizeRuleOn = true;
    } else {
        // A first bound of 0 would keep only empty files (or all of them): no rule.
        criteria.sizeRuleOn = from != 0;
    }
}

void AcceptDate(const CompareFilterRows& rows, CompareCriteria& criteria)
{
    criteria.dateRuleOn = false;
    if (!rows.dateChecked) return;
    criteria.dateKind = rows.dateKind;
    criteria.dateRelation = rows.dateRelation;
    criteria.dateFrom = rows.dateFrom;
    criteria.dateTo = rows.dateTo;
    OrderDateBounds(criteria.dateFrom, criteria.dateTo, criteria.dateRelation);
    criteria.dateRuleOn = true;
}

void AcceptAttributes(const CompareFilterRows& rows, CompareCriteria& criteria)
{
    criteria.attributeRuleOn = false;
    criteria.attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 0;
    if (!rows.attributesChecked) {
        for (int flag = 0; flag < CompareAttributeFlags; ++flag) criteria.attributeFlags[flag] = 0;
        return;
    }
    bool any = false;
    for (int flag = 0; flag < CompareAttributeFlags; ++flag) any = any || criteria.attributeFlags[flag] == 1;
    if (!any) return;
    criteria.attributeMode = rows.attributeMode;
    criteria.attributeRuleOn = true;
}

}  // namespace

std::string AcceptCompareFilters(const CompareFilterRows& rows, CompareCriteria& criteria)
{
    AcceptExtension(rows, criteria);
    AcceptSize(rows, criteria);
    AcceptDate(rows, criteria);
    AcceptAttributes(rows, criteria);
    criteria.filtersSpecified =
        criteria.extensionRuleOn || criteria.sizeRuleOn || criteria.dateRuleOn || criteria.attributeRuleOn;
    return criteria.filtersSpecified ? CompareFiltersSpecified : CompareFiltersUnspecified;
}

}  // namespace tolvane
