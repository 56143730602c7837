#include "compare/phase_plan.h"

namespace tolvane {

std::vector<ComparePhase> PlanPhases(const CompareOptions& o)
{
    const bool only = o.combinedResult && o.combinedOnly;
    std::vector<ComparePhase> phases;
    if (o.matchSize && !(only && !o.matchContent)) phases.push_back(ComparePhase::SizeGroups);
    if (o.matchName && !only) phases.push_back(ComparePhase::NameGroups);
    if (o.matchContent && !(only && o.matchName)) phases.push_back(ComparePhase::ContentGroups);
    if (o.combinedResult && o.matchName) {
        if (o.matchContent) {
            phases.push_back(only ? ComparePhase::NameContentGroups : ComparePhase::NameContentCombine);
        } else if (o.matchSize) {
            phases.push_back(only ? ComparePhase::SizeNameGroups : ComparePhase::SizeNameCombine);
        }
    }
    return phases;
}

}  // namespace tolvane
