#pragma once
#include <cstdint>

// A seed for the game's random generator that differs from one launch to the
// next: the milliseconds since boot (what the game always seeded with), mixed
// with the wall clock and the process id, so two copies started in the same
// millisecond still deal different games.
uint32_t LaunchSeed();
