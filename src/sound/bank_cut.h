#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sound/preset.h"

struct BankCut {
    bool done = false;
    std::string refusal;  // why not, in the log's words, when not done
    int presets = 0;      // kept, fallbacks included
    int instruments = 0;
    int samples = 0;
    uint64_t sampleBytes = 0;  // the new bank's sample data
};

// Writes to `to` (from its current offset on) a SoundFont 2 bank made of the
// bank open on `from`, holding only the wanted presets, their instruments and
// their samples. A wanted preset the bank lacks brings the one FluidSynth
// plays in its place (bank 0 of the program, then 0/0; the drum kit 128/0).
// The tables are read into memory, the sample data is copied a little at a
// time, so the cut costs little more memory than the tables. A bank it does
// not understand is refused, and whatever was written to `to` is to be thrown
// away.
BankCut CutBank(int from, int to, const std::vector<Preset>& wanted);
