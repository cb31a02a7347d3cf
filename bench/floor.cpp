// The floor under the game's processor use: the least an SDL program can do
// on the game's own way to the screen (the window's picture in plain memory,
// which SDL hands the X server through shared memory), and nothing else. One
// 96 x 101 block moves a pixel every frame at the game's frame rate at its
// start speed, on a full-screen window as the game opens it. Play costs are
// measured side by side with it (scripts/perf-series.sh).
//
//   klotzar-floor [--seconds S] [--fps N] [--window]
//
// Ends after S seconds (default: when the window is closed) and prints one line:
//   seconds=30.0 frames=1500 frames_per_s=50.0 cpu_pct=0.80

#include <SDL.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kBlockWidth = 96;
constexpr int kBlockHeight = 101;
constexpr Uint32 kBackground = 0x10205a;
constexpr Uint32 kBlock = 0xd8c020;

struct Options {
    double seconds = 0;  // 0: until the window is closed
    int framesPerSecond = 50;
    bool windowed = false;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
            options.seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--fps") == 0 && hasValue) {
            options.framesPerSecond = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--window") == 0) {
            options.windowed = true;
        } else {
            return false;
        }
    }
    return options.framesPerSecond > 0 && options.seconds >= 0;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void fillRect(SDL_Surface* surface, int x, int y, int w, int h, Uint32 rgb)
{
    const SDL_Rect rect{x, y, w, h};
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, rgb >> 16, (rgb >> 8) & 0xff, rgb & 0xff));
}

// The whole window painted afresh: at the start and whenever the window's
// picture was made anew (a new size) or uncovered.
void paintWhole(SDL_Window* window, int blockX, int blockY)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return;
    fillRect(surface, 0, 0, surface->w, surface->h, kBackground);
    fillRect(surface, blockX, blockY, kBlockWidth, kBlockHeight, kBlock);
    SDL_UpdateWindowSurface(window);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: klotzar-floor [--seconds S] [--fps N] [--window]\n");
        return 2;
    }
    // The window's picture stays in plain memory, as the game's does without a graphics card.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "klotzar-floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("Klotzar floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                                          options.windowed ? 0u : Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
    if (!window) {
        std::fprintf(stderr, "klotzar-floor: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }

    int x = 0;
    const int y = 100;
    paintWhole(window, x, y);
    const Uint64 frameMs = 1000 / static_cast<Uint64>(options.framesPerSecond);
    const Uint64 start = SDL_GetTicks64();
    const Uint64 end = start + static_cast<Uint64>(options.seconds * 1000);
    const double processorAtStart = processorSeconds();
    Uint64 nextFrame = start + frameMs;
    long frames = 0;
    bool running = true;
    while (running && (options.seconds == 0 || SDL_GetTicks64() < end)) {
        const Uint64 now = SDL_GetTicks64();
        SDL_Event event;
        if (now < nextFrame && SDL_WaitEventTimeout(&event, static_cast<int>(nextFrame - now))) {
            if (event.type == SDL_QUIT) running = false;
            const bool repaint = event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                                                   event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED);
            if (repaint) paintWhole(window, x, y);
            continue;
        }
        if (now < nextFrame) continue;
        nextFrame += frameMs;
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (!surface) break;
        const int width = surface->w - kBlockWidth;
        const int nextX = x + 1 > width ? 0 : x + 1;
        // Only the strip the block left and the block where it is now change.
        fillRect(surface, x, y, kBlockWidth, kBlockHeight, kBackground);
        fillRect(surface, nextX, y, kBlockWidth, kBlockHeight, kBlock);
        const SDL_Rect changed = nextX > x ? SDL_Rect{x, y, kBlockWidth + 1, kBlockHeight}
                                           : SDL_Rect{0, y, surface->w, kBlockHeight};
        SDL_UpdateWindowSurfaceRects(window, &changed, 1);
        x = nextX;
        ++frames;
    }
    const double seconds = static_cast<double>(SDL_GetTicks64() - start) / 1000.0;
    const double used = processorSeconds() - processorAtStart;
    std::printf("seconds=%.1f frames=%ld frames_per_s=%.1f cpu_pct=%.2f\n", seconds, frames,
                seconds > 0 ? frames / seconds : 0.0, seconds > 0 ? 100.0 * used / seconds : 0.0);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
