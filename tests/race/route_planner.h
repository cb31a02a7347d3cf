#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"
#include "race/race.h"

// A driver that looks ahead: it runs the race's own track scrolling on a copy
// of the game, then searches, row by row, the positions the car can reach
// without ever touching a block, and keeps one way through to the finish.
struct CarPosition {
    int32_t row = 0;
    int32_t column = 0;
    bool operator==(const CarPosition& o) const { return row == o.row && column == o.column; }
};

struct Route {
    bool found = false;
    // Where the search ran out of room, when it did.
    int32_t failedLevel = 0;
    int32_t failedScroll = 0;
    // legs[k]: the positions the car takes while the window shows the k-th
    // picture, starting where the advance left it; the car drives the leg,
    // then the next advance comes.
    std::vector<std::vector<CarPosition>> legs;

    std::string describeFailure() const;
};

// At most movesPerRow key presses between two advances; a player manages
// one or two at the race's pace.
Route planRoute(const Game& game, const RaceState& race, int32_t movesPerRow);

// Drives the car one step towards the next position with the race's moves.
void stepCar(Game& game, const RaceState& race, const CarPosition& to);

struct DriveResult {
    int32_t advances = 0;
    int32_t crashes = 0;
    bool won = false;
    std::string trouble;  // the first thing that went wrong, and where
};

// Drives the route with the race's own steps, turning the fake clock to each
// advance in turn.
DriveResult driveRoute(Game& game, RaceState& state, uint32_t& now, const Route& route);
