#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/game.h"
#include "race/race.h"
#include "recording_host.h"
#include "scratch_folder.h"

// Every test runs in its own empty working directory, where it writes the
// level files it needs; the old directory is restored afterwards.
class RaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.modus = 3;
        name.set("Qelin Fahrer");
    }

    static void writeFile(const std::string& fileName, const std::string& text)
    {
        std::ofstream out(fileName, std::ios::binary);
        out << text;
    }

    // A level file of 300 lines of ten comma-terminated values. The first
    // value of every line after the first shares its field with the line
    // break, so it must be a single character.
    static void writeLevel(int32_t level, const std::function<int32_t(int32_t, int32_t)>& cell,
                           const std::string& lineEnd = "\n")
    {
        std::string text;
        for (int32_t r = 0; r < kTrackRows; ++r) {
            if (r > 0) text += lineEnd;
            for (int32_t c = 0; c < kColumns; ++c) {
                const int32_t v = cell(r, c);
                if (r > 0 && c == 0 && (v < 0 || v > 9))
                    ADD_FAILURE() << "value " << v << " does not fit a line's first field";
                text += std::to_string(v) + ",";
            }
        }
        writeFile(std::to_string(level) + ".dat", text);
    }

    // Row r of a pattern level carries r in binary over columns 0..8, with
    // the level number as the block value, so every row can be told apart.
    static int32_t patternCell(int32_t level, int32_t row, int32_t column)
    {
        return column < 9 && ((row >> column) & 1) ? level : 0;
    }

    static void writePatternLevel(int32_t level)
    {
        writeLevel(level, [level](int32_t r, int32_t c) { return patternCell(level, r, c); });
    }

    // Board row i of the window against row trackRow of a pattern level.
    ::testing::AssertionResult rowShows(int32_t boardRow, int32_t level, int32_t trackRow) const
    {
        int32_t fill = 0;
        for (int32_t c = 0; c < kColumns; ++c) {
            const int32_t want = patternCell(level, trackRow, c);
            if (game.board[boardRow][c] != want) {
                return ::testing::AssertionFailure()
                       << "board row " << boardRow << " column " << c << " is " << game.board[boardRow][c] << ", level "
                       << level << " track row " << trackRow << " has " << want;
            }
            if (want != 0) ++fill;
        }
        if (game.rowFill[boardRow] != fill)
            return ::testing::AssertionFailure()
                   << "rowFill of board row " << boardRow << " is " << game.rowFill[boardRow];
        return ::testing::AssertionSuccess();
    }

    bool windowEmpty() const
    {
        for (int32_t r = 0; r < kRows; ++r) {
            if (game.rowFill[r] != 0) return false;
            for (int32_t c = 0; c < kColumns; ++c)
                if (game.board[r][c] != 0) return false;
        }
        return true;
    }

    void startRaceGame() { startRace(game, state); }

    // Lets the clock run to the next advance and makes one pass.
    bool driveOneRow()
    {
        host.now += msUntilNextAdvance(game, state);
        return raceStep(game, state);
    }

    Session session{1000};
    RecordingHost& host = session.host;
    Settings& settings = session.settings;
    PlayerName& name = session.name;
    Game& game = session.game;
    RaceState state;

private:
    ScratchWorkingFolder folder_{"klotzar-race"};
};
