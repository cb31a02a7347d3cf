// A small seeded generator (SplitMix64): the same numbers on every machine,
// so the assets come out byte for byte the same on every build.
#pragma once

#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(double p) { return unit() < p; }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    float bipolar() { return static_cast<float>(unit() * 2.0 - 1.0); }

private:
    uint64_t state_;
};
