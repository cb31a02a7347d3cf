#include "race/race.h"

#include <cstdio>

#include "game/game.h"

void startRace(Game& game, RaceState& race)
{
    race = RaceState{};
    game.clearBoard();
    game.playing = true;
    game.previewBoxesActive = true;
    game.resetFallClock();
    game.speed = kRaceStartSpeed;
    game.paused = false;
    game.bonus = 0;
    race.level = 1;
    race.trackScroll = 0;
    race.lastLevelReached = false;
    // CHANGE: [race-runs] the race is played out
    race.lives = kRaceLives;
    race.racePoints = 0;
    game.pieceKind = kCarKind;
    game.pieceRotation = 1;
    game.pieceRow = kRows - game.shape().height;
    game.pieceColumn = 5;
    game.fallOffset = 0;
    loadTrack(race, "1.dat");
}

void startLevel(Game& game, RaceState& race, bool collided)
{
    if (collided) {
        race.lives -= 1;
        // A crash restarts the level from its beginning, with an empty window,
        // so the blocks that were hit are not met a second time.
        for (int32_t r = 0; r < kRows; ++r) {
            for (int32_t c = 0; c < kColumns; ++c) game.board[r][c] = 0;
            game.rowFill[r] = 0;
        }
    } else {
        race.level += 1;
    }
    if (race.level == kLastLevel) race.lastLevelReached = true;

    char fileName[16];
    std::snprintf(fileName, sizeof fileName, "%d.dat", static_cast<int>(race.level));
    loadTrack(race, fileName);
    game.pieceKind = kCarKind;
    game.pieceRotation = 1;
    game.pieceRow = kCarTopRowLimit;
    game.fallOffset = 0;
    race.trackScroll = 0;
    game.speed = kRaceStartSpeed;
}

void advanceTrack(Game& game, RaceState& race)
{
    if (raceWon(race)) return;  // the finish: the track has nothing more to show
    race.trackScroll += 1;
    race.racePoints += 1;
    for (int32_t i = 0; i < kRows; ++i) {
        if (race.trackScroll == kLevelAdvances + i) {
            // The end of the level: this row would show track row 0. Board
            // row 0 keeps what it showed (the old level's row 1); the rows
            // below already take the next level.
            if (race.level < kLastLevel) startLevel(game, race, false);
            continue;
        }
        const int32_t trackRow = kLevelAdvances + i - race.trackScroll;
        int32_t fill = 0;
        for (int32_t c = 0; c < kColumns; ++c) {
            const int32_t cell = trackRow >= 0 && trackRow < kTrackRows ? race.trackCell(trackRow, c) : 0;
            game.board[i][c] = cell;
            if (cell != 0) ++fill;
        }
        game.rowFill[i] = fill;
    }
    // The next level begins one faster (51), since 0 counts as a tenth row.
    if (race.trackScroll % 10 == 0) game.speed += 1;
}

void moveCarUp(Game& game, const RaceState& race)
{
    if (raceOver(race)) return;
    if (game.pieceRow > 0) game.pieceRow -= 1;
}

void moveCarDown(Game& game, const RaceState& race)
{
    if (raceOver(race)) return;
    if (game.pieceRow < kCarTopRowLimit) game.pieceRow += 1;
}

bool raceLost(const RaceState& race)
{
    return race.lives <= 0;
}

bool raceWon(const RaceState& race)
{
    return race.level >= kLastLevel && race.trackScroll >= kLevelAdvances;
}

bool raceOver(const RaceState& race)
{
    return raceLost(race) || raceWon(race);
}
