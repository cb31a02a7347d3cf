// The window onto the track, level changes, speed and the step clock.
#include "race_fixture.h"

namespace {

using WindowTest = RaceTest;

TEST_F(WindowTest, EachAdvanceMovesTheTrackOneRowDownTheWindow)
{
    writePatternLevel(1);
    startRaceGame();
    EXPECT_EQ(game.pieceRow, 16);
    EXPECT_EQ(game.pieceColumn, 5);
    EXPECT_TRUE(windowEmpty());

    advanceTrack(game, state);
    for (int32_t i = 0; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 1, 279 + i));

    advanceTrack(game, state);
    for (int32_t i = 0; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 1, 278 + i));
    EXPECT_EQ(state.trackScroll, 2);
    EXPECT_EQ(state.racePoints, 2);

    while (state.trackScroll < 279) advanceTrack(game, state);
    for (int32_t i = 0; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 1, 1 + i));
    EXPECT_EQ(state.level, 1);
    EXPECT_EQ(state.racePoints, 279);
}

TEST_F(WindowTest, TheTwoHundredEightiethAdvanceStartsTheNextLevel)
{
    writePatternLevel(1);
    writePatternLevel(2);
    startRaceGame();
    for (int32_t k = 1; k <= 9; ++k) advanceTrack(game, state);
    EXPECT_EQ(game.speed, 50);
    advanceTrack(game, state);
    EXPECT_EQ(game.speed, 51);
    while (state.trackScroll < 279) advanceTrack(game, state);
    EXPECT_EQ(game.speed, 50 + 27);

    game.pieceRow = 3;
    game.pieceColumn = 2;
    advanceTrack(game, state);
    EXPECT_EQ(state.level, 2);
    EXPECT_EQ(state.trackScroll, 0);
    EXPECT_EQ(game.speed, 51);
    EXPECT_FALSE(state.lastLevelReached);
    EXPECT_EQ(game.pieceRow, 16);
    EXPECT_EQ(game.pieceColumn, 2);
    EXPECT_EQ(state.racePoints, 280);
    EXPECT_TRUE(rowShows(0, 1, 1));  // the old level's row 1 stays on top
    for (int32_t i = 1; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 2, 280 + i));

    advanceTrack(game, state);
    for (int32_t i = 0; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 2, 279 + i));
    EXPECT_EQ(game.speed, 51);
    for (int32_t k = 2; k <= 10; ++k) advanceTrack(game, state);
    EXPECT_EQ(game.speed, 52);
}

TEST_F(WindowTest, MissingLevelInBetweenIsEmptyAndLevelFiveIsMarked)
{
    writePatternLevel(1);
    writePatternLevel(3);
    startRaceGame();
    for (int32_t k = 0; k < 281; ++k) advanceTrack(game, state);
    EXPECT_EQ(state.level, 2);
    EXPECT_TRUE(windowEmpty());
    for (int32_t k = 0; k < 279; ++k) advanceTrack(game, state);
    EXPECT_EQ(state.level, 3);
    EXPECT_EQ(state.trackScroll, 0);
    advanceTrack(game, state);
    for (int32_t i = 0; i < kRows; ++i) EXPECT_TRUE(rowShows(i, 3, 279 + i));

    EXPECT_FALSE(state.lastLevelReached);
    while (state.level < 5) advanceTrack(game, state);
    EXPECT_TRUE(state.lastLevelReached);
}

TEST_F(WindowTest, RaceTickMovesOneRowPerHundredMillisecondsAndCarriesTheRest)
{
    startRaceGame();
    const uint32_t start = host.now;
    EXPECT_EQ(msUntilNextAdvance(game, state), 100u);

    host.now = start + 99;
    EXPECT_FALSE(raceTick(game, state));
    EXPECT_EQ(state.trackScroll, 0);
    EXPECT_EQ(msUntilNextAdvance(game, state), 1u);

    host.now = start + 250;
    EXPECT_TRUE(raceTick(game, state));
    EXPECT_EQ(state.trackScroll, 2);
    EXPECT_EQ(game.fallClock, start + 200);  // the 50 ms not yet spent carry over
    EXPECT_EQ(msUntilNextAdvance(game, state), 50u);

    host.now = start + 300;
    EXPECT_TRUE(raceTick(game, state));
    EXPECT_EQ(state.trackScroll, 3);

    host.now = start + 1300;
    raceTick(game, state);
    EXPECT_EQ(state.trackScroll, 13);
    EXPECT_EQ(game.speed, 51);

    // At 51 km/h a row costs 5000 / 51 ms: 98 ms are not enough, 99 are.
    game.fallClock = host.now;
    EXPECT_EQ(msUntilNextAdvance(game, state), 99u);
    host.now += 98;
    EXPECT_FALSE(raceTick(game, state));
    host.now += 1;
    EXPECT_TRUE(raceTick(game, state));
    EXPECT_EQ(state.trackScroll, 14);
}

TEST_F(WindowTest, ClockWrapAndHugeGapsNeitherOverflowNorRunForever)
{
    startRaceGame();
    game.fallClock = 0xFFFFFF00u;
    host.now = 100;  // 356 ms later, across the wrap
    EXPECT_TRUE(raceTick(game, state));
    EXPECT_EQ(state.trackScroll, 3);
    EXPECT_EQ(game.fallClock, 44u);

    // Days of missed time on an empty track: the race drives to its finish
    // and stops there.
    game.fallClock = host.now;
    host.now += 0xFFFFFFF0u;
    EXPECT_TRUE(raceTick(game, state));
    EXPECT_TRUE(raceWon(state));
    EXPECT_EQ(state.level, 5);
    EXPECT_EQ(state.trackScroll, 280);
    EXPECT_EQ(state.racePoints, 5 * 280);
    EXPECT_EQ(state.lives, 3);
    advanceTrack(game, state);
    EXPECT_EQ(state.racePoints, 5 * 280);
}

}  // namespace
