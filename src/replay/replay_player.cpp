#include "replay/replay_player.h"

uint32_t ReplayPlayer::answerClock()
{
    if (!atEnd() && next().type == ReplayItem::Type::Clock) {
        lastMs_ = next().ms;
        ++next_;
    } else {
        outOfStep("the game read the clock where the recording has none");
    }
    return lastMs_;
}

void ReplayPlayer::checkScores(const Game& game)
{
    const ReplayItem& item = next();
    const char* names[4] = {"points", "lines", "bonus", "speed"};
    const int32_t got[4] = {game.points, game.lines, game.bonus, game.speed};
    for (int i = 0; i < 4; ++i) {
        if (got[i] != item.values[i]) {
            outOfStep(std::string(names[i]) + " " + std::to_string(got[i]) + " instead of " +
                      std::to_string(item.values[i]));
            break;
        }
    }
    ++next_;
}

void ReplayPlayer::outOfStep(const std::string& what)
{
    if (!problem_.empty()) return;
    problem_ = what + ", first at line " + std::to_string(lineOf(next_)) + " (" + std::to_string(lastMs_) + " ms)";
}
