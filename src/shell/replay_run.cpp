#include "shell/replay_run.h"

#include <algorithm>
#include <cstdio>

#include "platform/events.h"
#include "replay/replay_files.h"

ReplayRun::ReplayRun(App& app, Recording recording) : app_(app), player_(std::move(recording)) {}

ReplayRun::~ReplayRun()
{
    if (app_.replaying == &player_) app_.replaying = nullptr;
}

void ReplayRun::start()
{
    app_.startReplayedGame(player_);
}

bool ReplayRun::step()
{
    if (player_.atEnd() || !player_.problem().empty()) return false;
    const ReplayItem& item = player_.next();
    switch (item.type) {
    case ReplayItem::Type::Input:
        if (app_.game.playing != 1) {
            player_.outOfStep("the game is over while the recording goes on");
            return false;
        }
        player_.skip();
        app_.handleEvent(item.event);
        break;
    case ReplayItem::Type::Clock: {
        const size_t before = player_.position();
        app_.idlePass();
        // A pass that reads no clock will never use up this reading.
        if (player_.position() == before) player_.outOfStep("the game stopped reading the clock");
        break;
    }
    case ReplayItem::Type::Wake:
        player_.skip();
        app_.afterBlockingWait();
        break;
    case ReplayItem::Type::Scores:
        player_.checkScores(app_.game);
        break;
    }
    return player_.problem().empty();
}

std::string ReplayRun::verdict() const
{
    std::string message = player_.problem();
    if (message.empty() && !player_.atEnd()) message = "stopped at line " + std::to_string(player_.lineOf(player_.position()));
    const std::string fields = outcomeDifferences(app_.gameOutcome(), player_.recording().outcome);
    if (!fields.empty()) message = fields + (message.empty() ? "" : "; went another way: " + message);
    return message;
}

namespace {

// The viewer's keys; false when the replay should end.
bool controlReplay(const InputEvent& event, double& pace, bool& paused)
{
    if (event.type == InputEvent::Type::Quit) return false;
    if (event.type != InputEvent::Type::KeyDown) return true;
    if (event.key == Key::Escape) return false;
    if (event.key == Key::Right) pace = std::min(pace * 2, 64.0);
    if (event.key == Key::Left) pace = std::max(pace / 2, 1.0 / 16);
    if (event.key == Key::Pause) paused = !paused;
    return true;
}

}  // namespace

int watchReplay(const std::string& path)
{
    std::string text, error;
    Recording recording;
    if (!readReplayFile(path, text, error) || !readRecording(text, recording, error)) {
        std::fprintf(stderr, "klotzar: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    AppSeams seams;
    seams.clock = TimeGetTime;
    const std::string name = recording.name;
    seams.askName = [name](std::string& typed) {
        typed = name;
        return true;
    };
    App app(std::move(seams));
    app.savesHighscores = false;
    if (!app.startUp()) {
        std::fprintf(stderr, "klotzar: no display found; set DISPLAY or WAYLAND_DISPLAY to a running desktop.\n");
        return 1;
    }
    ReplayRun run(app, std::move(recording));
    run.start();

    double pace = 1;
    bool paused = false;
    bool watching = true;
    double replayMs = 0;
    uint32_t lastWall = TimeGetTime();
    while (watching) {
        InputEvent event;
        while (watching && PollInputEvent(event)) watching = controlReplay(event, pace, paused);
        const uint32_t wall = TimeGetTime();
        if (!paused) replayMs += (wall - lastWall) * pace;
        lastWall = wall;
        while (watching && !run.done() && run.nextTime() <= replayMs) {
            if (!run.step()) break;
        }
        if (run.done() || !run.player().problem().empty()) break;
        const double ahead = (run.nextTime() - replayMs) / pace;
        const int32_t waitMs = paused ? 100 : static_cast<int32_t>(std::clamp(ahead, 1.0, 100.0));
        if (watching && WaitInputEvent(event, waitMs)) watching = controlReplay(event, pace, paused);
    }
    if (!watching) {
        std::fprintf(stderr, "klotzar: replay of %s ended before its end\n", path.c_str());
        return 0;
    }
    // The last picture stays a moment, at the replay's pace.
    const uint32_t holdUntil = TimeGetTime() + static_cast<uint32_t>(1000 / pace);
    InputEvent event;
    while (watching && static_cast<int32_t>(holdUntil - TimeGetTime()) > 0) {
        if (WaitInputEvent(event, static_cast<int32_t>(holdUntil - TimeGetTime()))) watching = controlReplay(event, pace, paused);
    }
    const std::string verdict = run.verdict();
    if (!verdict.empty()) {
        std::fprintf(stderr, "klotzar: replay of %s does not end as recorded: %s\n", path.c_str(), verdict.c_str());
        return 1;
    }
    std::fprintf(stderr, "klotzar: replay of %s ended as recorded\n", path.c_str());
    return 0;
}
