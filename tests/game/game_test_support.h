#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "game/game.h"
#include "recording_host.h"

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
