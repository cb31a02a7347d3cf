#pragma once
#include <cstdint>

class Game;

// A simple player: for each new piece it picks the rotation and column that
// leave the board lowest and with the fewest holes, steers the piece there
// while it is still above the board, then drops it.
struct BotMove {
    int32_t rotation = 0;
    int32_t column = 0;
};

BotMove chooseMove(const Game& game);
// Turns and shifts the falling piece towards the move; true when it is there.
bool steerTowards(Game& game, const BotMove& move);
