#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "replay/recording.h"

// Walks through a recording for whoever drives the game: hands out the items
// in order, answers the rules' clock from the recorded readings, and notes
// the first place where the game went another way than the recording.
class ReplayPlayer {
public:
    explicit ReplayPlayer(Recording recording) : recording_(std::move(recording)) {}

    const Recording& recording() const { return recording_; }
    bool atEnd() const { return next_ >= recording_.items.size(); }
    const ReplayItem& next() const { return recording_.items[next_]; }
    void skip() { ++next_; }
    size_t position() const { return next_; }
    // The item's line in the file (the header takes four).
    size_t lineOf(size_t item) const { return item + 5; }

    // The rules read the clock: the recorded reading, when one is next.
    uint32_t answerClock();

    // The score values the game has now, against a recorded note that is next.
    void checkScores(const Game& game);

    // The first divergence, "" while the game follows the recording.
    const std::string& problem() const { return problem_; }
    void outOfStep(const std::string& what);

private:
    Recording recording_;
    size_t next_ = 0;
    uint32_t lastMs_ = 0;
    std::string problem_;
};
