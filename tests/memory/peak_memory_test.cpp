// The program's peak resident memory through a whole scripted game: the
// title, a game played to its end, the high-score list, the options and the
// title again, all in this process with SDL's dummy video and audio.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "driver.h"

namespace {

// VmHWM of this process in KiB: the median of three runs of this test on
// Debian 12 (SDL 2.26, g++ 12, optimised build, December 2026). Update it when the game is
// meant to need more or less memory. With the dummy video the window's
// picture is plain memory of the same size, not the X server's shared memory,
// and no X libraries are loaded; the real game under X peaked at about the
// same figure then.
constexpr int64_t kMeasuredPeakKiB = 29184;

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS"); -1 when missing.
int64_t statusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") != 0) continue;
        std::istringstream values(line.substr(field.size() + 1));
        int64_t kib = -1;
        values >> kib;
        return kib;
    }
    return -1;
}

void report(const char* stage)
{
    std::printf("%-26s VmRSS %6lld KiB, VmHWM %6lld KiB\n", stage, static_cast<long long>(statusKiB("VmRSS")),
                static_cast<long long>(statusKiB("VmHWM")));
}

}  // namespace

TEST(PeakMemory, AWholeGameStaysWithinItsMeasuredPeak)
{
    ASSERT_GT(statusKiB("VmHWM"), 0) << "no VmHWM in /proc/self/status";
    // Music is off by default; without its file the sound bank is never
    // loaded, whatever the sound code does about loading it early.
    DriverSetup setup;
    setup.removed = {"Data/Fennwold_Neo_Remix.mid"};
    Driver d(setup);
    App& app = d.app();
    d.idle();
    ASSERT_FALSE(app.game.playing);
    report("title");

    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing) << "no game started";
    int drops = 0;
    while (app.game.playing && drops < 400) {
        d.press(Key::Ctrl);
        ++drops;
        d.advance(30);
    }
    ASSERT_FALSE(app.game.playing) << "still playing after " << drops << " drops";
    report("game over");
    d.advance(1000);
    ASSERT_TRUE(d.highscoreScreenShown()) << "the high-score list after the game";
    report("high-score list");

    d.key(Key::Escape);
    ASSERT_FALSE(app.shell.highscoreScreen);
    d.key(Key::Down);
    d.key(Key::Enter);
    ASSERT_TRUE(app.shell.optionsScreen) << "the options from the title";
    report("options");
    d.key(Key::Escape);
    ASSERT_FALSE(app.shell.optionsScreen);
    report("title again");

    const int64_t peak = statusKiB("VmHWM");
    ASSERT_GT(peak, 0);
    // Over 10 % more than measured means something new holds memory.
    EXPECT_LE(peak * 10, kMeasuredPeakKiB * 11)
        << "peak " << peak << " KiB against " << kMeasuredPeakKiB << " KiB measured";
    if (peak * 10 < kMeasuredPeakKiB * 8)
        std::printf("The peak is far below the figure measured: lower it, or the peak may grow unseen.\n");
}
