#include <algorithm>

#include "game/game.h"

void Game::advanceQueue()
{
    pieceKind = nextPieces[0].kind;
    pieceRotation = nextPieces[0].rotation;
    for (int i = 0; i < kQueueLength - 1; ++i) nextPieces[i] = nextPieces[i + 1];

    // The kind is drawn before the rotation, one draw each; no bag, no history.
    const int32_t n = random_.next() % enabledPieceCount + 1;
    int32_t kind = 0;
    for (int32_t seen = 0; kind < kPieceKinds; ++kind) {
        if (pieceEnabled[kind] && ++seen == n) break;
    }
    const int32_t rotation = random_.next() % kRotations;
    nextPieces[kQueueLength - 1] = QueuedPiece{kind, rotation};
}

void Game::spawnPiece()
{
    advanceQueue();
    pieceRow = -shape().height;
    pieceColumn = 5 - shape().width / 2;
    fallOffset = 0;
}

void Game::moveSideways(int32_t d)
{
    const PieceShape& s = shape();
    const int32_t x = pieceColumn + d;
    if (x < 0 || x + s.width > kColumns) return;

    // CHANGE: [sideways-into-row-0] a piece sinking into row 0 may not slide into a block there
    // Cells above the board are free; but a row just above it that is already
    // sinking into row 0 must find row 0 free, or it would fall into a block.
    for (int32_t i = 0; i < s.height; ++i) {
        const int32_t r = pieceRow + i;
        for (int32_t j = 0; j < s.width; ++j) {
            if (!s.cells[i][j]) continue;
            // QUIRK: [slide-past-at-15] only the lower row is tested from 15 pixels down (kept)
            // From 15 pixels down only the lower row counts, so a piece can
            // slide past blocks in the row it is leaving.
            if (fallOffset < 15 && cellOccupied(r, x + j)) return;
            if (fallOffset > 0 && cellOccupied(r + 1, x + j)) return;
        }
    }
    pieceColumn = x;
}

void Game::rotatePiece(int32_t d)
{
    const PieceShape& from = shape();
    const int32_t turned = (pieceRotation + 4 - d) % 4;
    const PieceShape& to = pieceShapes[pieceKind][turned];

    // Both divisions truncate towards zero: (1 - 4) / 2 is -1.
    int32_t column = pieceColumn + (from.width - to.width) / 2;
    const int32_t row = pieceRow + (from.height - to.height) / 2;
    if (column < 0) column = 0;
    if (column + to.width >= kColumns) column = kColumns - to.width;
    // QUIRK: [turn-needs-free-box] 20, not 21: a turned box may not end on the bottom row (kept)
    if (row + to.height >= kRows) return;

    // QUIRK: [turn-needs-free-box] the whole rectangle around both boxes must be free, not just the cells (kept)
    const int32_t top = std::min(pieceRow, row);
    const int32_t height = std::max(from.height, to.height) + (fallOffset > 0 ? 1 : 0);
    const int32_t left = std::min(pieceColumn, column);
    const int32_t width = std::max(from.width, to.width);
    for (int32_t r = top; r < top + height; ++r) {
        for (int32_t c = left; c < left + width; ++c) {
            if (cellOccupied(r, c)) return;
        }
    }

    pieceRotation = turned;
    pieceColumn = column;
    pieceRow = row;
    host.playSound("drehen.wav");
}
