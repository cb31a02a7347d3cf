#pragma once
#include <cstdint>
#include <functional>

class Game;
class Display;
class Font;
struct Catalogue;
struct Surface;

// What the game screen is drawn with. Kept apart from the rules so they build
// and run without a display.
struct GameScreen {
    const Catalogue& pictures;
    Display& display;
    Font& font;
    // Draws the status line onto the back buffer just before a frame shows.
    std::function<void(Surface* backBuffer)> drawStatusLine;
};

// Composes the whole game screen on the play surface and presents it.
void drawFrame(Game& game, GameScreen& screen);
void drawBoardCells(const Game& game, GameScreen& screen);
void drawFallingPiece(Game& game, GameScreen& screen);
void drawSidePanel(Game& game, GameScreen& screen);
void drawPreviews(const Game& game, GameScreen& screen);
// Top strip, small logo, "PAUSE", then copy to the back buffer and flip.
void presentFrame(const Game& game, GameScreen& screen);
// Fills the playfield with black.
void clearPlayfield(GameScreen& screen);
