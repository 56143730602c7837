#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "common/colour_cycle.h"
#include "common/size_date_text.h"
#include "platform/time.h"

namespace tolvane {
namespace {

using Levels = std::array<int, 3>;
Levels LevelsOf(const ColourCycle& c) { return {c.red, c.green, c.blue}; }

// One step of 5 per tick; every 38 ticks the next corner, red to magenta and round.
TEST(PageText, TheColourPassesSixCornersOneStepPerTickSizesAndDatesAreScaledAndPadded)
{
    const Levels corners[] = {{190, 0, 0}, {190, 190, 0}, {0, 190, 0}, {0, 190, 190}, {0, 0, 190}, {190, 0, 190}};
    ColourCycle colour;
    for (int tick = 0; tick < 2 * 228; ++tick) {
        const Levels before = LevelsOf(colour);
        if (tick % 38 == 0) {
            EXPECT_EQ(before, corners[tick / 38 % 6]) << tick;
        }
        ASSERT_TRUE(StepColourCycle(colour));
        const Levels after = LevelsOf(colour);
        EXPECT_EQ(std::abs(after[0] - before[0]) + std::abs(after[1] - before[1]) + std::abs(after[2] - before[2]), 5);
    }
    for (uint32_t phase : {0u, PhaseRed | PhaseGreen | PhaseBlue}) {
        ColourCycle stuck{.phase = phase};
        EXPECT_FALSE(StepColourCycle(stuck));
        EXPECT_EQ(LevelsOf(stuck), (Levels{190, 0, 0}));
    }

    // Sizes scaled at each unit's edges; dates pad everything but the year and show the local time.
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 B"}, {1023, "1023 B"}, {1024, "1 kB"}, {1126, "1 kB"}, {1127, "1.1 kB"}, {1048575, "1023.9 kB"},
        {1048576, "1 MB"}, {1073741823, "1023.9 MB"}, {UINT64_MAX, "17179869183.9 GB"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(SizeText(size, false), text) << size;
    EXPECT_EQ(SizeText(UINT64_MAX, true), "18446744073709551615");
    EXPECT_EQ(DateText(SystemTime{1999, 1, 0, 2, 3, 4, 59, 0}), "1999-01-02  03:04");
    const FileTime utc = FileTime::FromValue(133000000000000000ull);
    SystemTime local;
    ASSERT_TRUE(platform::FileTimeToLocalCalendar(utc, local));
    EXPECT_EQ(FileTimeText(utc), DateText(local));
    EXPECT_EQ(FileTimeText(FileTime{}), "(not supported)");
    // The zero time read as local time, converted back, is the zero time again.
    if (platform::FileTimeToLocalCalendar(FileTime{}, local)) {
        EXPECT_EQ(DateText(local), "(not supported)");
    }
}

}  // namespace
}  // namespace tolvane
