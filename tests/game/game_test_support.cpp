#include "game_test_support.h"

#include <algorithm>
#include <climits>

const Drawing kDrawings[kPieceKinds][kRotations] = {
    {{2, 3, "###/.#."}, {3, 2, "#./##/#."}, {2, 3, ".#./###"}, {3, 2, ".#/##/.#"}},
    {{2, 3, "##./.##"}, {3, 2, ".#/##/#."}, {2, 3, "##./.##"}, {3, 2, ".#/##/#."}},
    {{2, 3, ".##/##."}, {3, 2, "#./##/.#"}, {2, 3, ".##/##."}, {3, 2, "#./##/.#"}},
    {{2, 3, "###/..#"}, {3, 2, "##/#./#."}, {2, 3, "#../###"}, {3, 2, ".#/.#/##"}},
    {{2, 3, "..#/###"}, {3, 2, "##/.#/.#"}, {2, 3, "###/#.."}, {3, 2, "#./#./##"}},
    {{2, 2, "##/##"}, {2, 2, "##/##"}, {2, 2, "##/##"}, {2, 2, "##/##"}},
    {{1, 4, "####"}, {4, 1, "#/#/#/#"}, {1, 4, "####"}, {4, 1, "#/#/#/#"}},
    {{1, 1, "#"}, {1, 1, "#"}, {1, 1, "#"}, {1, 1, "#"}},
    {{4, 3, ".#./#.#/.#./#.#"}, {4, 3, ".#./#.#/.#./#.#"}, {4, 3, ".#./#.#/.#./#.#"}, {4, 3, ".#./#.#/.#./#.#"}},
};

Grid gridOf(const Drawing& drawing)
{
    Grid grid{};
    int32_t r = 0;
    int32_t c = 0;
    for (const char* p = drawing.rows; *p != '\0'; ++p) {
        if (*p == '/') {
            EXPECT_EQ(c, drawing.width) << drawing.rows;
            ++r, c = 0;
        } else {
            grid.at(r).at(c++) = *p == '#' ? 1 : 0;
        }
    }
    EXPECT_EQ(r + 1, drawing.height) << drawing.rows;
    return grid;
}

PieceState pieceState(const Game& game)
{
    return {game.pieceKind, game.pieceRotation, game.pieceRow, game.pieceColumn, game.fallOffset};
}

std::ostream& operator<<(std::ostream& out, const PieceState& p)
{
    return out << "{kind " << p.kind << ", rotation " << p.rotation << ", row " << p.row << ", column " << p.column
               << ", offset " << p.offset << "}";
}

Score scoreOf(const Game& game) { return {game.points, game.lines, game.bonus, game.speed}; }

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
            if (v < 0 || v > 8) return "cell " + std::to_string(r) + "," + std::to_string(c) + " holds " + std::to_string(v);
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
    if (game.playing != 1) return "";  // the piece of a finished game lies in the board
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

namespace {

// How well the falling piece would sit if turned to rotation and dropped in
// column: rows it fills count for it, holes left under it against it, and the
// deeper it lands the better.
int32_t placementScore(const Game& game, int32_t rotation, int32_t column)
{
    const PieceShape& s = pieceShapes[game.pieceKind][rotation];
    auto hits = [&](int32_t row) {
        for (int32_t i = 0; i < s.height; ++i)
            for (int32_t j = 0; j < s.width; ++j)
                if (s.cells[i][j] && (row + i >= kRows || (row + i >= 0 && game.board[row + i][column + j] != 0)))
                    return true;
        return false;
    };
    int32_t row = -s.height;
    while (!hits(row + 1)) ++row;
    int32_t score = 2 * row;
    for (int32_t i = 0; i < s.height; ++i) {
        const int32_t cells = static_cast<int32_t>(std::count(s.cells[i], s.cells[i] + s.width, 1));
        if (row + i >= 0 && game.rowFill[row + i] + cells == kColumns) score += 40;
    }
    for (int32_t j = 0; j < s.width; ++j) {
        int32_t r = row + s.height - 1;
        while (!s.cells[r - row][j]) --r;
        for (r = std::max(r + 1, 0); r < kRows && game.board[r][column + j] == 0; ++r) score -= 12;
    }
    return score;
}

}  // namespace

std::string Bot::step(Session& session)
{
    Game& game = session.game;
    if (!std::equal(std::begin(queueSeen), std::end(queueSeen), std::begin(game.nextPieces),
                    [](const QueuedPiece& a, const QueuedPiece& b) { return a.kind == b.kind && a.rotation == b.rotation; })) {
        // A new piece: choose where it should go, and grow a little careless.
        std::copy(std::begin(game.nextPieces), std::end(game.nextPieces), queueSeen);
        int32_t best = INT32_MIN;
        for (int32_t rotation = 0; rotation < kRotations; ++rotation) {
            for (int32_t column = 0; column + pieceShapes[game.pieceKind][rotation].width <= kColumns; ++column) {
                const int32_t score = placementScore(game, rotation, column);
                if (score > best) best = score, targetRotation = rotation, targetColumn = column;
            }
        }
        skill = std::max(0, skill - 1);
    }
    const uint32_t choice = rng() % 100;
    if (static_cast<int32_t>(rng() % 100) < skill) {
        if (game.pieceRotation != targetRotation) {
            game.rotatePiece(-1);
            return "planned rotate -1";
        }
        if (game.pieceColumn != targetColumn) {
            const int32_t d = targetColumn < game.pieceColumn ? -1 : +1;
            game.moveSideways(d);
            return d < 0 ? "planned left" : "planned right";
        }
    }
    if (choice < 18) {
        game.moveSideways(-1);
        return "left";
    }
    if (choice < 36) {
        game.moveSideways(+1);
        return "right";
    }
    if (choice < 56) {
        const int32_t d = choice < 46 ? +1 : -1;
        game.rotatePiece(d);
        return d > 0 ? "rotate +1" : "rotate -1";
    }
    if (choice < 72) {
        game.dropRow();
        return "dropRow";
    }
    if (choice < 76) {
        game.dropToBottom();
        return "dropToBottom";
    }
    // Now and then the machine sleeps for a long while, or the clock wraps.
    const uint32_t step = choice == 99 ? static_cast<uint32_t>(rng()) : static_cast<uint32_t>(rng() % 300);
    session.host.now += step;
    game.tick();
    return "tick +" + std::to_string(step) + " ms";
}
