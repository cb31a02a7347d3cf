// The game's three sound effects, synthesised: 16-bit mono PCM wave files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSampleRate = 44100;

struct SoundFile {
    std::string file;
    std::vector<uint8_t> bytes;
};

std::vector<SoundFile> makeSounds();

std::vector<float> synthTurn();     // a piece turns: a short crisp swish
std::vector<float> synthLanding();  // a piece comes to rest: a soft thud
std::vector<float> synthClap();     // four rows at once: a double clap

// Scales to a safe peak, fades both ends and packs a wave file.
std::vector<uint8_t> encodeWav(std::vector<float> samples);
