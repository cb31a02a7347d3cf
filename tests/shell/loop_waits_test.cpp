// How the main loop waits: on a menu screen and in a paused game it blocks in
// one wait until something happens; in a running game every pass is one idle
// pass and one timed wait, with no look at the queue before it; and the
// status line is drawn again only when it must be. The loop runs here
// exactly as run() runs it, with an event source that counts the calls and
// moves the fake clock by what each wait would have slept.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "driver.h"

namespace {

struct CountingSource {
    Driver& d;
    uint32_t endAt = 0;
    std::deque<std::pair<uint32_t, InputEvent>> timed;  // events due at a time
    int polls = 0;
    int timedWaits = 0;
    int blockingWaits = 0;

    explicit CountingSource(Driver& driver) : d(driver)
    {
        App& app = d.app();
        app.seams.pollEvent = [this](InputEvent& e) {
            ++polls;
            return takeDue(e);
        };
        app.seams.waitEvent = [this](InputEvent& e, int32_t timeoutMs) { return wait(e, timeoutMs); };
    }
    ~CountingSource()
    {
        d.app().seams.pollEvent = nullptr;
        d.app().seams.waitEvent = nullptr;
    }

    bool takeDue(InputEvent& e)
    {
        if (timed.empty() || timed.front().first > d.now()) return false;
        e = timed.front().second;
        timed.pop_front();
        return true;
    }

    // Sleeps until the timeout, the next queued event or the end of the run.
    bool wait(InputEvent& e, int32_t timeoutMs)
    {
        if (takeDue(e)) return true;
        if (timeoutMs < 0)
            ++blockingWaits;
        else
            ++timedWaits;
        uint32_t until = timeoutMs < 0 ? endAt : d.now() + static_cast<uint32_t>(timeoutMs);
        if (!timed.empty() && timed.front().first < until) until = timed.front().first;
        if (until > endAt) until = endAt;
        if (until > d.now()) d.passTime(until - d.now());
        return takeDue(e);
    }

    // Runs the loop for ms of the fake clock.
    void run(uint32_t ms)
    {
        endAt = d.now() + ms;
        int passes = 0;
        while (d.now() < endAt && !d.app().quitPosted() && ++passes < 100000) d.app().runPass();
        EXPECT_LT(passes, 100000) << "the loop ran without letting time pass";
    }
    void reset() { polls = timedWaits = blockingWaits = 0; }
};

InputEvent keyDown(Key key)
{
    InputEvent event;
    event.type = InputEvent::Type::KeyDown;
    event.key = key;
    return event;
}

TEST(LoopWaits, MenuScreensAndAPausedGameSleepInOneWait)
{
    Driver d;
    App& app = d.app();
    CountingSource source(d);

    source.run(10000);
    EXPECT_EQ(source.blockingWaits, 1) << "the title screen";
    EXPECT_EQ(source.timedWaits, 0) << "the title screen";
    EXPECT_LE(source.polls, 1) << "the title screen";

    // The high-score screen, then the options screen, reached by keys that
    // wake the wait.
    const std::vector<std::vector<Key>> ways = {{Key::Down, Key::Enter}, {Key::Escape, Key::Down, Key::Enter}};
    for (const std::vector<Key>& keys : ways) {
        uint32_t at = d.now();
        for (const Key key : keys) source.timed.push_back({at += 10, keyDown(key)});
        source.run(100);
        source.reset();
        source.run(10000);
        const std::string screen = app.shell.highscoreScreen ? "high scores"
                                   : app.shell.optionsScreen ? "options"
                                                             : "?";
        EXPECT_EQ(source.blockingWaits, 1) << screen;
        EXPECT_EQ(source.timedWaits, 0) << screen;
    }
    EXPECT_TRUE(app.shell.optionsScreen);

    // A game, paused after a second of play.
    Driver game;
    CountingSource play(game);
    play.timed.push_back({game.now() + 10, keyDown(Key::Enter)});
    play.timed.push_back({game.now() + 1000, keyDown(Key::Pause)});
    play.run(1500);
    ASSERT_TRUE(game.app().game.playing);
    ASSERT_TRUE(game.app().game.paused);
    play.reset();
    play.run(10000);
    EXPECT_EQ(play.blockingWaits, 1) << "a paused game";
    EXPECT_EQ(play.timedWaits, 0) << "a paused game";
}

TEST(LoopWaits, ARunningGameWaitsOncePerPassAndRedrawsTheStatusLineOnlyWhenItMust)
{
    Driver d;
    App& app = d.app();
    CountingSource source(d);
    int statusDraws = 0;
    const auto drawLine = app.screen.drawStatusLine;
    app.screen.drawStatusLine = [&statusDraws, drawLine](Surface* back) {
        ++statusDraws;
        drawLine(back);
    };

    source.timed.push_back({d.now() + 10, keyDown(Key::Enter)});
    source.run(100);
    ASSERT_TRUE(app.game.playing);
    source.reset();
    statusDraws = 0;
    const uint64_t shownBefore = app.display.Flips();
    source.run(5000);
    const uint64_t frames = app.display.Flips() - shownBefore;

    ASSERT_TRUE(app.game.playing) << "the game must still run for the counts to mean anything";
    EXPECT_GE(frames, 100u) << "the piece falls, frame by frame";
    EXPECT_EQ(source.polls, 0) << "a pass with no input reads the queue only through its wait";
    EXPECT_GE(source.timedWaits, static_cast<int>(frames));
    EXPECT_EQ(source.blockingWaits, 0);
    EXPECT_LE(statusDraws, 2) << "the status line is drawn again only when its text or what lay under it changed";

    // Input still reaches a sleeping game: a key in the middle of a wait
    // pauses it, and the paused game then blocks.
    source.reset();
    source.timed.push_back({d.now() + 7, keyDown(Key::Pause)});
    source.run(1000);
    EXPECT_TRUE(app.game.paused);
    EXPECT_EQ(source.blockingWaits, 1);
}

}  // namespace
