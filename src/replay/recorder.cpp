#include "replay/recorder.h"

#include <utility>

void GameRecorder::begin(uint32_t seed, const Settings& settings, const std::string& name, uint32_t now)
{
    recording_ = Recording{};
    recording_.seed = seed;
    recording_.settings = settings;
    recording_.name = name;
    recording_.items.reserve(4096);
    active_ = true;
    start_ = now;
    lastMs_ = 0;
    for (int32_t& v : lastScores_) v = -1;
}

ReplayItem& GameRecorder::add(ReplayItem::Type type, uint32_t now)
{
    // The clock never runs backwards within a game; should it ever, the file
    // still reads back.
    const uint32_t ms = now - start_;
    if (ms > lastMs_ && ms < 0x80000000u) lastMs_ = ms;
    recording_.items.push_back(ReplayItem{});
    ReplayItem& item = recording_.items.back();
    item.type = type;
    item.ms = lastMs_;
    return item;
}

void GameRecorder::input(const InputEvent& event, uint32_t now)
{
    if (!active_ || event.type == InputEvent::Type::None) return;
    add(ReplayItem::Type::Input, now).event = event;
}

void GameRecorder::scores(const Game& game, uint32_t now)
{
    if (!active_) return;
    const int32_t values[4] = {game.points, game.lines, game.bonus, game.speed};
    bool changed = false;
    for (int i = 0; i < 4; ++i) changed = changed || values[i] != lastScores_[i];
    if (!changed) return;
    ReplayItem& item = add(ReplayItem::Type::Scores, now);
    for (int i = 0; i < 4; ++i) item.values[i] = lastScores_[i] = values[i];
}

Recording GameRecorder::finish(const ReplayOutcome& outcome)
{
    active_ = false;
    recording_.outcome = outcome;
    Recording done = std::move(recording_);
    recording_ = Recording{};
    return done;
}
