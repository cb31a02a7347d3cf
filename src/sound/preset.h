#pragma once

// A General MIDI bank's instrument as a channel selects it: the bank number
// (128 is the drum kits, as FluidSynth numbers them) and the program.
struct Preset {
    int bank = 0;
    int program = 0;

    bool operator<(const Preset& other) const
    {
        return bank != other.bank ? bank < other.bank : program < other.program;
    }
    bool operator==(const Preset& other) const { return bank == other.bank && program == other.program; }
};

constexpr int kDrumBank = 128;
