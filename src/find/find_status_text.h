// The two status lines of a search, as the Find page shows them and the
// command line prints the last of them.
#pragma once

#include <string>

#include "find/search_engine.h"

namespace tolvane {

// The lines for an event, joined by a line break: what the search is doing
// (or how long it took), then what it has found so far.
std::string FindStatusText(const FindState& state, FindStatusEvent event);

}  // namespace tolvane
