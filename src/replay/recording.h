#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/settings.h"
#include "platform/events.h"

struct RaceState;

// A recorded game: everything that decides it, and how it ended.
//
// The file is text, one item a line, lines ending in LF (a CR before it is
// ignored), numbers in decimal, times in milliseconds since the game started:
//
//   klotzar-replay 1                    version; always the first line
//   seed 2531011                        the random generator's state at the start
//   settings 0 1 0 0 1                  Vorbelegung Zielhilfe Vorschauzwei Musik modus
//   name Xaver                          the player's name (code page 1252), rest of the line
//   c 20                                the rules read the clock: it said 20
//   k 35 Left                           a key: Enter Ctrl Pause Escape Space Left Up Right Down Other,
//                                       or a pad button: PadAccept PadStart PadTurnBack PadBack
//   m 40 310 402                        the pointer moved to x y
//   l 41 310 402 1 1                    left button down at x y, still held (0/1), clicks
//   r 45 310 402 1 1                    right button down, likewise
//   q 50                                the window was closed
//   f 52                                the window lost the keyboard focus
//   w 900                               the loop woke from a wait that re-stamped the step clock
//   s 120 4 8 52                        points lines bonus speed changed to these
//   end gameover                        gameover, abandoned, quit or raceover
//   board 0 0 0 0 0 0 0 0 0 0 0         row, then its ten cells; one line per row, 0 to 19
//   points 120
//   lines 4
//   bonus 8
//   total 132
//   race 2 3 281                        races only: level, lives, rows driven
//   entered 3 132                       game over: the rank the total took when the game was
//                                       played (-1: not entered), and the total handed to the list
//   eof                                 the last line: a file without it was cut short
//
// Items up to "end" are replayed in order; the lines after it are what the
// replay must arrive at.

constexpr int32_t kReplayVersion = 1;
constexpr const char* kReplayMagic = "klotzar-replay";

struct ReplayItem {
    enum class Type { Clock, Input, Wake, Scores };
    Type type = Type::Clock;
    uint32_t ms = 0;
    InputEvent event;        // Input
    int32_t values[4] = {};  // Scores: points, lines, bonus, speed
};

struct ReplayOutcome {
    std::string how;  // gameover, abandoned, quit, raceover
    int32_t board[kRows][kColumns] = {};
    int32_t points = 0;
    int32_t lines = 0;
    int32_t bonus = 0;
    int32_t total = 0;
    bool race = false;
    int32_t level = 0;
    int32_t lives = 0;
    int32_t rowsDriven = 0;
    bool handed = false;       // game over handed a total to the high-score list
    int32_t enteredRank = -1;  // the rank it took then; -1: none. Depends on the list of the
                               // day, so a replay does not hold itself to it
    int32_t enteredScore = 0;
};

struct Recording {
    uint32_t seed = 0;
    Settings settings;
    std::string name;
    std::vector<ReplayItem> items;
    ReplayOutcome outcome;
};

// The file's text for a recording.
std::string writeRecording(const Recording& recording);

// Reads a recording; false with a message naming the line when the text is
// not a whole recording of this version.
bool readRecording(const std::string& text, Recording& recording, std::string& error);

// The outcome's named fields that differ from want, "" when none does.
// Each difference reads like "points 120 instead of 121".
std::string outcomeDifferences(const ReplayOutcome& got, const ReplayOutcome& want);

// What a game's state says about its end; `race` is null for a classic game.
ReplayOutcome outcomeOf(const Game& game, const RaceState* race, const std::string& how);

const char* keyName(Key key);
