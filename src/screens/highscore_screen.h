#pragma once
#include <cstdint>
#include <string>

class HighscoreList;
class Display;
class Font;
struct Catalogue;

// The game that led to the high-score screen, shown at its bottom.
struct FinishedGame {
    enum class Kind { None, Classic, Race };
    Kind kind = Kind::None;  // None: an abandoned game, or none yet
    int32_t total = 0;       // classic: the game's total
    int rank = -1;           // classic: the row it took, -1 when not on the list
    bool raceFinished = false;
    int32_t rowsDriven = 0;  // race: rows driven
};

// The line at the bottom for a finished game (code page 1252); empty for None.
std::string finishedGameLine(const FinishedGame& finished);

// Prints the nine rows onto a fresh copy of the high-score picture and shows it.
// The finished game's row, if it made the list, stands out in its own colour,
// and resultFont writes its result at the right of the bottom line. The row
// markedRow (0 to 8; -1 none), chosen to watch its game, gets a frame.
void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font,
                         Font& resultFont, const FinishedGame& finished, int markedRow = -1);
