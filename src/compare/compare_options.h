// The interlocks of the Compare page's option boxes: which boxes can be
// clicked and which parts of the bracket that joins two match rows are drawn,
// for a given set of check marks. A disabled box keeps its check mark; the run
// counts it only where it would be enabled (CountedOptions).
#pragma once

#include "compare/compare_engine.h"

namespace tolvane {

// The bracket's parts, in the order of their controls: the upper and lower
// vertical lines, then the ticks at the content, name and size rows.
enum class BracketPart : int { UpperLine = 0, LowerLine, ContentTick, NameTick, SizeTick };
inline constexpr int BracketPartCount = 5;

struct CompareOptionStates {
    bool soTruncatedEnabled = false;
    bool dontGroupTruncatedEnabled = false;
    bool ignoreCaseEnabled = false;
    bool ignoreZeroSizeEnabled = false;
    bool combinedResultEnabled = false;
    bool combinedOnlyEnabled = false;
    bool bracketShown[BracketPartCount] = {};

    bool Shown(BracketPart part) const { return bracketShown[static_cast<int>(part)]; }
};

CompareOptionStates CompareOptionInterlocks(const CompareOptions& checks);

}  // namespace tolvane
