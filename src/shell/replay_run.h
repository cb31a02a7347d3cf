#pragma once
#include <string>

#include "replay/replay_player.h"
#include "shell/app.h"

// Plays a recording on an App that has started up: the recorded inputs go
// to handleEvent, the recorded clock readings are used up by the idle passes
// and wakes they came from, so the game takes exactly the recorded course.
class ReplayRun {
public:
    ReplayRun(App& app, Recording recording);
    ~ReplayRun();

    void start();
    // Plays the next item. False when the recording is used up or the game
    // went another way (then problem() says where).
    bool step();
    bool done() const { return player_.atEnd(); }
    uint32_t nextTime() const { return player_.next().ms; }
    size_t position() const { return player_.position(); }
    const ReplayPlayer& player() const { return player_; }

    // After the last step: "" when the game ended as recorded, else which
    // fields differ, and where it first went another way.
    std::string verdict() const;

private:
    App& app_;
    ReplayPlayer player_;
};

// klotzar --replay FILE: plays the file in the window at its own pace (Right
// doubles it, Left halves it, Pause pauses, Esc ends). Returns the exit
// status: 0 when the game ended as recorded (or was ended with Esc), 1 when
// the file is unreadable or the game went another way.
int watchReplay(const std::string& path);
