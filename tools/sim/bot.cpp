#include "bot.h"

#include "game/game.h"

namespace {

struct Placement {
    bool valid = false;
    int32_t score = 0;
};

bool fits(const Game& game, const PieceShape& s, int32_t row, int32_t column)
{
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            if (!s.cells[i][j]) continue;
            const int32_t r = row + i;
            if (r >= kRows) return false;
            if (r >= 0 && game.board[r][column + j] != 0) return false;
        }
    }
    return true;
}

Placement evaluate(const Game& game, const PieceShape& s, int32_t column)
{
    Placement p;
    int32_t row = -s.height;
    if (!fits(game, s, row, column)) return p;
    while (fits(game, s, row + 1, column)) ++row;

    int32_t board[kRows][kColumns];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) board[r][c] = game.board[r][c];
    int32_t above = 0;
    for (int32_t i = 0; i < s.height; ++i)
        for (int32_t j = 0; j < s.width; ++j) {
            if (!s.cells[i][j]) continue;
            if (row + i < 0)
                ++above;
            else
                board[row + i][column + j] = 1;
        }

    int32_t full = 0;
    for (int r = 0; r < kRows; ++r) {
        int32_t n = 0;
        for (int c = 0; c < kColumns; ++c) n += board[r][c] != 0;
        full += n == kColumns;
    }
    // The well-known weights for aggregate height, lines, holes and bumpiness.
    int32_t holes = 0;
    int32_t height = 0;
    int32_t bumpiness = 0;
    int32_t previous = -1;
    for (int c = 0; c < kColumns; ++c) {
        int32_t columnHeight = 0;
        for (int r = 0; r < kRows; ++r) {
            if (board[r][c] != 0) {
                if (columnHeight == 0) columnHeight = kRows - r;
            } else if (columnHeight != 0) {
                ++holes;
            }
        }
        height += columnHeight;
        if (previous >= 0) bumpiness += columnHeight > previous ? columnHeight - previous : previous - columnHeight;
        previous = columnHeight;
    }
    p.valid = true;
    p.score = full * 760 - height * 510 - holes * 360 - bumpiness * 180 - above * 100000;
    return p;
}

}  // namespace

BotMove chooseMove(const Game& game)
{
    BotMove best{game.pieceRotation, game.pieceColumn};
    bool found = false;
    int32_t bestScore = 0;
    for (int32_t rotation = 0; rotation < kRotations; ++rotation) {
        const PieceShape& s = pieceShapes[game.pieceKind][rotation];
        for (int32_t column = 0; column + s.width <= kColumns; ++column) {
            const Placement p = evaluate(game, s, column);
            if (p.valid && (!found || p.score > bestScore)) {
                found = true;
                bestScore = p.score;
                best = BotMove{rotation, column};
            }
        }
    }
    return best;
}

bool steerTowards(Game& game, const BotMove& move)
{
    if (game.pieceRotation != move.rotation) {
        game.rotatePiece(-1);  // -1 goes to the next rotation index
        return false;
    }
    if (game.pieceColumn < move.column) {
        game.moveSideways(+1);
        return false;
    }
    if (game.pieceColumn > move.column) {
        game.moveSideways(-1);
        return false;
    }
    return true;
}
