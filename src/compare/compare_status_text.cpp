#include "compare/compare_status_text.h"

namespace tolvane {

const char* ComparePhaseText(ComparePhase phase)
{
    switch (phase) {
    case ComparePhase::SizeGroups: return "Comparing files by size...";
    case ComparePhase::NameGroups: return "Comparing files by name...";
    case ComparePhase::ContentGroups: return "Comparing files by content...";
    case ComparePhase::NameContentCombine:
    case ComparePhase::NameContentGroups: return "Comparing files by name + content...";
    case ComparePhase::SizeNameCombine:
    case ComparePhase::SizeNameGroups: return "Comparing files by size + name...";
    }
    return "";
}

}  // namespace tolvane
