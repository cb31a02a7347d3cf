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
        if (!app_.game.playing) {
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
    case ReplayItem::Type::Scores: player_.checkScores(app_.game); break;
    }
    return player_.problem().empty();
}

std::string ReplayRun::verdict() const
{
    std::string message = player_.problem();
    if (message.empty() && !player_.atEnd())
        message = "stopped at line " + std::to_string(player_.lineOf(player_.position()));
    const std::string fields = outcomeDifferences(app_.gameOutcome(), player_.recording().outcome);
    if (!fields.empty()) message = fields + (message.empty() ? "" : "; went another way: " + message);
    return message;
}

bool ReplayViewer::control(const InputEvent& event)
{
    if (event.type == InputEvent::Type::Quit) return false;
    if (event.type != InputEvent::Type::KeyDown) return true;
    if (event.key == Key::Escape) return false;
    if (event.key == Key::Right) pace = std::min(pace * 2, 64.0);
    if (event.key == Key::Left) pace = std::max(pace / 2, 1.0 / 16);
    if (event.key == Key::Pause) paused = !paused;
    return true;
}

int32_t ReplayViewer::play(ReplayRun& run, uint32_t wallNow)
{
    if (!paused) replayMs += (wallNow - lastWall) * pace;
    lastWall = wallNow;
    while (!run.done() && run.nextTime() <= replayMs) {
        if (!run.step()) break;
    }
    if (run.done() || !run.player().problem().empty()) return -1;
    if (paused) return 100;
    return static_cast<int32_t>(std::clamp((run.nextTime() - replayMs) / pace, 1.0, 100.0));
}

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

    ReplayViewer viewer(TimeGetTime());
    bool watching = true;
    InputEvent event;
    while (watching) {
        while (watching && app.pollInput(event)) watching = viewer.control(event);
        const int32_t waitMs = watching ? viewer.play(run, TimeGetTime()) : -1;
        if (waitMs < 0) break;
        if (app.waitInput(event, waitMs)) watching = viewer.control(event);
    }
    if (!watching) {
        std::fprintf(stderr, "klotzar: replay of %s ended before its end\n", path.c_str());
        return 0;
    }
    // The last picture stays a moment, at the replay's pace.
    const uint32_t holdUntil = TimeGetTime() + static_cast<uint32_t>(1000 / viewer.pace);
    while (watching && static_cast<int32_t>(holdUntil - TimeGetTime()) > 0) {
        if (app.waitInput(event, static_cast<int32_t>(holdUntil - TimeGetTime()))) watching = viewer.control(event);
    }
    const std::string verdict = run.verdict();
    if (!verdict.empty()) {
        std::fprintf(stderr, "klotzar: replay of %s does not end as recorded: %s\n", path.c_str(), verdict.c_str());
        return 1;
    }
    std::fprintf(stderr, "klotzar: replay of %s ended as recorded\n", path.c_str());
    return 0;
}
