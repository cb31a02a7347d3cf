#include <cstdint>

#include "game/game.h"
#include "race/race.h"

namespace {

// At `speed` km/h the track moves one row per 5000 / speed milliseconds.
constexpr uint64_t kRowCost = 5000;

const char* const kDrivingText = " ";
// CHANGE: [race-status-line] shown in the status line, the name kept
const char* const kCrashText = "kollision";
const char* const kWonText = "Ziel erreicht!";

}  // namespace

int32_t raceTick(Game& game, RaceState& state)
{
    if (game.speed <= 0) return 0;
    const uint32_t now = game.host.timeGetTime();
    // Unsigned elapsed time survives the clock wrapping, and the 64-bit
    // product cannot overflow however long the gap.
    const uint64_t elapsed = static_cast<uint32_t>(now - game.fallClock);
    const uint64_t u = elapsed * static_cast<uint64_t>(game.speed);
    const uint64_t n = u / kRowCost;
    if (n == 0) return 0;
    // Carry the part of the time that did not yet pay for a whole row.
    game.fallClock = now - static_cast<uint32_t>((u % kRowCost) / static_cast<uint64_t>(game.speed));
    // Every row the car passes is tested, so a late pass cannot jump it
    // through a wall; a long gap ends at the latest when the race does.
    for (uint64_t k = 0; k < n && !raceOver(game); ++k) {
        advanceTrack(game);
        checkCollision(game, state);
    }
    return 1;
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

int32_t checkCollision(Game& game, RaceState& state)
{
    if (raceLost(game) || !carOverlaps(game)) return 0;
    state.statusText = kCrashText;
    state.crashClock = game.host.timeGetTime();
    if (game.lives > 1) {
        startLevel(game, true);
    } else {
        game.lives = 0;  // the last life: the picture of the crash stays
    }
    return 1;
}

int32_t raceStep(Game& game, RaceState& state)
{
    if (game.playing != 1) return 0;
    if (raceOver(game)) {
        // The last picture stays a moment, then the high-score screen shows,
        // as after an abandoned game: a race enters no score.
        if (static_cast<uint32_t>(game.host.timeGetTime() - game.fallClock) >= kFinalFrameMs) {
            game.playing = 0;
            game.shell.menuSelection = 1;
            game.shell.highscoreScreen = 1;
        }
        return 0;
    }

    const std::string before = state.statusText;
    int32_t changed = raceTick(game, state);
    // The car's own moves since the last pass can run it into a block too.
    if (checkCollision(game, state) == 1) changed = 1;

    const uint32_t now = game.host.timeGetTime();
    if (raceOver(game)) {
        game.resetFallClock();  // from here the clock times the last picture's stay
        if (!raceLost(game)) state.statusText = kWonText;
    } else if (state.statusText != kCrashText || now - state.crashClock >= kCrashNoticeMs) {
        state.statusText = kDrivingText;
    }

    if (state.statusText != before || game.racePoints != state.shownPoints || game.pieceRow != state.shownRow ||
        game.pieceColumn != state.shownColumn) {
        changed = 1;
    }
    if (changed == 1) {
        state.shownPoints = game.racePoints;
        state.shownRow = game.pieceRow;
        state.shownColumn = game.pieceColumn;
    }
    return changed;
}

uint32_t msUntilNextAdvance(const Game& game)
{
    const uint32_t elapsed = game.host.timeGetTime() - game.fallClock;
    if (raceOver(game)) return elapsed >= kFinalFrameMs ? 0 : kFinalFrameMs - elapsed;
    if (game.speed <= 0) return kFinalFrameMs;  // nothing would ever advance
    const uint64_t speed = static_cast<uint64_t>(game.speed);
    const uint64_t due = (kRowCost + speed - 1) / speed;  // the first whole ms that pays for a row
    return elapsed >= due ? 0 : static_cast<uint32_t>(due - elapsed);
}
