// Which grouping phases a run makes, and in which order: a function of the
// counted options alone.
#pragma once

#include <vector>

#include "compare/compare_engine.h"

namespace tolvane {

// At most one combination phase is planned; with all three match options it
// is name + content, and size grouping still runs on its own. "only" leaves
// out the separate phases of the two combined criteria.
std::vector<ComparePhase> PlanPhases(const CompareOptions& countedOptions);

}  // namespace tolvane
