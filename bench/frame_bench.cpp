// What one picture costs: the game screen, the menu screens and their parts,
// drawn by the real program, next to the cost of merely copying one 800 x 600
// frame.
//
//   klotzar-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// Without a display it uses SDL's dummy video driver, whose screen is
// 1024 x 768: every present scales the whole picture but never waits for a
// screen. Under X (KLOTZAR_BENCH_X11=1, e.g. in an 800 x 600 Xvfb screen) it
// opens the real window, where the picture is shown 1:1 and presents copy
// only the rows that changed.
//
// The Play* cases run the real idle passes for 30 s of a fake clock and report
// how much of one core that play would take in real time.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "busy_game.h"
#include "driver.h"
#include "platform/surface.h"
#include "screens/game_screen.h"

namespace {

constexpr size_t kFramePixels = 800 * 600;

// One program for every case: starting it takes longer than all the frames.
Driver& program()
{
    static std::unique_ptr<Driver> driver;
    if (!driver) {
        const char* display = std::getenv("DISPLAY");
        const std::string xDisplay = display ? display : "";
        const char* useX = std::getenv("KLOTZAR_BENCH_X11");
        DriverSetup setup;
        setup.name = "Benchmarker";
        setup.start = false;
        driver = std::make_unique<Driver>(setup);  // goes headless
        if (useX && std::string(useX) == "1" && !xDisplay.empty()) {
            setenv("DISPLAY", xDisplay.c_str(), 1);
            unsetenv("SDL_VIDEODRIVER");
        }
        if (!driver->startUp()) std::fprintf(stderr, "klotzar-bench: no display\n");
    }
    return *driver;
}

// The clock the game reads; the Play cases move it themselves.
uint32_t fakeNow = 100000;

App& freshApp()
{
    App& app = program().app();
    app.seams.clock = [] { return fakeNow; };
    return app;
}

void showMenuScreen(App& app, int highscores, int options)
{
    app.game.playing = 0;
    app.shell = ShellState{};
    app.shell.highscoreScreen = highscores;
    app.shell.optionsScreen = options;
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// ---------------------------------------------------------------- floors ---

void BM_MemcpyFrame(benchmark::State& state)
{
    std::vector<uint32_t> from(kFramePixels, 0x123456u);
    std::vector<uint32_t> to(kFramePixels, 0u);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kFramePixels * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFramePixels * 4));
}
BENCHMARK(BM_MemcpyFrame);

// ----------------------------------------------------------------- parts ---

