#include "common/colour_cycle.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace tolvane {
namespace {

using Levels = std::array<int, 3>;

// One channel moves one step per tick, and every 38 ticks the colour passes
// the next corner: red, yellow, green, cyan, blue, magenta, red again.
TEST(ColourCycle, PassesTheSixCornersOneStepPerTick)
{
    const Levels corners[] = {{190, 0, 0}, {190, 190, 0}, {0, 190, 0}, {0, 190, 190}, {0, 0, 190}, {190, 0, 190}};
    ColourCycle colour;
    for (int tick = 0; tick < 3 * 228; ++tick) {
        const Levels before{colour.red, colour.green, colour.blue};
        if (tick % 38 == 0) {
            EXPECT_EQ(before, corners[tick / 38 % 6]) << "tick " << tick;
        }
        ASSERT_TRUE(StepColourCycle(colour));
        const int change = std::abs(colour.red - before[0]) + std::abs(colour.green - before[1]) +
                           std::abs(colour.blue - before[2]);
        EXPECT_EQ(change, 5) << "tick " << tick;
    }
    EXPECT_EQ(colour.phase, PhaseRed);
}

TEST(ColourCycle, StopsOnAPhaseWordOfNoRamp)
{
    for (uint32_t phase : {0u, PhaseRed | PhaseGreen | PhaseBlue}) {
        ColourCycle colour;
        colour.phase = phase;
        EXPECT_FALSE(StepColourCycle(colour));
        EXPECT_EQ((Levels{colour.red, colour.green, colour.blue}), (Levels{190, 0, 0}));
    }
}

}  // namespace
}  // namespace tolvane
