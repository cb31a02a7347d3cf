#include "game/step_clock.h"

uint64_t takeDueSteps(uint32_t& stamp, uint32_t now, int32_t speed, uint32_t cost)
{
    // CHANGE: [fall-clock-64-bit] unsigned elapsed time, 64-bit product
    // The elapsed time is an unsigned difference (it survives the clock
    // wrapping) and the product is 64-bit, so a suspended laptop's gap of days
    // cannot overflow: it only makes the piece fall until it locks.
    const uint64_t elapsed = static_cast<uint32_t>(now - stamp);
    const uint64_t paid = elapsed * static_cast<uint64_t>(speed);
    const uint64_t steps = paid / cost;
    if (steps == 0) return 0;
    stamp = now - static_cast<uint32_t>((paid % cost) / static_cast<uint64_t>(speed));
    return steps;
}

uint32_t msUntilDueStep(uint32_t stamp, uint32_t now, int32_t speed, uint32_t cost)
{
    const uint32_t elapsed = now - stamp;
    const uint64_t perStep = static_cast<uint64_t>(speed);
    const uint64_t due = (cost + perStep - 1) / perStep;  // the first whole ms that pays for a step
    return elapsed >= due ? 0 : static_cast<uint32_t>(due - elapsed);
}
