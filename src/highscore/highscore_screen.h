#pragma once

class HighscoreList;
class Display;
class Font;
struct Catalogue;

// Prints the nine rows onto a fresh copy of the high-score picture and shows it.
void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font);
