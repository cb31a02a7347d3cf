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

// The viewer's side of watching a replay at its own pace: the keys that set
// the pace, and how far the replay has got in its own time.
struct ReplayViewer {
    double pace = 1;      // Right doubles it, Left halves it
    bool paused = false;  // Pause
    double replayMs = 0;  // how far the replay has got, in recorded time
    uint32_t lastWall = 0;

    explicit ReplayViewer(uint32_t wallNow) : lastWall(wallNow) {}
    // A real input while watching; false when it ends the watching (Esc,
    // the window closed).
    bool control(const InputEvent& event);
    // Plays every item due by wallNow; returns how long to wait for the next
    // one, -1 when the replay is over (ended or went another way).
    int32_t play(ReplayRun& run, uint32_t wallNow);
};

// klotzar --replay FILE: plays the file in the window at its own pace (Right
// doubles it, Left halves it, Pause pauses, Esc ends). Returns the exit
// status: 0 when the game ended as recorded (or was ended with Esc), 1 when
// the file is unreadable or the game went another way.
int watchReplay(const std::string& path);
