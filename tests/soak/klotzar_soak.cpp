// Plays many games with the simulation bot and random moves, checking the
// rules' invariants after every operation. Prints one summary line; exits 1
// at the first fault, naming the game and the seed that replays it.
//
//     klotzar-soak [games] [seed]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "rules_soak.h"

int main(int argc, char** argv)
{
    const long games = argc > 1 ? std::atol(argv[1]) : 1000;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;

    const auto start = std::chrono::steady_clock::now();
    const SoakReport r = playSoak(seed, games);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("seed %u: %ld games, %ld pieces, %ld operations, %ld lines, longest %ld pieces; "
                "%ld pre-filled, %ld shifting, %ld with bonus, %ld clock wraps, %ld huge gaps; %.1f s\n",
                seed, r.games, r.pieces, r.operations, r.lines, r.longestGame, r.prefilledGames, r.shiftingGames,
                r.bonusGames, r.clockWraps, r.hugeGaps, seconds);
    if (!r.fault.empty()) {
        std::printf("FAULT in %s\n", r.fault.c_str());
        return 1;
    }
    return 0;
}
