#include "race/race.h"

#include <cstdio>

#include "game/game.h"

void startRace(Game& game)
{
    game.clearBoard();
    game.playing = 1;
    game.previewBoxesActive = 1;
    game.resetFallClock();
    game.speed = kRaceStartSpeed;
    game.shell.paused = 0;
    game.bonus = 0;
    game.level = 1;
    game.trackScroll = 0;
    game.lastLevelReached = 0;
    // CHANGE: [race-runs] the race is played out
    game.lives = kRaceLives;
    game.racePoints = 0;
    game.pieceKind = kCarKind;
    game.pieceRotation = 1;
    game.pieceRow = kRows - game.shape().height;
    game.pieceColumn = 5;
    game.fallOffset = 0;
    loadTrack(game, "1.dat");
}

void startLevel(Game& game, bool collided)
{
    if (collided) {
        game.lives -= 1;
        // A crash restarts the level from its beginning, with an empty window,
        // so the blocks that were hit are not met a second time.
        for (int32_t r = 0; r < kRows; ++r) {
            for (int32_t c = 0; c < kColumns; ++c) game.board[r][c] = 0;
            game.rowFill[r] = 0;
        }
    } else {
        game.level += 1;
    }
    if (game.level == kLastLevel) game.lastLevelReached = 1;

    char fileName[16];
    std::snprintf(fileName, sizeof fileName, "%d.dat", static_cast<int>(game.level));
    loadTrack(game, fileName);
    game.pieceKind = kCarKind;
    game.pieceRotation = 1;
    game.pieceRow = kCarTopRowLimit;
    game.fallOffset = 0;
    game.trackScroll = 0;
    game.speed = kRaceStartSpeed;
}

void advanceTrack(Game& game)
{
    if (raceWon(game)) return;  // the finish: the track has nothing more to show
    game.trackScroll += 1;
    game.racePoints += 1;
    for (int32_t i = 0; i < kRows; ++i) {
        if (game.trackScroll == kLevelAdvances + i) {
            // The end of the level: this row would show track row 0. Board
            // row 0 keeps what it showed (the old level's row 1); the rows
            // below already take the next level.
            if (game.level < kLastLevel) startLevel(game, false);
            continue;
        }
        const int32_t trackRow = kLevelAdvances + i - game.trackScroll;
        int32_t fill = 0;
        for (int32_t c = 0; c < kColumns; ++c) {
            const int32_t cell = trackRow >= 0 && trackRow < kTrackRows ? game.trackCell(trackRow, c) : 0;
            game.board[i][c] = cell;
            if (cell != 0) ++fill;
        }
        game.rowFill[i] = fill;
    }
    // The next level begins one faster (51), since 0 counts as a tenth row.
    if (game.trackScroll % 10 == 0) game.speed += 1;
}

void moveCarUp(Game& game)
{
    if (raceOver(game)) return;
    if (game.pieceRow > 0) game.pieceRow -= 1;
}

void moveCarDown(Game& game)
{
    if (raceOver(game)) return;
    if (game.pieceRow < kCarTopRowLimit) game.pieceRow += 1;
}

bool raceLost(const Game& game)
{
    return game.lives <= 0;
}

bool raceWon(const Game& game)
{
    return game.level >= kLastLevel && game.trackScroll >= kLevelAdvances;
}

bool raceOver(const Game& game)
{
    return raceLost(game) || raceWon(game);
}
