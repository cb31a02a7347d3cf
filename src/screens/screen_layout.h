#pragma once
#include <cstdint>

#include "platform/surface.h"

// Where things lie on the 800 x 600 screens and in which colours they are
// drawn. Text colours are GDI colour values (red in the low byte); frame
// colours are surface pixel values (red in the high byte).

// -- colours ---------------------------------------------------------------------

constexpr uint32_t kPanelGreen = 0x00FF00;      // GDI RGB(0, 255, 0): score panel, race panel
constexpr uint32_t kPauseKeyOrange = 0x0085DC;  // GDI RGB(220, 133, 0): "PAUSE" when the player pauses
constexpr uint32_t kListColour = 0xF84850;      // GDI RGB(80, 72, 248): high-score rows, option labels
constexpr uint32_t kNewRowColour = 0x1E1EC8;    // GDI RGB(200, 30, 30): the row a game just entered
constexpr uint32_t kNameColour = 0x0000FF;      // GDI RGB(255, 0, 0): the player's name on the title
constexpr uint32_t kVersionColour = 0xC0C0C0;   // light grey
constexpr uint32_t kStatusColour = 0xC8C8A0;    // GDI RGB(160, 200, 200): the status line
constexpr uint32_t kFocusPixel = 0xFFC800;      // surface pixel: the frame round a chosen value or row

// -- the title screen -----------------------------------------------------------

constexpr int32_t kTitleLogoX = 100;
constexpr int32_t kTitleLogoY = 100;
constexpr int32_t kNameTextY = 50;  // the player's name, under the version line

// The menu picture holds the four entries; the pointer chooses one in bands
// 37 pixels high over the picture's columns, edges included.
constexpr Rect kTitleMenu{315, 350, 485, 497};  // right and bottom inclusive
constexpr int32_t kTitleMenuBandHeight = 37;
// The band under (x, y); -1 outside the menu.
constexpr int32_t titleMenuBandAt(int32_t x, int32_t y)
{
    if (x < kTitleMenu.left || x > kTitleMenu.right || y < kTitleMenu.top || y > kTitleMenu.bottom) return -1;
    return (y - kTitleMenu.top) / kTitleMenuBandHeight;
}
// The markers flank the chosen entry: 36 pixels an entry, where the bands are 37.
constexpr int32_t kLeftMarkerX = 277;
constexpr int32_t kRightMarkerX = 487;
constexpr int32_t titleMarkerY(int32_t entry)
{
    return 352 + 36 * entry;
}

// -- the game and race screen ------------------------------------------------------

// Board cell (row, column) has its top left corner here; cells are 25 pixels square.
constexpr int32_t kCellSize = 25;
constexpr int32_t kBoardLeft = 50;
constexpr int32_t kBoardTop = 50;
constexpr int32_t cellX(int32_t column)
{
    return kBoardLeft + kCellSize * column;
}
constexpr int32_t cellY(int32_t row)
{
    return kBoardTop + kCellSize * row;
}
// The column or row a pixel at or right of / below the board's corner lies in.
constexpr int32_t columnAt(int32_t x)
{
    return (x - kBoardLeft) / kCellSize;
}
constexpr int32_t rowAt(int32_t y)
{
    return (y - kBoardTop) / kCellSize;
}

constexpr Rect kPlayfield{50, 50, 300, 550};
// Above the playfield, where a piece entering the board shows.
constexpr Rect kTopStrip{40, 0, 310, 50};
constexpr int32_t kSmallLogoX = 350;
constexpr int32_t kSmallLogoY = 30;

// The four lines of the side panel, restored from the background before they
// are written: the score in a game, level, lives, speed and points in a race.
constexpr Rect kSidePanel{340, 320, 800, 600};
constexpr int32_t kPanelTextX = 460;
constexpr int32_t kPanelLineCount = 4;
constexpr int32_t panelLineY(int32_t line)
{
    return 330 + 60 * line;
}

// Preview box i (0 or 1): 100 pixels square, a piece centred in it.
constexpr Rect previewBox(int32_t i)
{
    return Rect{440 + 200 * i, 200, 540 + 200 * i, 300};
}

constexpr int32_t kPauseTextX = 120;
constexpr int32_t kPauseTextY = 290;

// -- the high-score screen -------------------------------------------------------------

constexpr int32_t kHighscoreRowTop = 214;  // the first row's text; rows are 40 pixels apart
constexpr int32_t kHighscoreRowStep = 40;

// -- the options screen ------------------------------------------------------------------

// One option: its label, written once into the options picture, and its value
// picture (60 pixels square) beside it. A click counts on the 51-pixel square
// from clickTop in the value column.
struct OptionRow {
    const char* label;
    int32_t labelY;
    int32_t valueTop;
    int32_t clickTop;  // one pixel below the picture's top on the first row only, as it always was
};
constexpr int32_t kOptionLabelX = 150;
constexpr int32_t kOptionValueX = 500;
constexpr int32_t kOptionClickSize = 51;
constexpr OptionRow kOptionRows[] = {
    {"Vorbelegung: Zeilen", 230, 214, 215},     {"Zielhilfe", 300, 285, 285},
    {"Zweites Vorschaufenster", 370, 355, 355}, {"Spielmodus", 440, 426, 426},
    {"Hintergrundmusik", 510, 496, 496},
};
