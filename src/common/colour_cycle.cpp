#include "common/colour_cycle.h"

namespace tolvane {
namespace {

// Raises level by one step; at the top the flag is set, starting the next phase.
void Rise(int& level, uint32_t& phase, uint32_t flag)
{
    level += ColourCycleStep;
    if (level >= ColourCycleTop) {
        level = ColourCycleTop;
        phase |= flag;
    }
}

// Lowers level by one step; at zero the flag is cleared.
void Fall(int& level, uint32_t& phase, uint32_t flag)
{
    level -= ColourCycleStep;
    if (level <= 0) {
        level = 0;
        phase &= ~flag;
    }
}

}  // namespace

bool StepColourCycle(ColourCycle& colour)
{
    switch (colour.phase) {
    case PhaseRed: Rise(colour.green, colour.phase, PhaseGreen); return true;
    case PhaseRed | PhaseGreen: Fall(colour.red, colour.phase, PhaseRed); return true;
    case PhaseGreen: Rise(colour.blue, colour.phase, PhaseBlue); return true;
    case PhaseGreen | PhaseBlue: Fall(colour.green, colour.phase, PhaseGreen); return true;
    case PhaseBlue: Rise(colour.red, colour.phase, PhaseRed); return true;
    case PhaseBlue | PhaseRed: Fall(colour.blue, colour.phase, PhaseBlue); return true;
    default: return false;
    }
}

}  // namespace tolvane
