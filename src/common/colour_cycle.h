// The colour cycle behind the About box's credit caption: red, yellow, green,
// cyan, blue, magenta and back to red, one level step per timer tick.
#pragma once

#include <cstdint>

namespace tolvane {

inline constexpr int ColourCycleStep = 5;
// The highest level, a multiple of the step so that every ramp meets it exactly.
inline constexpr int ColourCycleTop = 190 - 190 % ColourCycleStep;

// Flags of the phase word: which channel is rising (set) or falling (clear).
inline constexpr uint32_t PhaseRed = 1;
inline constexpr uint32_t PhaseGreen = 2;
inline constexpr uint32_t PhaseBlue = 4;

struct ColourCycle {
    int red = ColourCycleTop;
    int green = 0;
    int blue = 0;
    uint32_t phase = PhaseRed;
};

// Moves the colour one step on. Returns false, changing nothing, for a phase
// word that belongs to no ramp (0 or 7): the animation then stops.
bool StepColourCycle(ColourCycle& colour);

}  // namespace tolvane
