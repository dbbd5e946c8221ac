// The blink and the cat sounds, counted from the time alone.
#include "sitter/blink_schedule.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t Period = BlinkSchedule::PeriodMs;

char Eye(BlinkPhase phase) { return phase == BlinkPhase::Open ? '.' : phase == BlinkPhase::HalfClosed ? '1' : '2'; }

TEST(BlinkSchedule, OneBlinkEvery201PeriodsWhateverTheTimerDoes) {
    // The eye after period n of a cycle (n from 1): two half-closed, twelve closed, two half-closed.
    const std::string cycle = std::string(100, '.') + "11" + std::string(12, '2') + "11" + std::string(85, '.');
    // Period by period, and late by 3.5 periods at every wake: the eye is where the time says.
    for (const uint64_t step : {Period, Period * 7 / 2}) {
        BlinkSchedule schedule;
        for (uint64_t t = step; t <= 402 * Period; t += step) {
            const BlinkPhase before = schedule.Phase();
            const BlinkSchedule::Change change = schedule.AdvanceTo(t, false);
            ASSERT_EQ(Eye(schedule.Phase()), cycle[(t / Period + 200) % 201]) << t;
            EXPECT_EQ(change.phaseChanged, schedule.Phase() != before) << t;
        }
    }
    BlinkSchedule schedule;
    schedule.AdvanceTo((201 * 7000 + 103) * Period, false);  // a long sleep: the same place in the cycle
    EXPECT_EQ(schedule.Phase(), BlinkPhase::Closed);
}

TEST(BlinkSchedule, ACatSoundEvery500thPeriodWornAsCatgirlOnly) {
    BlinkSchedule schedule;
    // Not worn: nothing counts towards a sound.
    EXPECT_FALSE(schedule.AdvanceTo(600 * Period, false).mewDue);
    std::vector<uint64_t> sounds;
    for (uint64_t p = 601; p <= 601 + 1000; ++p)
        if (schedule.AdvanceTo(p * Period, true).mewDue) sounds.push_back(p - 600);
    EXPECT_EQ(sounds, (std::vector<uint64_t>{500, 1000})) << "the 500th period worn, not before";
    // Taken off for a while, put on again: the count goes on where it stood.
    schedule.AdvanceTo(2000 * Period, false);
    EXPECT_FALSE(schedule.AdvanceTo((2000 + 498) * Period, true).mewDue);
    EXPECT_TRUE(schedule.AdvanceTo((2000 + 499) * Period, true).mewDue);
    // What it says: one of the first five words, floor(r x 5), never "....mreew?".
    const std::pair<float, const char*> draws[] = {{0.0f, "Mew!"}, {0.19999f, "Mew!"}, {0.2f, "Mrowrl..."}, {0.5f, "*purr*"},
                                                   {0.7f, "Mewl!"}, {0.8f, "Meow!"}, {0.99999994f, "Meow!"}};
    for (const auto& [r, sound] : draws) EXPECT_EQ(CatSound(r), sound) << r;
}

TEST(BlinkSchedule, WakesAtTheNextChangeOnly) {
    struct Case { uint64_t now; bool mewing; unsigned ms; } cases[] = {
        {0, false, 101 * Period},              // the eyes half close with the 101st period
        {10, false, 101 * Period - 10},        // counted from the time, not from the last wake
        {101 * Period, false, 2 * Period},     // half-closed for two periods
        {103 * Period, false, 12 * Period},    // closed for 12 periods
        {117 * Period + 5, false, 185 * Period - 5},  // open until the next cycle's blink
        {0, true, 101 * Period},               // a blink before the first sound
        {400 * Period, true, 100 * Period},    // a sound with the 500th period, before the next blink
    };
    for (const Case& c : cases) {
        BlinkSchedule schedule;
        schedule.AdvanceTo(c.now, c.mewing);
        EXPECT_EQ(schedule.MsToNextChange(c.now, c.mewing), c.ms) << c.now << (c.mewing ? " mewing" : "");
    }
}

}  // namespace
