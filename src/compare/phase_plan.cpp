#include "compare/phase_plan.h"

namespace tolvane {

std::vector<CompareStep> PlanPhases(const CompareOptions& o)
{
    const bool only = o.combinedResult && o.combinedOnly;
    std::vector<CompareStep> steps;
    if (o.matchSize && !(only && !o.matchContent)) steps.push_back(CompareStep::Size);
    if (o.matchName && !only) steps.push_back(CompareStep::Name);
    if (o.matchContent && !(only && o.matchName)) steps.push_back(CompareStep::Content);
    if (o.combinedResult && o.matchName) {
        if (o.matchContent) {
            steps.push_back(only ? CompareStep::NameContentDirect : CompareStep::NameContentFromGroups);
        } else if (o.matchSize) {
            steps.push_back(only ? CompareStep::SizeNameDirect : CompareStep::SizeNameFromGroups);
        }
    }
    return steps;
}

bool ReadsContent(CompareStep step)
{
    return step == CompareStep::Content || step == CompareStep::NameContentDirect;
}

}  // namespace tolvane
