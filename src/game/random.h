#pragma once
#include <cstdint>

// The C runtime's rand() as the Windows game had it: a linear congruential
// generator giving 0..32767. Owned by the game, so a test can seed it.
class Random {
public:
    static constexpr int32_t kMax = 32767;
    void seed(uint32_t s) { state_ = s; }
    // Seeding with this value repeats the draws from here on.
    uint32_t state() const { return state_; }
    int32_t next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int32_t>((state_ >> 16) & 0x7fffu);
    }

private:
    uint32_t state_ = 1;
};
