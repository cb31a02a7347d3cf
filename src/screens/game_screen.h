#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "game/game.h"
#include "platform/surface.h"
#include "screens/screen_layout.h"

class Display;
class Font;
struct Catalogue;
struct RaceState;

// What the game screen is drawn with. Kept apart from the rules so they build
// and run without a display.
struct GameScreen {
    const Catalogue& pictures;
    Display& display;
    Font& font;
    // Draws the status line onto the back buffer just before a frame shows.
    std::function<void(Surface* backBuffer)> drawStatusLine;
    // The status line's text now: a frame draws the line again only when the
    // text changed or the frame drew over it.
    std::function<std::string()> statusLineText;

    // What the play surface shows of the last game frame, so that the next
    // one redraws only what changed. Each part is redrawn whole when it is
    // not valid.
    struct ShownFrame {
        // The side panel's values: redrawn only when one of them changes.
        bool panelValid = false;
        int32_t points = 0;
        int32_t lines = 0;
        int32_t bonus = 0;
        int32_t total = 0;
        // The small logo: nothing else draws where it lies.
        bool logo = false;
        // The board as drawn and where the falling piece's blocks and its aim
        // frames were drawn: while the board stays the same, only those areas
        // need clearing and redrawing, the aim frames only when they move.
        bool playfieldValid = false;
        int32_t board[kRows][kColumns] = {};
        ChangedAreas piece;
        ChangedAreas aim;
        // The piece the aim frames were drawn for: its column, shape, row and
        // landing row.
        int32_t aimColumn = 0;
        const PieceShape* aimShape = nullptr;
        int32_t aimRow = 0;
        int32_t aimLanding = 0;
        // The previews and what decides them.
        bool previewsValid = false;
        int32_t previewBoxesActive = 0;
        int32_t previewSetting = 0;
        int32_t previewCount = 0;
        QueuedPiece previews[kQueueLength] = {};
    } shown;

    // What our last present left behind. While the frame on show is ours,
    // the back buffer holds it too, so a new frame needs only what changed on
    // the play surface since then copied over.
    struct PresentHistory {
        uint64_t lastFlip = 0;    // the display's count of frames shown, after our last present
        ChangedAreas statusLine;  // where the status line lay on that frame
        std::string statusText;   // and what it said
    } history;
};

// Composes the whole game screen on the play surface and presents it.
void drawFrame(Game& game, GameScreen& screen);
// The composing part of drawFrame: the playfield, the piece, the side panel
// and the previews.
void composeFrame(Game& game, GameScreen& screen);
void drawBoardCells(const Game& game, GameScreen& screen);
void drawFallingPiece(Game& game, GameScreen& screen);
void drawSidePanel(Game& game, GameScreen& screen);
void drawPreviews(const Game& game, GameScreen& screen);
// The side panel restored from the background, then its four lines written
// in green: the score in a game, the race's figures in a race.
using PanelLines = char[kPanelLineCount][64];
void drawPanelLines(GameScreen& screen, const PanelLines& lines);
// Top strip, small logo, "PAUSE", then copy to the back buffer and flip.
void presentFrame(const Game& game, GameScreen& screen);
// "PAUSE" on the play surface in the given GDI colour: orange when the
// player pauses, green on a game frame drawn while paused.
void drawPauseText(GameScreen& screen, uint32_t gdiColour);
// The pause key's picture: "PAUSE" in orange over the last frame, shown at
// once, without the status line.
void showPausePicture(GameScreen& screen);
// One race frame: the board as the race filled it, the car and the race's
// panel, presented as a game frame is.
void drawRaceFrame(const Game& game, const RaceState& race, GameScreen& screen);
// Fills the playfield with black.
void clearPlayfield(GameScreen& screen);
// Something other than drawFrame drew on the playfield or the side panel
// (the race, the pause text): the next game frame draws them whole again.
void forgetShownFrame(GameScreen& screen);
