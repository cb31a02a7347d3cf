// Draws a fixed number of game frames of the busy game, headless, for
// instruction counts that repeat exactly on any machine:
//
//   valgrind --tool=callgrind --toggle-collect='drawFrame*' klotzar-frame-instructions 60
//
// and the same with 20; the difference over 40 is one frame, without the
// first frame, which draws the whole screen.
#include <cstdio>
#include <cstdlib>

#include "busy_game.h"
#include "driver.h"
#include "screens/game_screen.h"

int main(int argc, char** argv)
{
    const long frames = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: klotzar-frame-instructions FRAMES\n");
        return 2;
    }
    DriverSetup setup;
    setup.name = "Benchmarker";
    Driver driver(setup);
    App& app = driver.app();
    startBusyGame(app);
    for (long i = 0; i < frames; ++i) {
        movePieceOnePixel(app);
        drawFrame(app.game, app.screen);
    }
    std::printf("frames=%ld\n", frames);
    return 0;
}
