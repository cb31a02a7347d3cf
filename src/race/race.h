#pragma once
#include <cstdint>
#include <string>

#include "game/game.h"

// The race variant (modus 3): the car stands at the bottom of the board, which
// is the window onto a 300-row track read from a level file. The track runs
// down the screen one row per advance; the car dodges it with Up, Down, Left
// and Right. A crash costs a life and restarts the level; the race ends when
// the last life is gone or when the last level is driven to its end.
//
// The shell starts a race with startRace in place of the game's newGame, and
// drives it once per pass while `playing` is true, the game is not paused and
// modus is 3:
//
//     if (raceStep(game, race)) draw the race frame, with race.statusText
//         on the status line in place of the name;
//     then sleep at most msUntilNextAdvance(game, race) ms or until the next event.
//
// Sleeping until the next advance is part of driving the race: the game's step
// clock is not re-stamped after it. After a pause (or any wait while the race
// is not driven) call game.resetFallClock(), so paused time never becomes
// advances. Up and Down call moveCarUp / moveCarDown; Left, Right and Space go
// to the game's own moves; Ctrl and the row drop do nothing to the car. The end
// of a race reaches the shell through the game's host (gameOver).

constexpr int kTrackRows = 300;
constexpr int32_t kRaceLives = 3;
constexpr int32_t kLastLevel = 5;
constexpr int32_t kLevelAdvances = 280;    // advances a level lasts
constexpr int32_t kRaceStartSpeed = 50;    // km/h; one row every 100 ms
constexpr int32_t kCarTopRowLimit = 16;    // lowest top row: the car's box ends on row 19
constexpr uint32_t kFinalFrameMs = 1500;   // how long the last picture of a race stays
constexpr uint32_t kCrashNoticeMs = 1500;  // how long "kollision" stays up at least

// Everything of a race that the game does not hold: the track, the level,
// lives and points, the status text, and what the last drawn frame showed, so
// raceStep knows when to draw again. Owned by the shell; the board, the car
// (the game's piece), the speed and the step clock stay the game's.
struct RaceState {
    int32_t track[kColumns][kTrackRows] = {};  // column by column
    int32_t trackScroll = 0;
    int32_t lives = 0;
    int32_t level = 0;
    int32_t racePoints = 0;
    bool lastLevelReached = false;

    std::string statusText = " ";  // " " while driving, "kollision" after a crash
    uint32_t crashClock = 0;       // when the last crash happened
    int32_t shownPoints = -1;      // racePoints of the last drawn frame; -1: none yet
    int32_t shownRow = 0;
    int32_t shownColumn = 0;

    int32_t& trackCell(int32_t row, int32_t column) { return track[column][row]; }
    int32_t trackCell(int32_t row, int32_t column) const { return track[column][row]; }
};

// -- start and level files -----------------------------------------------------

// A new race: a fresh state, empty window, the car at rows 16..19, three
// lives, no points, track of "1.dat" from the working directory.
void startRace(Game& game, RaceState& race);

// Reads a level file into the track: 3000 comma-ended fields of at most two
// characters, row by row. Every cell is assigned whatever the file holds; a
// missing file gives an empty track.
void loadTrack(RaceState& race, const char* fileName);

// -- what the shell calls -------------------------------------------------------

// One pass of a running race: the advances due by the clock, each followed by
// the crash test, a crash test for the car's own moves, and the end of the
// race (the last picture stays kFinalFrameMs, then `playing` := false and the
// host hears gameOver; no score is entered). True when the picture changed
// and a frame should be drawn.
bool raceStep(Game& game, RaceState& race);

// Milliseconds until raceStep has something to do: the next advance, or the
// end of the last picture's stay once the race is over. 0 when it is due.
uint32_t msUntilNextAdvance(const Game& game, const RaceState& race);

// The car one row up or down, kept within board rows 0..16. No board test and
// no sound: driving into a block is a crash, found by the next raceStep.
void moveCarUp(Game& game, const RaceState& race);
void moveCarDown(Game& game, const RaceState& race);

// -- the parts of a pass ----------------------------------------------------------

// Runs the advances that the time since `fallClock` pays for at `speed` km/h
// (one row per 5000 / speed ms), carrying the unspent time, and tests the car
// after each one. Stops once the race is over. True if anything advanced.
bool raceTick(Game& game, RaceState& race);

// Scrolls the track one row down the window: board row i shows track row
// 280 + i - trackScroll. The advance that makes trackScroll 280 ends the level.
// Counts one race point; the speed rises by one every ten rows.
void advanceTrack(Game& game, RaceState& race);

// Starts the current level again after a crash (one life less, window
// emptied), or the next level after the end of one.
void startLevel(Game& game, RaceState& race, bool collided);

// Tests the car against the window. On an overlap, however many cells, the
// crash costs one life and restarts the level; the last life's crash keeps
// the picture and ends the race. True on a crash.
bool checkCollision(Game& game, RaceState& race);

// True when any of the car's cells lies on a block of the window.
bool carOverlaps(const Game& game);

// The race is over: lost with the last life, or won at the end of the last level.
bool raceLost(const RaceState& race);
bool raceWon(const RaceState& race);
bool raceOver(const RaceState& race);
