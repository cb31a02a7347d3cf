#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "game/step_clock.h"

namespace {

// What the clock must give for any stamp, gap, speed and step cost: the
// steps that the gap pays for, the unspent rest carried (less than a step's
// worth), and a wait that ends exactly where the next step is paid for.
TEST(StepClock, StepsAndWaitsAgreeForAnyGapSpeedAndCost)
{
    std::mt19937 rng(20261208);
    for (int n = 0; n < 20000; ++n) {
        const uint32_t cost = n % 2 == 0 ? 1000u : 5000u;
        const int32_t speed = static_cast<int32_t>(1 + rng() % (n % 3 == 0 ? 400 : 60));
        const uint32_t start = rng() % 5 == 0 ? 0xFFFFFFFFu - rng() % 3000 : static_cast<uint32_t>(rng());
        const uint32_t gap = n % 7 == 0 ? static_cast<uint32_t>(rng()) : rng() % 400;
        const uint32_t now = start + gap;
        SCOPED_TRACE("stamp " + std::to_string(start) + ", gap " + std::to_string(gap) + ", speed " +
                     std::to_string(speed) + ", cost " + std::to_string(cost));

        uint32_t stamp = start;
        const uint64_t steps = takeDueSteps(stamp, now, speed, cost);
        const uint64_t paid = static_cast<uint64_t>(gap) * static_cast<uint64_t>(speed);
        ASSERT_EQ(steps, paid / cost);
        if (steps == 0) {
            ASSERT_EQ(stamp, start) << "no step, no change to the stamp";
        } else {
            const uint64_t left = static_cast<uint32_t>(now - stamp);
            ASSERT_LT(left * static_cast<uint64_t>(speed), cost) << "more than a step's worth left unspent";
            ASSERT_LE(left * static_cast<uint64_t>(speed), paid % cost) << "time lost or made up";
        }

        // Waiting the answered time makes the next step due; a millisecond less does not.
        const uint32_t wait = msUntilDueStep(start, now, speed, cost);
        uint32_t probe = start;
        if (wait == 0) {
            ASSERT_GE(steps, 1u);
        } else {
            ASSERT_EQ(steps, 0u);
            ASSERT_EQ(takeDueSteps(probe, now + wait - 1, speed, cost), 0u);
            ASSERT_GE(takeDueSteps(probe, now + wait, speed, cost), 1u);
        }
    }
}

TEST(StepClock, AGapOfDaysMakesManyStepsWithoutOverflow)
{
    uint32_t stamp = 10;
    const uint32_t threeDays = 3u * 24 * 3600 * 1000;
    EXPECT_EQ(takeDueSteps(stamp, 10 + threeDays, 400, 1000), uint64_t{threeDays} * 400 / 1000);
    EXPECT_EQ(stamp, 10 + threeDays);
}

}  // namespace
