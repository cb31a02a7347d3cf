#pragma once
#include <cstdint>
#include <string>

class Game;

// The race variant (modus 3): the car stands at the bottom of the board, which
// is the window onto a 300-row track read from a level file. The track runs
// down the screen one row per advance; the car dodges it with Up, Down, Left
// and Right. A crash costs a life and restarts the level; the race ends when
// the last life is gone or when the last level is driven to its end.
//
// How the main loop drives a race, once per pass while `playing` is 1, the
// race is not paused and modus is 3:
//
//     if (raceStep(game, raceState) == 1) draw the race frame, with
//         raceState.statusText on the status line in place of the name;
//     then sleep at most msUntilNextAdvance(game) ms or until the next event.
//
// Sleeping until the next advance is part of driving the race: the step clock
// is not re-stamped after it. After a pause (or any wait while the race is not
// driven) call game.resetFallClock(), so paused time never becomes advances.
// Give each race a fresh state (raceState = RaceState{}) when a new game
// starts it. Up and Down call moveCarUp / moveCarDown; Left, Right and Space go
// to the game's own moves; Ctrl and the row drop do nothing to the car.

constexpr int32_t kRaceLives = 3;
constexpr int32_t kLastLevel = 5;
constexpr int32_t kLevelAdvances = 280;   // advances a level lasts
constexpr int32_t kRaceStartSpeed = 50;   // km/h; one row every 100 ms
constexpr int32_t kCarTopRowLimit = 16;   // lowest top row: the car's box ends on row 19
constexpr uint32_t kFinalFrameMs = 1500;  // how long the last picture of a race stays
constexpr uint32_t kCrashNoticeMs = 1500; // how long "kollision" stays up at least

// The race's part of the screen that is not in the Game: the status text,
// and what the last drawn frame showed, so raceStep knows when to draw again.
// Owned by the shell; never written into the player's name.
struct RaceState {
    std::string statusText = " ";  // " " while driving, "kollision" after a crash
    uint32_t crashClock = 0;       // when the last crash happened
    int32_t shownPoints = -1;      // racePoints of the last drawn frame; -1: none yet
    int32_t shownRow = 0;
    int32_t shownColumn = 0;
};

// -- start and level files -----------------------------------------------------

// The race branch of a new game: empty window, the car at rows 16..19, three
// lives, no points, track of "1.dat" from the working directory.
void startRace(Game& game);

// Reads a level file into the track: 3000 comma-ended fields of at most two
// characters, row by row. Every cell is assigned whatever the file holds; a
// missing file gives an empty track.
void loadTrack(Game& game, const char* fileName);

// -- what the shell calls -------------------------------------------------------

// One pass of a running race: the advances due by the clock, each followed by
// the crash test, a crash test for the car's own moves, and the end of the
// race (the last picture stays kFinalFrameMs, then `playing` := 0 and the
// high-score screen shows; no score is entered). Returns 1 when the picture
// changed and a frame should be drawn.
int32_t raceStep(Game& game, RaceState& state);

// Milliseconds until raceStep has something to do: the next advance, or the
// end of the last picture's stay once the race is over. 0 when it is due.
uint32_t msUntilNextAdvance(const Game& game);

// The car one row up or down, kept within board rows 0..16. No board test and
// no sound: driving into a block is a crash, found by the next raceStep.
void moveCarUp(Game& game);
void moveCarDown(Game& game);

// -- the parts of a pass ----------------------------------------------------------

// Runs the advances that the time since `fallClock` pays for at `speed` km/h
// (one row per 5000 / speed ms), carrying the unspent time, and tests the car
// after each one. Stops once the race is over. Returns 1 if anything advanced.
int32_t raceTick(Game& game, RaceState& state);

// Scrolls the track one row down the window: board row i shows track row
// 280 + i - trackScroll. The advance that makes trackScroll 280 ends the level.
// Counts one race point; the speed rises by one every ten rows.
void advanceTrack(Game& game);

// Starts the current level again after a crash (one life less, window
// emptied), or the next level after the end of one.
void startLevel(Game& game, bool collided);

// Tests the car against the window. On an overlap, however many cells, the
// crash costs one life and restarts the level; the last life's crash keeps
// the picture and ends the race. Returns 1 on a crash.
int32_t checkCollision(Game& game, RaceState& state);

// True when any of the car's cells lies on a block of the window.
bool carOverlaps(const Game& game);

// The race is over: lost with the last life, or won at the end of the last level.
bool raceLost(const Game& game);
bool raceWon(const Game& game);
bool raceOver(const Game& game);
