// The race's level files "1.dat" to "5.dat": a winding road between walls
// with obstacles on it, 300 track rows of 10 cells. The race meets the last
// row first, so a level is laid out from the bottom of the file upwards.
#pragma once

#include <array>
#include <string>
#include <vector>

constexpr int kTrackRows = 300;
constexpr int kTrackColumns = 10;

using Track = std::array<std::array<int, kTrackColumns>, kTrackRows>;

// The car's six cells in its 4 x 3 box, (row, column) from the box's top left.
constexpr int kCarCells[6][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {3, 0}, {3, 2}};

Track makeLevel(int level);  // level 1 to 5, harder with each

// Text of a level file: one line per track row, ten values each followed by a comma.
std::string levelText(const Track& track);

// Whether a car starting anywhere at the bottom of the track reaches its top
// when it may change column at most once every rowsPerShift track rows.
bool passable(const Track& track, int rowsPerShift);
bool passableFrom(const Track& track, int startColumn, int rowsPerShift);
