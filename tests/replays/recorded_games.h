#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "driver.h"

// The games kept in tests/replays/games, each played by a script through the
// whole program on the driver's clock; the program records it as it records
// every game, and the recording is what the tests replay.
struct GameScript {
    std::string name;
    std::string about;  // what the game shows
    DriverSetup setup;
    std::function<void(Driver&)> play;  // from the title screen to the game's end
};

const std::vector<GameScript>& gameScripts();

// Names a script in test output.
inline void PrintTo(const GameScript& script, std::ostream* out)
{
    *out << script.name;
}

// Plays a script in a fresh run and returns the recording the program wrote
// ("Replays\last.txt"); "" with a test failure when it wrote none.
std::string recordScript(const GameScript& script);
