// Which grouping phases a run makes, and in which order: a function of the
// counted options alone.
#pragma once

#include <cstdint>
#include <vector>

#include "compare/compare_engine.h"

namespace tolvane {

enum class CompareStep : uint8_t {
    Size,
    Name,
    Content,
    NameContentFromGroups,  // intersects the name and content lists
    NameContentDirect,      // reads the files of equal names ("only")
    SizeNameFromGroups,     // intersects the name and size lists
    SizeNameDirect,         // groups by size and name at once ("only")
};

// At most one combination step is planned; with all three match options it
// is name + content, and size grouping still runs on its own. "only" leaves
// out the separate steps of the two combined criteria.
std::vector<CompareStep> PlanPhases(const CompareOptions& countedOptions);

// The steps that read file content, and so honour a stop request.
bool ReadsContent(CompareStep step);

}  // namespace tolvane
