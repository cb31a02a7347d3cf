// Plays every script of recorded_games.cpp through the program and keeps the
// recordings the program writes, in tests/replays/games. Run it when a change
// of the rules or the recording is meant; then rewrite the expected files
// (KLOTZAR_REWRITE_REPLAYS=1 ctest -R Replays).
#include <gtest/gtest.h>

#include <fstream>

#include "recorded_games.h"

TEST(RecordReplays, EveryScript)
{
    for (const GameScript& script : gameScripts()) {
        const std::string text = recordScript(script);
        ASSERT_FALSE(text.empty()) << script.name;
        const std::string path = std::string(KLOTZAR_REPLAY_GAMES) + "/" + script.name + ".replay";
        std::ofstream(path, std::ios::binary) << text;
        std::printf("%-20s %7zu bytes  %s\n", script.name.c_str(), text.size(), script.about.c_str());
    }
}
