#include "game_test_support.h"

#include <algorithm>
#include <climits>

PieceState pieceState(const Game& game)
{
    return {game.pieceKind, game.pieceRotation, game.pieceRow, game.pieceColumn, game.fallOffset};
}

std::ostream& operator<<(std::ostream& out, const PieceState& p)
{
    return out << "{kind " << p.kind << ", rotation " << p.rotation << ", row " << p.row << ", column " << p.column
               << ", offset " << p.offset << "}";
}

Score scoreOf(const Game& game)
{
    return {game.points, game.lines, game.bonus, game.speed};
}

std::ostream& operator<<(std::ostream& out, const Score& s)
{
    return out << "{points " << s.points << ", lines " << s.lines << ", bonus " << s.bonus << ", speed " << s.speed
               << "}";
}

Picture picture(const Game& game)
{
    Picture rows;
    for (int r = 0; r < kRows; ++r) {
        std::string line;
        for (int c = 0; c < kColumns; ++c) {
            const int32_t v = game.board[r][c];
            line += v == 0 ? '.' : (v > 0 && v < 10 ? static_cast<char>('0' + v) : '?');
        }
        rows.push_back(line);
    }
    return rows;
}

Picture fromBottom(const Picture& bottomRows)
{
    Picture rows(kRows - bottomRows.size(), "..........");
    rows.insert(rows.end(), bottomRows.begin(), bottomRows.end());
    return rows;
}

Picture shiftedLeft(Picture rows)
{
    for (std::string& row : rows) std::rotate(row.begin(), row.begin() + 1, row.end());
    return rows;
}

void setBoard(Game& game, const Picture& rows)
{
    for (int r = 0; r < kRows; ++r) {
        game.rowFill[r] = 0;
        for (int c = 0; c < kColumns; ++c) {
            const char ch = rows.at(r).at(c);
            game.board[r][c] = ch == '.' ? 0 : ch - '0';
            game.rowFill[r] += game.board[r][c] != 0;
        }
    }
}

std::string invariantFault(const Game& game)
{
    for (int r = 0; r < kRows; ++r) {
        int32_t count = 0;
        for (int c = 0; c < kColumns; ++c) {
            const int32_t v = game.board[r][c];
            if (v < 0 || v > 8)
                return "cell " + std::to_string(r) + "," + std::to_string(c) + " holds " + std::to_string(v);
            count += v != 0;
        }
        if (count != game.rowFill[r])
            return "row " + std::to_string(r) + " has " + std::to_string(count) + " blocks but rowFill " +
                   std::to_string(game.rowFill[r]);
    }
    if (game.pieceKind < 0 || game.pieceKind > 7) return "piece kind " + std::to_string(game.pieceKind);
    if (game.pieceRotation < 0 || game.pieceRotation > 3) return "rotation " + std::to_string(game.pieceRotation);
    const PieceShape& s = game.shape();
    if (game.pieceColumn < 0 || game.pieceColumn + s.width > kColumns)
        return "piece column " + std::to_string(game.pieceColumn) + " with width " + std::to_string(s.width);
    if (game.fallOffset < 0 || game.fallOffset > 24) return "fallOffset " + std::to_string(game.fallOffset);
    if (game.speed < 41) return "speed " + std::to_string(game.speed);
    if (!game.playing) return "";  // the piece of a finished game lies in the board
    // The cells the piece is sinking into (its own row when it sits on one)
    // must be free and on the board.
    const int32_t below = game.fallOffset > 0 ? 1 : 0;
    for (int i = 0; i < s.height; ++i) {
        for (int j = 0; j < s.width; ++j) {
            const int32_t r = game.pieceRow + i + below;
            if (!s.cells[i][j] || r < 0) continue;
            if (r >= kRows) return "piece below the floor at row " + std::to_string(r);
            if (game.board[r][game.pieceColumn + j] != 0)
                return "piece overlaps a block at " + std::to_string(r) + "," + std::to_string(game.pieceColumn + j);
        }
    }
    return "";
}
