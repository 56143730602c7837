#include "common/colour_cycle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace tolvane {
namespace {

std::tuple<int, int, int> Levels(const ColourCycle& colour) { return {colour.red, colour.green, colour.blue}; }

ColourCycle AfterTicks(int ticks)
{
    ColourCycle colour;
    for (int tick = 0; tick < ticks; ++tick) EXPECT_TRUE(StepColourCycle(colour));
    return colour;
}

TEST(ColourCycle, PassesTheSixCornersEvery38Ticks)
{
    EXPECT_EQ(Levels(AfterTicks(0)), std::make_tuple(190, 0, 0));      // red
    EXPECT_EQ(Levels(AfterTicks(38)), std::make_tuple(190, 190, 0));   // yellow
    EXPECT_EQ(Levels(AfterTicks(76)), std::make_tuple(0, 190, 0));     // green
    EXPECT_EQ(Levels(AfterTicks(114)), std::make_tuple(0, 190, 190));  // cyan
    EXPECT_EQ(Levels(AfterTicks(152)), std::make_tuple(0, 0, 190));    // blue
    EXPECT_EQ(Levels(AfterTicks(190)), std::make_tuple(190, 0, 190));  // magenta
    const ColourCycle full = AfterTicks(228);
    EXPECT_EQ(Levels(full), std::make_tuple(190, 0, 0));
    EXPECT_EQ(full.phase, PhaseRed);
}

TEST(ColourCycle, ChangesOneChannelByOneStepPerTickAndStaysInRange)
{
    ColourCycle colour;
    for (int tick = 0; tick < 3 * 228; ++tick) {
        const ColourCycle before = colour;
        ASSERT_TRUE(StepColourCycle(colour));
        const int change = std::abs(colour.red - before.red) + std::abs(colour.green - before.green) +
                           std::abs(colour.blue - before.blue);
        EXPECT_EQ(change, ColourCycleStep) << "tick " << tick;
        for (int level : {colour.red, colour.green, colour.blue}) {
            EXPECT_GE(level, 0);
            EXPECT_LE(level, ColourCycleTop);
        }
    }
}

TEST(ColourCycle, StopsOnAPhaseWordOfNoRamp)
{
    for (uint32_t phase : {0u, PhaseRed | PhaseGreen | PhaseBlue}) {
        ColourCycle colour;
        colour.phase = phase;
        EXPECT_FALSE(StepColourCycle(colour));
        EXPECT_EQ(Levels(colour), std::make_tuple(190, 0, 0));
    }
}

}  // namespace
}  // namespace tolvane
