// The status line of a compare run for each of its steps, as the Compare
// page shows it and the command line prints it.
#pragma once

#include "compare/compare_engine.h"

namespace tolvane {

inline constexpr const char* CollectingFilesText = "Searching for files to compare...";
inline constexpr const char* WritingListsText = "Writing result...";
const char* ComparePhaseText(ComparePhase phase);

}  // namespace tolvane
