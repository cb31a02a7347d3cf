#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/game.h"

// The world around the rules, for tests: a clock turned by hand and a record
// of everything the rules asked of it. onEvent sees each call as it happens,
// so a test can look at the game in the middle of a lock.
struct RecordingHost : GameHost {
    explicit RecordingHost(uint32_t startTime = 0) : now(startTime) {}

    uint32_t now;
    std::vector<std::string> sounds;
    int32_t lastFrames = 0;
    std::vector<int32_t> highscores;
    int32_t gameOvers = 0;
    std::function<void(const std::string& event)> onEvent;  // a sound's name, "lastFrame", "highscore" or "gameOver"

    uint32_t timeGetTime() override { return now; }
    void playSound(const char* name) override
    {
        sounds.push_back(name);
        notify(name);
    }
    void drawLastFrame() override
    {
        ++lastFrames;
        notify("lastFrame");
    }
    void enterHighscore(int32_t total) override
    {
        highscores.push_back(total);
        notify("highscore");
    }
    void gameOver() override
    {
        ++gameOvers;
        notify("gameOver");
    }

private:
    void notify(const std::string& event)
    {
        if (onEvent) onEvent(event);
    }
};

// Everything a game is wired to, built in place (the game keeps references).
// The game seeds its random numbers from the clock's start time.
struct Session {
    explicit Session(uint32_t startTime = 0) : host(startTime) {}

    RecordingHost host;
    Settings settings;
    PlayerName name;
    Game game{host, settings, name};
};
