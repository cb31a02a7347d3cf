// The whole program for a long stretch of fake time: games started, played
// with random keys and drops, paused, abandoned and lost; races; options
// clicked; every screen visited. Memory must stay flat between the first and
// the last ten minutes, and (in the leak-checking build) nothing may be left
// unfreed at the end.
//
//   KLOTZAR_SHELL_SOAK_MINUTES  fake minutes to play (default: 60, or 20 in the
//                               leak-checking build)
//   KLOTZAR_SHELL_SOAK_SEED     the random sequence (default: fixed)
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fault_play.h"

#ifndef KLOTZAR_SOAK_DEFAULT_MINUTES
#define KLOTZAR_SOAK_DEFAULT_MINUTES 60
#endif

#ifdef KLOTZAR_SOAK_LEAK_CHECK
// fontconfig keeps one parsed configuration entry unreferenced for the life of
// the process; the game's own code is held to freeing everything.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
#endif

namespace {

uint32_t envNumber(const char* name, uint32_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : fallback;
}

struct MemorySample {
    size_t heapInUse = 0;  // bytes handed out by malloc and not yet freed
    size_t resident = 0;   // bytes of the process in memory
};

// Fills both fonts' caches of rendered strings with the same 64 strings, so
// what the cache happened to hold (wide scores, short names) does not show
// as growth or shrinkage between samples.
void settleTextCaches(App& app)
{
    Surface scratch;
    scratch.width = 200;
    scratch.height = 40;
    scratch.pixels.assign(200 * 40, 0);
    for (size_t i = 0; i < Font::kCacheCapacity; ++i) {
        const std::string text = "soak " + std::to_string(i);
        app.font.DrawString(&scratch, 0, 0, text, 0xFFFFFF);
        app.smallFont.DrawString(&scratch, 0, 0, text, 0xFFFFFF);
    }
}

MemorySample sampleMemory(App& app)
{
    settleTextCaches(app);
    MemorySample sample;
#ifndef KLOTZAR_SOAK_LEAK_CHECK
    sample.heapInUse = mallinfo2().uordblks;
#endif
    std::ifstream statm("/proc/self/statm");
    size_t size = 0;
    size_t pages = 0;
    statm >> size >> pages;
    sample.resident = pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return sample;
}

// Plays at random until the fake clock has run `minutes`, sampling memory
// once per fake minute while on the title screen.
class Soak {
public:
    Soak(Driver& d, unsigned seed) : d_(d), app_(d.app()), random_(seed) {}

    void run(uint32_t minutes)
    {
        const uint32_t start = d_.now();
        const uint32_t end = start + minutes * 60000u;
        start_ = start;
        samples.resize(minutes);
        musicStarts.assign(minutes + 10, 0);
        d_.idle();
        while (d_.now() < end && !app_.quitPosted() && !::testing::Test::HasFatalFailure()) {
            samples[minuteNow()].push_back(sampleMemory(app_));
            const int pick = chance(100);
            if (pick < 40)
                playClassic();
            else if (pick < 52)
                playRace();
            else if (pick < 70)
                useOptions();
            else if (pick < 82)
                lookAtHighscores();
            else
                idleOnTitle();
            backToTitle();
        }
    }

