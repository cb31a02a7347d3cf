#pragma once

class HighscoreList;
class Display;
class Font;
struct Catalogue;

// Prints the nine rows onto a fresh copy of the high-score picture and shows
// it. With a hint font, the screen's keys stand on its last line, and
// markedRow (0 to 8) gets a mark before its name.
void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font,
                         int markedRow = -1, Font* hintFont = nullptr);
