// Plays the real program in real time at a chosen start speed and reports how
// much processor time the play took: the same window, clock, events, idle
// passes and waits as the game itself, without the name prompt. Run it from a
// folder holding the Data folder, under a display (Xvfb) or SDL's dummy video.
//
//   klotzar-play-loop [--speed N] [--seconds S] [MODE]
//
// MODE is one of
//   (none)           the game's own loop
//   --spin           a loop that never sleeps while a game runs: it polls,
//                    runs the gravity catch-up and draws whenever gravity
//                    advanced; what sleeping between steps saves
//   --rules-only     the same spinning loop without drawing: the rules and
//                    the event queue alone
//   --tick-only      the game's pacing (wake for each step, at most one frame
//                    per 16 ms), but nothing is drawn: the cost of waking up
//   --compose-only   the game's pacing, composing the game screen on the play
//                    surface but never copying it to the back buffer or
//                    presenting it: the cost of composing
//
// A game that ends is started again at the same speed. Prints one line:
//   speed=300 mode=sleeping seconds=30.0 cpu_pct=2.10 frames_per_s=59.8 passes_per_s=61 games=3

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/events.h"
#include "screens/game_screen.h"
#include "shell/app.h"

namespace {

enum class Mode { Sleeping, Spinning, RulesOnly, TickOnly, ComposeOnly };

struct Options {
    int32_t speed = 300;
    double seconds = 30.0;
    Mode mode = Mode::Sleeping;
};

const char* modeName(Mode mode)
{
    switch (mode) {
    case Mode::Sleeping: return "sleeping";
    case Mode::Spinning: return "spinning";
    case Mode::RulesOnly: return "rules-only";
    case Mode::TickOnly: return "tick-only";
    case Mode::ComposeOnly: return "compose-only";
    }
    return "?";
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--speed" && i + 1 < argc) {
            options.speed = std::atoi(argv[++i]);
        } else if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::atof(argv[++i]);
        } else if (arg == "--spin") {
            options.mode = Mode::Spinning;
        } else if (arg == "--rules-only") {
            options.mode = Mode::RulesOnly;
        } else if (arg == "--tick-only") {
            options.mode = Mode::TickOnly;
        } else if (arg == "--compose-only") {
            options.mode = Mode::ComposeOnly;
        } else {
            return false;
        }
    }
    return options.speed > 0 && options.seconds > 0;
}

double wallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// User plus system time of every thread of the process (SDL's included).
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void startGame(App& app, int32_t speed)
{
    app.shell = ShellState{};
    InputEvent enter;
    enter.type = InputEvent::Type::KeyDown;
    enter.key = Key::Enter;
    app.handleEvent(enter);
    app.game.speed = speed;
    app.game.resetFallClock();
}

// One pass of a loop that never sleeps while a game runs: poll, run the
// gravity catch-up, draw when it advanced (unless told not to).
void spinningPass(App& app, bool draw)
{
    InputEvent event;
    if (app.pollInput(event)) {
        app.handleEvent(event);
        return;
    }
    if (!app.game.playing) app.paintMenuScreen();
    if (!app.game.paused && app.game.playing && app.settings.modus != 3) {
        if (app.game.tick() == 1 && draw) drawFrame(app.game, app.screen);
    } else {
        const bool got = app.waitInput(event, -1);
        app.afterBlockingWait();
        if (got) app.handleEvent(event);
    }
}

// The game's pacing with part of the drawing: wake when a step is due (at
// most one frame per 16 ms), catch up, and compose the screen or not.
// Returns whether a frame was composed.
bool pacedPass(App& app, bool compose, double& lastFrame)
{
    InputEvent event;
    if (app.pollInput(event)) {
        app.handleEvent(event);
        return false;
    }
    bool composed = false;
    if (app.game.tick() == 1) {
        if (compose) composeFrame(app.game, app.screen);
        composed = true;
        lastFrame = wallSeconds();
    }
    const int32_t sinceFrame = static_cast<int32_t>((wallSeconds() - lastFrame) * 1000.0);
    const int32_t wait = std::max(app.game.msUntilNextStep(), std::max(0, 16 - sinceFrame));
    if (wait > 0 && app.waitInput(event, wait)) app.handleEvent(event);
    return composed && compose;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: klotzar-play-loop [--speed N] [--seconds S] "
                             "[--spin | --rules-only | --tick-only | --compose-only]\n");
        return 2;
    }

    AppSeams seams;
    seams.clock = TimeGetTime;
    seams.askName = [](std::string& name) {
        name = "Messung";
        return true;
    };
    App app(std::move(seams));
    if (!app.startUp()) {
        std::fprintf(stderr, "klotzar-play-loop: no display\n");
        return 1;
    }
    app.paintMenuScreen();
    startGame(app, options.speed);

    long frames = 0;
    long passes = 0;
    long games = 1;
    double lastFrame = wallSeconds();
    const double wallStart = wallSeconds();
    const double cpuStart = cpuSeconds();
    while (!app.quitPosted() && wallSeconds() - wallStart < options.seconds) {
        const uint64_t shown = app.display.Flips();
        switch (options.mode) {
        case Mode::Sleeping: app.runPass(); break;
        case Mode::Spinning: spinningPass(app, true); break;
        case Mode::RulesOnly: spinningPass(app, false); break;
        case Mode::TickOnly: pacedPass(app, false, lastFrame); break;
        case Mode::ComposeOnly:
            if (pacedPass(app, true, lastFrame)) ++frames;
            break;
        }
        ++passes;
        if (app.display.Flips() != shown) ++frames;
        if (!app.game.playing) {
            startGame(app, options.speed);
            ++games;
        }
    }
    const double wall = wallSeconds() - wallStart;
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("speed=%d mode=%s seconds=%.1f cpu_pct=%.2f frames_per_s=%.1f passes_per_s=%.0f games=%ld\n",
                options.speed, modeName(options.mode), wall, 100.0 * cpu / wall, static_cast<double>(frames) / wall,
                static_cast<double>(passes) / wall, games);
    app.shutDown();
    return 0;
}
