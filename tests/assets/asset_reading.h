// Readers for the asset files, written from the file formats alone, so the
// tests do not share code with the generator they check.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

std::vector<uint8_t> readBytes(const std::filesystem::path& path);

struct Bitmap {
    bool valid = false;
    std::string problem;  // why it is not valid
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<uint8_t> rgb;  // top row first, 3 bytes per pixel

    bool isKey(int x, int y) const;
    uint32_t pixel(int x, int y) const;  // 0xRRGGBB
};

// Only what the game's pictures use: uncompressed 24-bit, bottom-up rows.
Bitmap readBitmap(const std::filesystem::path& path);

struct Wave {
    bool valid = false;
    std::string problem;
    int format = 0, channels = 0, sampleRate = 0, bitsPerSample = 0;
    std::vector<int16_t> samples;
};

Wave readWave(const std::filesystem::path& path);

struct Midi {
    bool valid = false;
    std::string problem;
    int format = 0, declaredTracks = 0, ticksPerQuarter = 0;
    int tracksFound = 0;
    std::vector<int> noteOnsByChannel = std::vector<int>(16, 0);
    std::vector<std::vector<int>> programsByChannel = std::vector<std::vector<int>>(16);
    double seconds = 0;  // up to the last end-of-track, with the tempo map applied
};

Midi readMidi(const std::filesystem::path& path);

// A level file as the race reads it: rows of cell values, and whether every
// line holds exactly ten one-digit values each followed by a comma.
struct Level {
    bool wellFormed = false;
    std::string problem;
    std::vector<std::vector<int>> rows;
};

Level readLevel(const std::filesystem::path& path);
