// One race frame: the window onto the track, the car and the race panel.
#include <cstdio>

#include "game/game.h"
#include "race/race.h"
#include "screens/catalogue.h"
#include "screens/game_screen.h"

namespace {

void drawRacePanel(const Game& game, const RaceState& race, GameScreen& screen)
{
    PanelLines lines;
    std::snprintf(lines[0], sizeof lines[0], "Level :             %d", race.level);
    std::snprintf(lines[1], sizeof lines[1], "Leben  :           %d", race.lives);
    std::snprintf(lines[2], sizeof lines[2], "Speed  :          %d km/h", game.speed);
    std::snprintf(lines[3], sizeof lines[3], "Punkte:            %d", race.racePoints);
    drawPanelLines(screen, lines);

    const PieceShape& car = game.shape();
    for (int32_t i = 0; i < car.height; ++i) {
        for (int32_t j = 0; j < car.width; ++j) {
            if (car.cells[i][j])
                BltFast(screen.pictures.playSurface.get(), cellX(game.pieceColumn + j), cellY(game.pieceRow + i),
                        screen.pictures.blocks[7].get());
        }
    }
}

}  // namespace

void drawRaceFrame(const Game& game, const RaceState& race, GameScreen& screen)
{
    clearPlayfield(screen);
    drawBoardCells(game, screen);
    drawRacePanel(game, race, screen);
    forgetShownFrame(screen);  // the race's board and panel lie where the game's go
    presentFrame(game, screen);
}
