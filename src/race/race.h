#pragma once
#include <cstdint>

class Game;

// The race variant (modus 3): the car stands at the bottom of the board, which
// is the window onto a 300-row track read from a level file.
constexpr int32_t kRaceLives = 3;

// The race branch of a new game: empty window, the car at rows 16..19, track
// of "1.dat" from the working directory.
void startRace(Game& game);

// Reads a level file into the track: 3000 comma-ended fields of at most two
// characters, row by row. Every cell is assigned whatever the file holds; a
// missing file gives an empty track.
void loadTrack(Game& game, const char* fileName);
