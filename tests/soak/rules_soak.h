#pragma once
#include <cstdint>
#include <string>

// Whole games played on a fake clock by the simulation bot, mixed with random
// player moves, over every setting the game can meet. After every operation
// the rules' invariants are checked; the first fault stops the soak.

struct SoakReport {
    long games = 0;
    long pieces = 0;
    long operations = 0;
    long lines = 0;
    long longestGame = 0;  // pieces
    long prefilledGames = 0;
    long shiftingGames = 0;  // modus 2
    long bonusGames = 0;     // names with a bonus prefix
    long clockWraps = 0;     // games whose clock passed 2^32 ms
    long hugeGaps = 0;       // ticks after a gap of hours or more
    std::string fault;       // empty: every check held
};

// Plays `games` games, all drawn from `seed`, so a fault replays exactly.
SoakReport playSoak(uint32_t seed, long games);