void BM_ClearBackBuffer(benchmark::State& state)
{
    App& app = freshApp();
    for (auto _ : state) {
        app.display.ClearBackBuffer(0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearBackBuffer);

// The play surface onto the back buffer: the keyed copy of a whole frame.
void BM_KeyedCopyFrame(benchmark::State& state)
{
    App& app = freshApp();
    for (auto _ : state) {
        BltFast(app.display.GetBackBuffer(), 0, 0, app.pictures.playSurface.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyedCopyFrame);

// Showing a back buffer that differs from the frame on show in its first and
// last row, so that the whole picture goes through: texture upload, scaling
// (if any) and present.
void BM_FlipWholeFrame(benchmark::State& state)
{
    App& app = freshApp();
    uint32_t mark = 0;
    for (auto _ : state) {
        Surface* back = app.display.GetBackBuffer();
        ++mark;
        back->row(0)[0] = mark & 0xFFFFFF;
        back->row(back->height - 1)[0] = mark & 0xFFFFFF;
        app.display.Flip();
    }
}
BENCHMARK(BM_FlipWholeFrame);

// The side panel drawn, as it is when one of its values changed: restored
// from the background, four texts written.
void BM_SidePanel(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        forgetShownFrame(app.screen);
        drawSidePanel(app.game, app.screen);
    }
}
BENCHMARK(BM_SidePanel);

// The game screen composed on the play surface, before presentFrame, after
// the piece moved one pixel: only where it was is drawn again.
void BM_GameCompose(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        movePieceOnePixel(app);
        composeFrame(app.game, app.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameCompose);

// The same composed whole, as after a lock: playfield, side panel, previews.
void BM_GameComposeWhole(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        forgetShownFrame(app.screen);
        composeFrame(app.game, app.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameComposeWhole);

// ---------------------------------------------------------- whole frames ---

// A frame of a running game in which the piece moved one pixel, as gravity
// moves it between two frames.
void BM_GameFrame(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        movePieceOnePixel(app);
        drawFrame(app.game, app.screen);
    }
}
BENCHMARK(BM_GameFrame);

// A frame that draws the whole game screen again, as after a lock, with its
// present: most of its rows come out as they were.
void BM_GameFrameWhole(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        movePieceOnePixel(app);
        forgetShownFrame(app.screen);
        drawFrame(app.game, app.screen);
    }
}
BENCHMARK(BM_GameFrameWhole);

// A fixed number of game frames, for instruction counts that repeat exactly:
//   valgrind --tool=callgrind --toggle-collect='drawFrame*'
//       klotzar-bench --benchmark_filter='BM_GameFrames/301'
// and the same with 101; the difference over 200 is one frame.
void BM_GameFrames(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    for (auto _ : state) {
        for (int64_t i = 0; i < state.range(0); ++i) {
            movePieceOnePixel(app);
            drawFrame(app.game, app.screen);
        }
    }
}
BENCHMARK(BM_GameFrames)->Arg(101)->Arg(301)->Iterations(1);

void BM_TitleScreen(benchmark::State& state)
{
    App& app = freshApp();
    showMenuScreen(app, 0, 0);
    for (auto _ : state) app.paintMenuScreen();
}
BENCHMARK(BM_TitleScreen);

void BM_HighscoreScreen(benchmark::State& state)
{
    App& app = freshApp();
    showMenuScreen(app, 1, 0);
    for (auto _ : state) app.paintMenuScreen();
}
BENCHMARK(BM_HighscoreScreen);

void BM_OptionsScreen(benchmark::State& state)
{
    App& app = freshApp();
    showMenuScreen(app, 0, 1);
    for (auto _ : state) app.paintMenuScreen();
}
BENCHMARK(BM_OptionsScreen);

// --------------------------------------------------------- 30 s of play ---

// Runs the main loop's idle passes for 30 s of the fake clock at a fixed
// start speed, waiting what each pass asks for. A game that ends is started
// again at the same speed, as a player would.
void BM_Play30s(benchmark::State& state)
{
    const int32_t speed = static_cast<int32_t>(state.range(0));
    constexpr uint32_t kPlayMs = 30000;
    App& app = freshApp();
    int64_t frames = 0;
    int64_t games = 0;
    double cpu = 0;
    for (auto _ : state) {
        startBusyGame(app);
        app.game.speed = speed;
        app.game.resetFallClock();
        ++games;
        const double cpuStart = processCpuSeconds();
        const uint32_t end = fakeNow + kPlayMs;
        int zeroWaits = 0;
        while (static_cast<int32_t>(end - fakeNow) > 0) {
            const uint64_t shown = app.display.Flips();
            const IdleWait wait = app.idlePass();
            if (app.display.Flips() != shown) ++frames;
            if (!app.game.playing) {
                app.shell = ShellState{};
                app.handleEvent(InputEvent{InputEvent::Type::KeyDown, Key::Enter});
                app.game.speed = speed;
                ++games;
                continue;
            }
            if (wait.forever) break;
            if (wait.timeoutMs > 0) {
                fakeNow += static_cast<uint32_t>(
                    std::min<int32_t>(wait.timeoutMs, static_cast<int32_t>(end - fakeNow)));
                zeroWaits = 0;
            } else if (++zeroWaits > 100) {
                state.SkipWithError("the loop runs idle passes without waiting");
                break;
            }
        }
        cpu += processCpuSeconds() - cpuStart;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = static_cast<double>(frames) / iterations / (kPlayMs / 1000.0);
    state.counters["games"] = static_cast<double>(games) / iterations;
    state.counters["cpu_pct_of_core"] = 100.0 * cpu / iterations / (kPlayMs / 1000.0);
}
BENCHMARK(BM_Play30s)->Arg(50)->Arg(300)->Iterations(1)->Unit(benchmark::kMillisecond);

// The rules alone at speed 300: one gravity catch-up per elapsed millisecond,
// the pass a loop that never sleeps makes most often.
void BM_TickEveryMs(benchmark::State& state)
{
    App& app = freshApp();
    startBusyGame(app);
    app.game.speed = 300;
    app.game.resetFallClock();
    for (auto _ : state) {
        ++fakeNow;
        benchmark::DoNotOptimize(app.game.tick());
        if (!app.game.playing) {
            state.PauseTiming();
            startBusyGame(app);
            app.game.speed = 300;
            app.game.resetFallClock();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TickEveryMs);

}  // namespace

BENCHMARK_MAIN();
