#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "game/game.h"
#include "recording_host.h"

// The piece drawings: height x width, rows top to bottom, '#' a block.
struct Drawing {
    int32_t height;
    int32_t width;
    const char* rows;
};
extern const Drawing kDrawings[kPieceKinds][kRotations];
using Grid = std::array<std::array<int32_t, 4>, 4>;
Grid gridOf(const Drawing& drawing);

// The falling piece and the score values, comparable in one expectation.
struct PieceState {
    int32_t kind, rotation, row, column, offset;
    bool operator==(const PieceState& o) const
    {
        return kind == o.kind && rotation == o.rotation && row == o.row && column == o.column && offset == o.offset;
    }
};
PieceState pieceState(const Game& game);
std::ostream& operator<<(std::ostream& out, const PieceState& p);
struct Score {
    int32_t points, lines, bonus, speed;
    bool operator==(const Score& o) const
    {
        return points == o.points && lines == o.lines && bonus == o.bonus && speed == o.speed;
    }
};
Score scoreOf(const Game& game);
std::ostream& operator<<(std::ostream& out, const Score& s);

// The board as text, top row first: '.' empty, a digit the cell's value.
using Picture = std::vector<std::string>;
Picture picture(const Game& game);
// A 20-row picture from its bottom rows; the rows above are empty.
Picture fromBottom(const Picture& bottomRows);
// Every row turned one column to the left, column 0 going to column 9.
Picture shiftedLeft(Picture rows);
// Sets the board and the row counters from a 20-row picture.
void setBoard(Game& game, const Picture& rows);
// Empty when rowFill, cell values, walls, speed and the falling piece are all
// in order, else a description of the first fault.
std::string invariantFault(const Game& game);

// A player that picks a place for each piece and steers it there, with random
// slips: skill is the chance in percent of a planned move. It drops by one
// with every piece, so that each game comes to an end.
class Bot {
public:
    Bot(uint32_t seed, int32_t skill) : rng(seed), skill(skill) {}
    // One action, named for failure messages.
    std::string step(Session& session);

private:
    std::mt19937 rng;
    int32_t skill;
    QueuedPiece queueSeen[kQueueLength] = {};
    int32_t targetRotation = 0;
    int32_t targetColumn = 0;
};

class GameFixture : public ::testing::Test {
protected:
    Session session;
    RecordingHost& host = session.host;
    Settings& settings = session.settings;
    PlayerName& name = session.name;
    Game& game = session.game;

    // A running game on an empty board, nothing played yet.
    void start(uint32_t seed = 7)
    {
        host.now = 100000;
        game.random().seed(seed);
        game.newGame();
        host.sounds.clear();
    }
    void place(int32_t kind, int32_t rotation, int32_t row, int32_t column, int32_t offset = 0)
    {
        game.pieceKind = kind;
        game.pieceRotation = rotation;
        game.pieceRow = row;
        game.pieceColumn = column;
        game.fallOffset = offset;
    }
    void setCell(int32_t row, int32_t column, int32_t value)
    {
        game.rowFill[row] += (value != 0) - (game.board[row][column] != 0);
        game.board[row][column] = value;
    }
};
