#include "files/launch_seed.h"

#include <time.h>
#include <unistd.h>

namespace {

uint64_t nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

// Spreads every input bit over the whole result (the splitmix64 finaliser).
uint64_t mixBits(uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

}  // namespace

// CHANGE: [new-deal-every-launch] boot time, wall clock and process id
uint32_t LaunchSeed()
{
    const uint32_t ticks = static_cast<uint32_t>(nanoseconds(CLOCK_BOOTTIME) / 1000000u);
    const uint64_t wall = nanoseconds(CLOCK_REALTIME);
    const uint64_t process = static_cast<uint64_t>(getpid());
    return ticks ^ static_cast<uint32_t>(mixBits(wall ^ (process << 40)));
}
