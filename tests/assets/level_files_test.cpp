// The race's level files: their format, and that a car can get through.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "asset_reading.h"
#include "generated_assets.h"

namespace {

using Rows = std::vector<std::vector<int>>;

// The car's six cells inside its box of four rows and three columns.
const int kCar[6][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {3, 0}, {3, 2}};

// The car's box, top at track row `top`, left column `left`, touches no block.
bool fits(const Rows& track, int top, int left)
{
    if (left < 0 || left > 7 || top < 0 || top + 3 >= static_cast<int>(track.size())) return false;
    for (const auto& c : kCar)
        if (track[static_cast<size_t>(top + c[0])][static_cast<size_t>(left + c[1])] != 0) return false;
    return true;
}

// The track scrolls down the screen one row at a time, so the car's top moves
// from row 296 (its box over the last four rows) to row 1. Between two rows it
// may change column by one, but only once every `gap` rows; the change happens
// before or after the row passes, so one of the two positions must be free.
bool carGetsThrough(const Rows& track, int startColumn, int gap)
{
    // wait[k]: fewest rows still to wait before the car at column k may move; -1 unreachable.
    std::vector<int> wait(8, -1);
    if (!fits(track, 296, startColumn)) return false;
    wait[static_cast<size_t>(startColumn)] = 0;
    for (int top = 296; top > 1; --top) {
        std::vector<int> next(8, -1);
        auto reach = [&](int k, int w) {
            int& n = next[static_cast<size_t>(k)];
            if (n < 0 || w < n) n = w;
        };
        for (int k = 0; k < 8; ++k) {
            const int w = wait[static_cast<size_t>(k)];
            if (w < 0) continue;
            if (fits(track, top - 1, k)) reach(k, std::max(0, w - 1));
            if (w > 0) continue;
            for (int k2 : {k - 1, k + 1})
                if (fits(track, top - 1, k2) && (fits(track, top, k2) || fits(track, top - 1, k))) reach(k2, gap - 1);
        }
        wait = next;
        if (std::all_of(wait.begin(), wait.end(), [](int w) { return w < 0; })) return false;
    }
    return true;
}

Level load(int level)
{
    return readLevel(freshAssets() / (std::to_string(level) + ".dat"));
}

int blocks(const Rows& track)
{
    int n = 0;
    for (const auto& row : track)
        for (int v : row) n += v != 0;
    return n;
}

TEST(Levels, EachFileHolds300LinesOfTenCommaTerminatedDigits)
{
    for (int l = 1; l <= 5; ++l) {
        SCOPED_TRACE(l);
        const Level level = load(l);
        EXPECT_TRUE(level.wellFormed) << level.problem;
        ASSERT_EQ(level.rows.size(), 300u);
        for (const auto& row : level.rows)
            for (int v : row) ASSERT_LE(v, 7);
    }
}

TEST(Levels, ACarGetsThroughFromAnyColumn)
{
    // The car keeps its column from one level to the next, so every start
    // must lead through: with a move every row, and also at the calmer pace
    // of one move every second row.
    for (int l = 1; l <= 5; ++l) {
        const Level level = load(l);
        ASSERT_EQ(level.rows.size(), 300u);
        for (int gap : {1, 2})
            for (int start = 0; start < 8; ++start)
                EXPECT_TRUE(carGetsThrough(level.rows, start, gap))
                    << "level " << l << " start column " << start << " gap " << gap;
    }
}

TEST(Levels, TheBlockedCheckCatchesAWall)
{
    // A track with one full row can't be passed; one with a gap two columns
    // wide can't either, since the car is three wide.
    Rows track(300, std::vector<int>(10, 0));
    EXPECT_TRUE(carGetsThrough(track, 5, 2));
    track[150] = std::vector<int>(10, 1);
    EXPECT_FALSE(carGetsThrough(track, 5, 1));
    track[150][4] = track[150][5] = 0;
    EXPECT_FALSE(carGetsThrough(track, 5, 1));
    track[150][3] = 0;
    EXPECT_TRUE(carGetsThrough(track, 5, 1));
    // A lane that steps three columns to the side through a short opening:
    // passable with a move every row, too quick for one every second row.
    Rows zigzag(300, std::vector<int>(10, 1));
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 10; ++c)
            if (r >= 150 ? (c >= 2 && c <= 4) : (c >= 5 && c <= 7))
                zigzag[static_cast<size_t>(r)][static_cast<size_t>(c)] = 0;
    for (int r = 149; r <= 153; ++r)
        for (int c = 2; c <= 7; ++c) zigzag[static_cast<size_t>(r)][static_cast<size_t>(c)] = 0;
    for (int r = 290; r < 300; ++r) zigzag[static_cast<size_t>(r)] = std::vector<int>(10, 0);
    EXPECT_TRUE(carGetsThrough(zigzag, 2, 1));
    EXPECT_FALSE(carGetsThrough(zigzag, 2, 2));
}

TEST(Levels, TheFirstScreenIsGentleAndLevelsGetHarder)
{
    int previous = -1;
    for (int l = 1; l <= 5; ++l) {
        SCOPED_TRACE(l);
        const Level level = load(l);
        ASSERT_EQ(level.rows.size(), 300u);
        // Whatever column the car comes in at, it stands free on the first screen.
        for (int top = 276; top <= 296; ++top)
            for (int k = 0; k < 8; ++k) EXPECT_TRUE(fits(level.rows, top, k)) << "row " << top << " column " << k;
        const int n = blocks(level.rows);
        EXPECT_GT(n, previous) << "level " << l << " has no more blocks than the one before";
        previous = n;
    }
}

}  // namespace
