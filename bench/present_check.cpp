// Checks that what the window shows is, pixel for pixel, the frame the game
// drew: after every idle pass of a long scripted session (menus, games with
// turns, moves and drops, pause, game over), the window's picture is read
// back and compared with the front buffer. Presents that copy only changed
// rows are taken when the picture is shown 1:1 by SDL's software renderer, so
// run it in an 800 x 600 X screen:
//
//   xvfb-run -a -s "-screen 0 800x600x24" klotzar-present-check
//
// from a folder holding the Data folder. Exit 0 when every frame matched.

#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/events.h"
#include "shell/app.h"

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
    SDL_RendererInfo info{};
    int width = 0;
    int height = 0;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0 ||
        SDL_GetRendererOutputSize(renderer, &width, &height) != 0) {
        std::fprintf(stderr, "klotzar-present-check: no renderer\n");
        return 2;
    }
    std::printf("renderer %s, output %dx%d%s\n", info.name, width, height,
                width == kScreenWidth && height == kScreenHeight ? "" : " (not 1:1: only full presents are checked)");
    if (width != kScreenWidth || height != kScreenHeight) return 2;

    std::vector<uint32_t> shown(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    int checks = 0;
    int frames = 0;
    int bad = 0;
    const uint32_t* lastFront = nullptr;
    const auto check = [&] {
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, shown.data(), kScreenWidth * 4);
        const Surface* front = app.display.FrontBuffer();
        if (front->pixels.data() != lastFront) ++frames;
        lastFront = front->pixels.data();
        int differing = 0;
        for (size_t i = 0; i < shown.size(); ++i) differing += (shown[i] & 0xFFFFFFu) != (front->pixels[i] & 0xFFFFFFu);
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
    for (int i = 0; i < 1500; ++i) {
        fakeNow += 17;
        InputEvent event;
        while (PollInputEvent(event)) app.handleEvent(event);
        app.idlePass();
        check();
        if (i % 7 == 0) key(Key::Space);
        if (i % 11 == 0) key(Key::Left);
        if (i % 13 == 0) key(Key::Right);
        if (i % 90 == 0) key(Key::Ctrl);
        if (app.game.playing == 0) {  // game over: high scores, title, a new game
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

    std::printf("%d passes, %d frames, %d differed\n", checks, frames, bad);
    app.shutDown();
    return bad == 0 ? 0 : 1;
}
