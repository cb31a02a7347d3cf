#pragma once
#include <cstdint>

#include "game_host.h"
#include "pieces.h"
#include "player_name.h"
#include "random.h"
#include "settings.h"

constexpr int kRows = 20;
constexpr int kColumns = 10;
constexpr int kQueueLength = 5;

struct QueuedPiece {
    int32_t kind = 0;
    int32_t rotation = 0;
};

// The one game: board, falling piece, queue, step clock and the game-wide
// score values. Everything the rules touch outside it (settings, the player's
// name, clock, sound, high scores, the end of a game) comes in through the
// references given at construction.
class Game {
public:
    Game(GameHost& host, const Settings& settings, const PlayerName& playerName);

    // -- new game and board ---------------------------------------------------
    void newGame();
    void clearBoard();
    void setPrefillRows(int32_t n);
    void setPreviewCount(int32_t n);
    void prefillBoard();
    void resetFallClock();

    // -- pieces ---------------------------------------------------------------
    void advanceQueue();
    void spawnPiece();
    void moveSideways(int32_t d);
    void rotatePiece(int32_t d);

    // -- gravity, locking, scoring --------------------------------------------
    // Takes the steps the clock has paid for; true when it took any.
    bool tick();
    // Milliseconds until tick() will have a step to take (0: one is due now).
    int32_t msUntilNextStep();
    // One pixel down, or the lock when the piece sits on a row and lands;
    // false when it locked.
    bool stepDown();
    void dropRow();
    void dropToBottom();
    // True when the piece, standing on `row`, would rest on a block or the floor.
    bool landsAt(int32_t row) const;
    void lockPiece();
    void clearFullRows();
    void rotateColumns();
    void slowDown(int32_t n);

    const PieceShape& shape() const { return pieceShapes[pieceKind][pieceRotation]; }
    Random& random() { return random_; }

    // Fields, in the order the game has always kept them.
    int32_t prefillRows = 0;
    int32_t previewCount = 1;
    int32_t rowFill[kRows] = {};
    int32_t pieceKind = 0;
    int32_t pieceRotation = 0;
    QueuedPiece nextPieces[kQueueLength] = {};
    bool previewBoxesActive = false;
    uint32_t fallClock = 0;
    int32_t pieceRow = 0;
    int32_t pieceColumn = 0;
    int32_t board[kRows][kColumns] = {};
    int32_t fallOffset = 0;
    bool playing = false;
    // The shell stops the clock's steps while a running game is paused; a new
    // game starts unpaused, and an abandoned one keeps the flag until then.
    bool paused = false;

    // Game-wide values; the race uses speed too.
    int32_t speed = 50;  // pixels per second; km/h in a race
    int32_t points = 0;
    int32_t lines = 0;
    int32_t bonus = 0;
    int32_t total = 0;

    GameHost& host;
    const Settings& settings;
    const PlayerName& playerName;

private:
    bool cellOccupied(int32_t row, int32_t column) const;
    void endGame();

    Random random_;
};
