#pragma once
// Whole runs of the program for the fault tests: a known high-score list on
// disk, a game played to its end through the real event handling, the way
// out through the menus, and checks on the files such a run leaves.
#include <cstdint>
#include <string>
#include <vector>

#include "driver.h"
#include "list_rows.h"

// Nine rows a first game easily beats, so every game over changes the list.
extern const std::vector<ListRow> kOldList;
extern const char* const kPlayer;

ListRows listOf(const App& app);

// A setup with kOldList on disk and the given settings file (none if empty).
DriverSetup setupWith(const std::string& iniText = "");

// From the title: starts a classic game with Enter, turns and shifts a few
// pieces, and drops them with Ctrl until the game is over. Returns false (and
// fails the test) when no game over came within a few hundred drops.
bool playClassicToGameOver(Driver& d);

// From the title: starts a race (modus 3) and lets it run until it ends by
// itself, steering a little on the way. Bounded by fake time.
bool playRaceToItsEnd(Driver& d);

// Title -> high scores -> title -> options, one click on the landing-guide
// box, -> title. Returns the Zielhilfe value that click set.
int32_t visitEveryScreen(Driver& d);

// From the high-score screen after a game: Esc to the title, Esc to quit,
// then the shutdown and the objects' end as leaving main does.
void quitAndFinish(Driver& d);

// A list file as the game writes it: nine lines of "score,name" ending in
// CR LF. Explains the first flaw in why.
bool isWholeList(const std::string& text, std::string& why);

// The log ends with the releases (with at most the shell's report of a failed
// save between them): the run reached its end.
bool logEndsCleanly(const std::string& log);
int countOf(const std::string& text, const std::string& part);
