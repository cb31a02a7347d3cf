#pragma once
#include <cstdint>
#include <string>

#include "replay/recording.h"

// Collects one game as it is played: the shell tells it when the game starts,
// every input that reaches the shell, every clock reading the rules take and
// every wake from a wait; it keeps times relative to the game's start.
class GameRecorder {
public:
    void begin(uint32_t seed, const Settings& settings, const std::string& name, uint32_t now);
    bool active() const { return active_; }

    void clockRead(uint32_t now)
    {
        if (active_) add(ReplayItem::Type::Clock, now);
    }
    void wake(uint32_t now)
    {
        if (active_) add(ReplayItem::Type::Wake, now);
    }
    void input(const InputEvent& event, uint32_t now);
    // Adds the score values when they changed since the last note, so a
    // replay can say at which point they first went another way.
    void scores(const Game& game, uint32_t now);

    // The whole recording, with its end; the recorder is idle again.
    Recording finish(const ReplayOutcome& outcome);

private:
    ReplayItem& add(ReplayItem::Type type, uint32_t now);

    Recording recording_;
    bool active_ = false;
    uint32_t start_ = 0;
    uint32_t lastMs_ = 0;
    int32_t lastScores_[4] = {};
};
