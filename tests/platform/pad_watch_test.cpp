// The pad watcher sleeps until a watched device file has something to say,
// then wakes the event queue once until the wake-up is taken; a pad it cannot
// watch through a file is looked at over and over instead.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/pad_watch.h"
#include "platform_test_support.h"

namespace {

// Waits up to ms for an event of the given type, dropping others.
bool wakeWithin(Uint32 type, Uint32 ms)
{
    const Uint64 end = SDL_GetTicks64() + ms;
    SDL_Event e;
    for (;;) {
        const Uint64 now = SDL_GetTicks64();
        if (now >= end) return false;
        if (SDL_WaitEventTimeout(&e, static_cast<int>(end - now)) && e.type == type) return true;
    }
}

void say(int fd)
{
    ASSERT_EQ(write(fd, "x", 1), 1);
}

TEST(PadWatch, WakesOncePerReadingWhenAWatchedFileHasSomethingToSay)
{
    UseDummyVideo();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    const Uint32 wakeType = SDL_RegisterEvents(1);
    ASSERT_NE(wakeType, static_cast<Uint32>(-1));

    ScratchFolder folder("klotzar-padwatch");
    const std::string device = folder / "event0";
    ASSERT_EQ(mkfifo(device.c_str(), 0600), 0);
    // Read and write: the pipe stays open whatever the watcher does.
    const int pad = open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(pad, 0);

    StartPadWatch(wakeType);
    WatchPadFiles({device});
    EXPECT_FALSE(wakeWithin(wakeType, 300)) << "a silent pad wakes nothing";

    say(pad);
    EXPECT_TRUE(wakeWithin(wakeType, 10000)) << "the pad said something";

    // Until the wake-up is taken, more input adds no second one: the reading
    // that follows takes it all.
    say(pad);
    EXPECT_FALSE(wakeWithin(wakeType, 300));
    PadWakeTaken();
    say(pad);
    EXPECT_TRUE(wakeWithin(wakeType, 10000)) << "input after the reading wakes again";

    // A pad with no file to watch is looked at every few milliseconds.
    PadWakeTaken();
    WatchPadFiles({""});
    int wakes = 0;
    const Uint64 end = SDL_GetTicks64() + 1000;
    while (SDL_GetTicks64() < end) {
        if (wakeWithin(wakeType, 200)) {
            ++wakes;
            PadWakeTaken();
        }
    }
    EXPECT_GE(wakes, 5) << "a pad without a file is looked at over and over";

    // Stopped, it wakes nothing.
    StopPadWatch();
    PadWakeTaken();
    SDL_FlushEvent(wakeType);
    say(pad);
    EXPECT_FALSE(wakeWithin(wakeType, 300));
    close(pad);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

}  // namespace
