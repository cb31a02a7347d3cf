// Checks that what the X server shows of the window is, pixel for pixel, the frame the game
// drew, as SDL's own nearest-neighbour stretch would show it on this screen,
// with black bars beside it: after every idle pass of a long scripted session
// (menus, games with turns, moves and drops, pause, game over) the window's
// picture is read back and compared. Presents that scale and copy only the
// changed rows are taken by SDL's software renderer, so run it in an X screen
// of any size, e.g.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" klotzar-present-check
//
// from a folder holding the Data folder. Exit 0 when every frame matched.

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sdl_handles.h"
#include "shell/app.h"
#include "x_window_reader.h"

namespace {

uint32_t fakeNow = 100000;

SDL_Renderer* gameRenderer()
{
    for (uint32_t id = 1; id < 16; ++id) {
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            if (SDL_Renderer* renderer = SDL_GetRenderer(window)) return renderer;
        }
    }
    return nullptr;
}

}  // namespace

int main()
{
    AppSeams seams;
    seams.clock = [] { return fakeNow; };
    seams.askName = [](std::string& name) {
        name = "Pruefer";
        return true;
    };
    App app(std::move(seams));
    if (!app.startUp()) {
        std::fprintf(stderr, "klotzar-present-check: no display\n");
        return 2;
    }
    SDL_Renderer* renderer = gameRenderer();
    // The window takes the whole screen only once the window manager has
    // resized it and the game has taken that event in (it then draws the
    // frame afresh); the screen is read at that size from the first check.
    SDL_DisplayMode desktop{};
    SDL_Window* window = renderer ? SDL_RenderGetWindow(renderer) : nullptr;
    const auto fillsScreen = [&] {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window, &w, &h);
        return w == desktop.w && h == desktop.h;
    };
    if (window && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        const uint32_t giveUp = SDL_GetTicks() + 30000;
        InputEvent event;
        while (!fillsScreen() && SDL_GetTicks() < giveUp) {
            if (WaitInputEvent(event, 50)) app.handleEvent(event);
        }
        while (PollInputEvent(event)) app.handleEvent(event);
    }
    SDL_RendererInfo info{};
    int width = 0;
    int height = 0;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0 ||
        SDL_GetRendererOutputSize(renderer, &width, &height) != 0) {
        std::fprintf(stderr, "klotzar-present-check: no renderer\n");
        return 2;
    }
    std::printf("renderer %s, screen %dx%d\n", info.name, width, height);

    // Where SDL itself puts the picture on this screen.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    SDL_RenderLogicalToWindow(renderer, 0, 0, &left, &top);
    SDL_RenderLogicalToWindow(renderer, kScreenWidth, kScreenHeight, &right, &bottom);
    std::printf("picture at %d,%d to %d,%d\n", left, top, right, bottom);
    SdlSurfacePtr expected(SDL_CreateRGBSurfaceWithFormat(0, right - left, bottom - top, 32, SDL_PIXELFORMAT_RGB888));
    std::vector<uint32_t> shown(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (!expected) return 2;

    int checks = 0;
    int fromServer = 0;  // checks that read the X server's picture
    int frames = 0;
    int bad = 0;
    uint64_t lastShown = 0;
    const auto check = [&] {
        const Surface* front = app.display.FrameOnShow();
        if (app.display.Flips() != lastShown) ++frames;
        lastShown = app.display.Flips();
        SdlSurfacePtr picture(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(front->pixels.data()),
                                                                 kScreenWidth, kScreenHeight, 32, kScreenWidth * 4,
                                                                 SDL_PIXELFORMAT_RGB888));
        SDL_SoftStretch(picture.get(), nullptr, expected.get(), nullptr);
        // The whole screen, bars included, as the X server shows it; else
        // as the renderer holds it (without the logical size).
        if (ReadWindowFromXServer(SDL_RenderGetWindow(renderer), width, height, shown)) {
            ++fromServer;
        } else {
            SDL_RenderSetLogicalSize(renderer, 0, 0);
            SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, shown.data(), width * 4);
            SDL_RenderSetLogicalSize(renderer, kScreenWidth, kScreenHeight);
        }
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inside = x >= left && x < right && y >= top && y < bottom;
                const uint32_t want =
                    inside ? static_cast<const uint32_t*>(
                                 expected->pixels)[static_cast<size_t>(y - top) * (expected->pitch / 4) + (x - left)]
                           : 0u;
                differing += (shown[static_cast<size_t>(y) * width + x] & 0xFFFFFFu) != (want & 0xFFFFFFu);
            }
        }
        ++checks;
        if (differing != 0) {
            ++bad;
            std::printf("pass %d: %d pixels differ\n", checks, differing);
        }
    };
    const auto key = [&](Key k) {
        InputEvent event;
        event.type = InputEvent::Type::KeyDown;
        event.key = k;
        app.handleEvent(event);
        app.idlePass();
        check();
    };

    app.idlePass();
    check();
    key(Key::Down);
    key(Key::Up);
    key(Key::Enter);
    // Until two games have ended (the high scores, the title and a new game
    // between them): every pass reads the whole screen back, which is slow
    // on a busy machine, so the session is no longer than that.
    int gameOvers = 0;
    for (int i = 0; i < 1500 && gameOvers < 2; ++i) {
        fakeNow += 17;
        InputEvent event;
        while (PollInputEvent(event)) app.handleEvent(event);
        app.idlePass();
        check();
        if (i % 7 == 0) key(Key::Space);
        if (i % 11 == 0) key(Key::Left);
        if (i % 13 == 0) key(Key::Right);
        if (i % 9 == 0) key(Key::Ctrl);  // drops fill the board to a game over soon
        if (!app.game.playing) {         // game over: high scores, title, a new game
            ++gameOvers;
            key(Key::Escape);
            key(Key::Up);
            key(Key::Enter);
        }
    }
    key(Key::Pause);
    fakeNow += 100;
    app.idlePass();
    check();
    key(Key::Pause);
    key(Key::Escape);
    key(Key::Down);
    key(Key::Enter);  // the options screen
    key(Key::Escape);

    std::printf(
        "%d passes (%d read from the X server, the others from the renderer), %d frames, %d game overs, %d differed\n",
        checks, fromServer, frames, gameOvers, bad);
    app.shutDown();
    if (gameOvers == 0) std::printf("no game ended: the high-score screen went unchecked\n");
    return bad == 0 && gameOvers > 0 ? 0 : 1;
}
