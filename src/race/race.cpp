#include "race/race.h"

#include "game/game.h"

void startRace(Game& game)
{
    game.clearBoard();
    game.playing = 1;
    game.previewBoxesActive = 1;
    game.resetFallClock();
    game.speed = 50;
    game.shell.paused = 0;
    game.bonus = 0;
    game.level = 1;
    game.trackScroll = 0;
    game.lastLevelReached = 0;
    game.lives = kRaceLives;
    game.racePoints = 0;
    game.pieceKind = kCarKind;
    game.pieceRotation = 1;
    game.pieceRow = kRows - game.shape().height;
    game.pieceColumn = 5;
    game.fallOffset = 0;
    loadTrack(game, "1.dat");
}
