#include "compare/compare_options.h"

namespace tolvane {

CompareOptionStates CompareOptionInterlocks(const CompareOptions& checks)
{
    CompareOptionStates states;
    states.soTruncatedEnabled = checks.matchContent;
    states.dontGroupTruncatedEnabled = checks.matchContent && checks.soTruncated;
    states.ignoreCaseEnabled = checks.matchName;
    states.ignoreZeroSizeEnabled = checks.matchSize;

    // A combined result intersects the name groups with the content groups
    // or, without content, with the size groups: the bracket joins those rows.
    bool* shown = states.bracketShown;
    if (checks.matchName && checks.matchContent) {
        states.combinedResultEnabled = true;
        shown[static_cast<int>(BracketPart::UpperLine)] = true;
        shown[static_cast<int>(BracketPart::ContentTick)] = true;
        shown[static_cast<int>(BracketPart::NameTick)] = true;
    } else if (checks.matchName && checks.matchSize) {
        states.combinedResultEnabled = true;
        shown[static_cast<int>(BracketPart::UpperLine)] = true;
        shown[static_cast<int>(BracketPart::LowerLine)] = true;
        shown[static_cast<int>(BracketPart::NameTick)] = true;
        shown[static_cast<int>(BracketPart::SizeTick)] = true;
    }
    states.combinedOnlyEnabled = states.combinedResultEnabled && checks.combinedResult;
    return states;
}

}  // namespace tolvane
