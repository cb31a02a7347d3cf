#pragma once
#include <cstdint>

// What the rules need from the world around them. The shell fills this in with
// the real clock, audio, screen and high-score list; tests fill it with fakes.
struct GameHost {
    virtual ~GameHost() = default;
    // Milliseconds from an arbitrary start, wrapping at 2^32 like timeGetTime.
    virtual uint32_t timeGetTime() = 0;
    // Seeds the random generator once, when the game is built. The shell
    // answers with a value that differs per launch; a fake keeps its clock,
    // so a test replays the same game.
    virtual uint32_t randomSeed() { return timeGetTime(); }
    // Plays a sound effect by its file name ("drehen.wav").
    virtual void playSound(const char* name) = 0;
    // Game over: draw and present the last frame before the screen changes.
    virtual void drawLastFrame() = 0;
    // Game over: enter the finished game's total into the high-score list.
    virtual void enterHighscore(int32_t total) = 0;
    // A game or race has ended (after its last frame and, for a scored game,
    // enterHighscore): the shell shows what follows it.
    virtual void gameOver() {}
};
