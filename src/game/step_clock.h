#pragma once
#include <cstdint>

// The step clock that gravity and the race share. `stamp` marks where the time
// not yet spent on steps began; at `speed`, one step costs cost / speed
// milliseconds (gravity: 1000, a pixel; the race: 5000, a row). Both need a
// speed above 0.

// The whole steps that the time from `stamp` to `now` pays for. Moves `stamp`
// on by the time they took, carrying the part that did not make a whole step;
// leaves it alone when no step is due. The elapsed time is an unsigned
// difference, so it survives the clock wrapping, and the product is 64-bit, so
// a suspended laptop's gap of days cannot overflow: it only makes many steps.
uint64_t takeDueSteps(uint32_t& stamp, uint32_t now, int32_t speed, uint32_t cost);

// Milliseconds from `now` until the next step is paid for; 0 when one is due.
uint32_t msUntilDueStep(uint32_t stamp, uint32_t now, int32_t speed, uint32_t cost);
