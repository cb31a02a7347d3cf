#include <cstdint>

#include "game/game.h"
#include "game/step_clock.h"
#include "race/race.h"

namespace {

// At `speed` km/h the track moves one row per 5000 / speed milliseconds.
constexpr uint32_t kRowCost = 5000;

const char* const kDrivingText = " ";
// CHANGE: [race-status-line] shown in the status line, the name kept
const char* const kCrashText = "kollision";
const char* const kWonText = "Ziel erreicht!";

}  // namespace

bool raceTick(Game& game, RaceState& race)
{
    if (game.speed <= 0) return false;
    const uint64_t rows = takeDueSteps(game.fallClock, game.host.timeGetTime(), game.speed, kRowCost);
    if (rows == 0) return false;
    // Every row the car passes is tested, so a late pass cannot jump it
    // through a wall; a long gap ends at the latest when the race does.
    for (uint64_t k = 0; k < rows && !raceOver(race); ++k) {
        advanceTrack(game, race);
        checkCollision(game, race);
    }
    return true;
}

bool carOverlaps(const Game& game)
{
    const PieceShape& car = game.shape();
    for (int32_t i = 0; i < car.height; ++i) {
        const int32_t r = game.pieceRow + i;
        if (r < 0 || r >= kRows) continue;
        for (int32_t j = 0; j < car.width; ++j) {
            const int32_t c = game.pieceColumn + j;
            if (car.cells[i][j] && c >= 0 && c < kColumns && game.board[r][c] != 0) return true;
        }
    }
    return false;
}

bool checkCollision(Game& game, RaceState& race)
{
    if (raceLost(race) || !carOverlaps(game)) return false;
    race.statusText = kCrashText;
    race.crashClock = game.host.timeGetTime();
    if (race.lives > 1) {
        startLevel(game, race, true);
    } else {
        race.lives = 0;  // the last life: the picture of the crash stays
    }
    return true;
}

bool raceStep(Game& game, RaceState& race)
{
    if (!game.playing) return false;
    if (raceOver(race)) {
        // The last picture stays a moment, then the high-score screen shows,
        // as after an abandoned game: a race enters no score.
        if (static_cast<uint32_t>(game.host.timeGetTime() - game.fallClock) >= kFinalFrameMs) {
            game.playing = false;
            game.host.gameOver();
        }
        return false;
    }

    const std::string before = race.statusText;
    bool changed = raceTick(game, race);
    // The car's own moves since the last pass can run it into a block too.
    if (checkCollision(game, race)) changed = true;

    const uint32_t now = game.host.timeGetTime();
    if (raceOver(race)) {
        game.resetFallClock();  // from here the clock times the last picture's stay
        if (!raceLost(race)) race.statusText = kWonText;
    } else if (race.statusText != kCrashText || now - race.crashClock >= kCrashNoticeMs) {
        race.statusText = kDrivingText;
    }

    if (race.statusText != before || race.racePoints != race.shownPoints || game.pieceRow != race.shownRow ||
        game.pieceColumn != race.shownColumn) {
        changed = true;
    }
    if (changed) {
        race.shownPoints = race.racePoints;
        race.shownRow = game.pieceRow;
        race.shownColumn = game.pieceColumn;
    }
    return changed;
}

uint32_t msUntilNextAdvance(const Game& game, const RaceState& race)
{
    const uint32_t now = game.host.timeGetTime();
    if (raceOver(race)) {
        const uint32_t elapsed = now - game.fallClock;
        return elapsed >= kFinalFrameMs ? 0 : kFinalFrameMs - elapsed;
    }
    if (game.speed <= 0) return kFinalFrameMs;  // nothing would ever advance
    return msUntilDueStep(game.fallClock, now, game.speed, kRowCost);
}
