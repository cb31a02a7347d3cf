// One race frame: the window onto the track, the car and the race panel.
#include <cstdio>

#include "shell/app.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr Rect kSidePanel{340, 320, 800, 600};

void drawRacePanel(const Game& game, const RaceState& race, const Catalogue& pictures, Font& font)
{
    Surface* play = pictures.playSurface.get();
    BltFast(play, kSidePanel.left, kSidePanel.top, pictures.backgroundSurface.get(), &kSidePanel);
    char text[64];
    std::snprintf(text, sizeof text, "Level :             %d", race.level);
    font.DrawString(play, 460, 330, text, kGreen);
    std::snprintf(text, sizeof text, "Leben  :           %d", race.lives);
    font.DrawString(play, 460, 390, text, kGreen);
    std::snprintf(text, sizeof text, "Speed  :          %d km/h", game.speed);
    font.DrawString(play, 460, 450, text, kGreen);
    std::snprintf(text, sizeof text, "Punkte:            %d", race.racePoints);
    font.DrawString(play, 460, 510, text, kGreen);

    const PieceShape& car = game.shape();
    for (int32_t i = 0; i < car.height; ++i) {
        for (int32_t j = 0; j < car.width; ++j) {
            if (car.cells[i][j])
                BltFast(play, 50 + 25 * (game.pieceColumn + j), 50 + 25 * (game.pieceRow + i), pictures.blocks[7].get());
        }
    }
}

}  // namespace

void App::raceFrame()
{
    clearPlayfield(screen);
    drawBoardCells(game, screen);
    drawRacePanel(game, race, pictures, font);
    forgetShownFrame(screen);  // the race's board and panel lie where the game's go
    presentFrame(game, screen);
}
