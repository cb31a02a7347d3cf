#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "replay/recording.h"

// A recording played headless through the whole program, as the tests see it.
struct ReplayedGame {
    std::string readError;  // the file could not be read as a recording
    std::string verdict;    // "" when the game ended as recorded
    // Named results: "end", "board 0" .. "board 19", "points", ..., "entered".
    std::vector<std::pair<std::string, std::string>> fields;
    // The frame on show after chosen items: (line of the item, checksum).
    std::vector<std::pair<size_t, uint64_t>> frames;
};

ReplayedGame replayHeadless(const std::string& recordingText);

// The fields and frames as the expected file holds them, one a line.
std::string expectedText(const ReplayedGame& game);
// What differs between a replay and the expected file's text, one line each,
// by field name and frame line; "" when nothing does.
std::string differencesFromExpected(const ReplayedGame& game, const std::string& expected);
