#pragma once
#include "shell/app.h"

// A game in full swing, the case every frame measurement draws: the lower
// half of the board stacked with every colour, holes in each row so none is
// full, and the piece half-way between rows.
void startBusyGame(App& app);

// Moves the busy game's piece one pixel, up or down, as gravity does between
// two frames.
void movePieceOnePixel(App& app);