    std::map<std::string, int> visits;
    std::vector<std::vector<MemorySample>> samples;  // by fake minute
    std::vector<int> musicStarts;                    // games started with the tune on, by fake minute

private:
    size_t minuteNow() const { return (d_.now() - start_) / 60000u; }
    int chance(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    uint32_t between(uint32_t low, uint32_t high) { return low + random_() % (high - low + 1); }

    void gameKeys()
    {
        // Ctrl is a third of the keys, so many games run to their end.
        const Key keys[] = {Key::Left,  Key::Right, Key::Space, Key::Up,  Key::Down,
                            Key::Other, Key::Ctrl,  Key::Ctrl,  Key::Ctrl};
        d_.press(keys[chance(9)]);
    }

    void startFromTitle()
    {
        if (app_.settings.Musik == 1) ++musicStarts[minuteNow()];
        if (chance(2) == 0) {
            while (app_.shell.menuSelection != 0) d_.key(Key::Down);
            d_.press(Key::Enter);
        } else {
            d_.move(400, 360);
            d_.click(400, 360);
        }
    }

    // One game: random keys, a pause now and then; lost, abandoned with Esc
    // or a right click, or played on until a few fake minutes have passed.
    void playClassic()
    {
        startFromTitle();
        if (!app_.game.playing) {
            ADD_FAILURE() << "no game started from the title";
            return;
        }
        ++visits["game"];
        const uint32_t giveUpAt = d_.now() + between(2000, 90000);
        while (app_.game.playing) {
            const int what = chance(100);
            if (what < 55) {
                gameKeys();
            } else if (what < 60) {
                d_.key(Key::Pause);
                ++visits["pause"];
                d_.advance(between(100, 30000));
                if (chance(4) == 0) break;  // abandoned while paused
                d_.key(Key::Pause);
            } else if (what < 62) {
                d_.move(static_cast<int32_t>(between(0, 799)), static_cast<int32_t>(between(0, 599)));
            }
            d_.advance(between(5, 400));
            if (d_.now() > giveUpAt) break;
        }
        if (app_.game.playing) {
            if (chance(2) == 0)
                d_.press(Key::Escape);
            else
                d_.rightClick(static_cast<int32_t>(between(0, 799)), static_cast<int32_t>(between(0, 599)));
            ++visits["abandoned"];
        } else {
            ++visits["game over"];
        }
        d_.idle();
        if (app_.shell.highscoreScreen) ++visits["high scores after a game"];
    }

    // A race, as a settings file with modus=3 starts one; driven with random
    // moves until it ends or is left.
    void playRace()
    {
        const int32_t modus = app_.settings.modus;
        app_.settings.modus = 3;
        startFromTitle();
        ++visits["race"];
        const uint32_t giveUpAt = d_.now() + between(5000, 400000);
        while (app_.game.playing && d_.now() < giveUpAt) {
            const Key keys[] = {Key::Up, Key::Down, Key::Left, Key::Right, Key::Space, Key::Ctrl};
            if (chance(3) == 0) d_.press(keys[chance(6)]);
            if (chance(200) == 0) {
                d_.key(Key::Pause);
                d_.advance(between(100, 30000));
                d_.key(Key::Pause);
            }
            d_.advance(between(20, 600));
        }
        if (app_.game.playing) {
            d_.press(Key::Escape);
        } else {
            ++visits["race end"];
        }
        d_.idle();
        app_.settings.modus = modus;
    }

    void useOptions()
    {
        if (chance(2) == 0) {
            d_.click(400, 440);
        } else {
            while (app_.shell.menuSelection != 2) d_.key(Key::Down);
            d_.press(Key::Enter);
        }
        d_.idle();
        if (!app_.shell.optionsScreen) {
            ADD_FAILURE() << "the options screen did not open";
            return;
        }
        ++visits["options"];
        const int32_t boxes[] = {240, 310, 380, 450, 520};
        for (int clicks = chance(6); clicks > 0; --clicks) {
            if (chance(5) == 0)
                d_.click(static_cast<int32_t>(between(0, 799)), static_cast<int32_t>(between(0, 599)));
            else
                d_.click(static_cast<int32_t>(between(500, 550)), boxes[chance(5)]);
            d_.idle();
            d_.advance(between(50, 2000));
        }
    }

    void lookAtHighscores()
    {
        if (chance(2) == 0) {
            d_.click(400, 405);
        } else {
            while (app_.shell.menuSelection != 1) d_.key(Key::Down);
            d_.press(Key::Enter);
        }
        d_.idle();
        if (app_.shell.highscoreScreen) ++visits["high scores"];
        d_.advance(between(100, 20000));
    }

    void idleOnTitle()
    {
        ++visits["title"];
        for (int moves = chance(20); moves > 0; --moves) {
            d_.move(static_cast<int32_t>(between(0, 799)), static_cast<int32_t>(between(0, 599)));
            d_.idle();
        }
        d_.key(Key::Down);
        d_.advance(between(1000, 180000));
    }

    // From wherever a scenario ended to the title, never past it.
    void backToTitle()
    {
        for (int tries = 0; tries < 5; ++tries) {
            if (!app_.game.playing && !app_.shell.highscoreScreen && !app_.shell.optionsScreen) break;
            if (chance(2) == 0)
                d_.key(Key::Escape);
            else
                d_.rightClick(10, 10);
        }
        // A game abandoned while paused leaves the paused flag set; the next
        // game clears it. Up is dead meanwhile, so menus are walked with Down.
        d_.idle();
    }

    Driver& d_;
    App& app_;
    std::mt19937 random_;
    uint32_t start_ = 0;
};

size_t largest(const std::vector<std::vector<MemorySample>>& minutes, size_t from, size_t to,
               size_t MemorySample::*field)
{
    size_t most = 0;
    for (size_t m = from; m < to && m < minutes.size(); ++m)
        for (const MemorySample& s : minutes[m]) most = std::max(most, s.*field);
    return most;
}

TEST(ShellSoak, LongPlayKeepsMemoryFlat)
{
    const uint32_t minutes = envNumber("KLOTZAR_SHELL_SOAK_MINUTES", KLOTZAR_SOAK_DEFAULT_MINUTES);
    const unsigned seed = envNumber("KLOTZAR_SHELL_SOAK_SEED", 20240611u);
    ASSERT_GE(minutes, 20u) << "the soak compares its first and last ten minutes";
    const auto started = std::chrono::steady_clock::now();

    Driver d(setupWith("[Optionen]\r\nmodus=1\r\nMusik=1\r\n"));
    Soak soak(d, seed);
    soak.run(minutes);
    ASSERT_FALSE(d.app().quitPosted()) << "the soak left the program";
    quitAndFinish(d);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %u fake minutes (seed %u) in %.1f s;", minutes, seed, seconds);
    for (const auto& visit : soak.visits) std::printf(" %s %d,", visit.first.c_str(), visit.second);
    std::printf("\n");
    for (const char* screen : {"game", "pause", "abandoned", "game over", "high scores after a game", "race",
                               "race end", "options", "high scores", "title"})
        EXPECT_GT(soak.visits[screen], 0) << "never: " << screen;

    std::string why;
    EXPECT_TRUE(isWholeList(d.readFile("Data/Highscore.zip"), why)) << why;
    EXPECT_TRUE(logEndsCleanly(d.readFile("log.txt")));

    // The first ten minutes settle every cache; the last ten may not exceed them
    // by more than noise.
    const auto& samples = soak.samples;
    const size_t lastFrom = samples.size() - 10;
    ASSERT_GT(largest(samples, 0, 10, &MemorySample::resident), 0u) << "no sample in the first ten minutes";
    ASSERT_GT(largest(samples, lastFrom, samples.size(), &MemorySample::resident), 0u)
        << "no sample in the last ten minutes";
    const size_t firstResident = largest(samples, 0, 10, &MemorySample::resident);
    const size_t lastResident = largest(samples, lastFrom, samples.size(), &MemorySample::resident);
    std::printf("resident memory: first ten minutes %zu KiB, last ten %zu KiB\n", firstResident / 1024,
                lastResident / 1024);
#ifndef KLOTZAR_SOAK_LEAK_CHECK
    // LeakSanitizer's allocator keeps its own caches, so only the plain build
    // holds resident memory and the heap to a bound.
    EXPECT_LE(lastResident, firstResident + (4u << 20)) << "resident memory grew";
    const size_t firstHeap = largest(samples, 0, 10, &MemorySample::heapInUse);
    const size_t lastHeap = largest(samples, lastFrom, samples.size(), &MemorySample::heapInUse);
    std::printf("heap in use: first ten minutes %zu KiB, last ten %zu KiB; by minute:", firstHeap / 1024,
                lastHeap / 1024);
    for (size_t m = 0; m < samples.size(); ++m)
        std::printf(" %zu", largest(samples, m, m + 1, &MemorySample::heapInUse) / 1024);
    std::printf("\n");
    // Each new FluidSynth player (one per game started with the tune on)
    // leaves about 2.9 KiB behind inside libinstpatch's GObject types, which
    // SDL_mixer 2.6.2 cannot free; anything beyond that is the game's.
    int starts = 0;
    for (int n : soak.musicStarts) starts += n;
    const size_t allowance = (32u << 10) + static_cast<size_t>(starts) * (4u << 10);
    std::printf("games started with the tune on: %d; allowed growth %zu KiB\n", starts, allowance / 1024);
    EXPECT_LE(lastHeap, firstHeap + allowance) << "the heap grew";
#endif
}

}  // namespace
