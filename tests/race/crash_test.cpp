// Crashes, lives, the end of a race, the car's bounds and what the race leaves
// alone.
#include "race_fixture.h"

namespace {

class CrashTest : public RaceTest {
protected:
    void upBy(int32_t rows)
    {
        for (int32_t k = 0; k < rows; ++k) moveCarUp(game, state);
    }
};

// Level 1 here: track rows 279 to 282 are solid, the rest is open.
bool solidTop(int32_t r, int32_t)
{
    return r >= 279 && r <= 282;
}

TEST_F(CrashTest, ACrashCostsOneLifeHoweverManyCellsAndRestartsTheLevel)
{
    writeLevel(1, [](int32_t r, int32_t c) { return solidTop(r, c) ? 3 : 0; });
    startRaceGame();
    EXPECT_TRUE(raceStep(game, state));  // the first picture of the race
    EXPECT_FALSE(raceStep(game, state));

    // At the top of the window all six cells of the car meet the wall at once.
    upBy(16);
    EXPECT_EQ(game.pieceRow, 0);
    EXPECT_TRUE(raceStep(game, state));  // the car moved
    EXPECT_TRUE(driveOneRow());
    EXPECT_EQ(state.lives, 2);
    EXPECT_EQ(state.statusText, "kollision");
    EXPECT_EQ(state.level, 1);
    EXPECT_EQ(state.trackScroll, 0);
    EXPECT_EQ(game.speed, 50);
    EXPECT_EQ(game.pieceRow, 16);
    EXPECT_EQ(state.racePoints, 1);
    EXPECT_TRUE(windowEmpty());
    EXPECT_FALSE(raceStep(game, state));  // the crash is not found again
    EXPECT_EQ(state.lives, 2);

    // The level starts again from its beginning; the car is below the wall.
    EXPECT_TRUE(driveOneRow());
    EXPECT_EQ(state.trackScroll, 1);
    EXPECT_EQ(game.rowFill[0], 10);
    EXPECT_EQ(game.rowFill[3], 10);
    EXPECT_EQ(state.lives, 2);
    EXPECT_EQ(state.statusText, "kollision");  // still up, not yet a moment old

    // Driving into a block needs no advance: the next pass finds it.
    while (game.board[15][0] == 0) driveOneRow();  // the wall comes down to just above the car
    EXPECT_EQ(state.lives, 2);
    moveCarUp(game, state);
    EXPECT_TRUE(raceStep(game, state));
    EXPECT_EQ(state.lives, 1);
    EXPECT_TRUE(windowEmpty());

    // A moment later the status line is plain again; the name was never touched.
    host.now += kCrashNoticeMs;
    game.resetFallClock();  // as after a pause: the waiting time drives no rows
    EXPECT_TRUE(raceStep(game, state));
    EXPECT_EQ(state.trackScroll, 0);
    EXPECT_EQ(state.statusText, " ");
    EXPECT_EQ(name.str(), "Qelin Fahrer");
    EXPECT_TRUE(host.sounds.empty());
}

TEST_F(CrashTest, TheLastLifeEndsTheRaceWithTheHighScoreScreenAndNoEntry)
{
    // A solid row nobody can pass: it reaches the car on the sixth advance.
    writeLevel(1, [](int32_t r, int32_t) { return r == 290 ? 1 : 0; });
    startRaceGame();
    int32_t rows = 0;
    while (state.lives > 0 && rows < 100) {
        driveOneRow();
        ++rows;
    }
    EXPECT_EQ(rows, 18);
    EXPECT_EQ(state.lives, 0);
    EXPECT_EQ(state.racePoints, 18);
    EXPECT_TRUE(raceLost(state));
    // The last crash stays on screen: the wall is still under the car.
    EXPECT_EQ(game.rowFill[16], 10);
    EXPECT_EQ(state.statusText, "kollision");
    EXPECT_EQ(msUntilNextAdvance(game, state), kFinalFrameMs);

    const int32_t row = game.pieceRow;
    moveCarUp(game, state);
    EXPECT_EQ(game.pieceRow, row);
    host.now += kFinalFrameMs - 1;
    EXPECT_FALSE(raceStep(game, state));
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(host.gameOvers, 0);
    EXPECT_EQ(state.racePoints, 18);
    EXPECT_EQ(msUntilNextAdvance(game, state), 1u);

    host.now += 1;
    EXPECT_FALSE(raceStep(game, state));
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(host.gameOvers, 1);
    EXPECT_TRUE(host.highscores.empty());
    EXPECT_EQ(host.lastFrames, 0);
    EXPECT_EQ(name.str(), "Qelin Fahrer");
    EXPECT_FALSE(raceStep(game, state));
}

TEST_F(CrashTest, FinishingTheFifthLevelWinsTheRace)
{
    // No level files at all: five empty levels.
    startRaceGame();
    int32_t passes = 0;
    int32_t highestLevel = 0;
    while (!raceOver(state) && passes < 2000) {
        const int32_t before = state.racePoints;
        EXPECT_TRUE(driveOneRow());
        ASSERT_EQ(state.racePoints, before + 1) << "one advance per pass";
        highestLevel = std::max(highestLevel, state.level);
        ++passes;
    }
    EXPECT_EQ(passes, 5 * kLevelAdvances);
    EXPECT_TRUE(raceWon(state));
    EXPECT_FALSE(raceLost(state));
    EXPECT_EQ(highestLevel, 5);
    EXPECT_TRUE(state.lastLevelReached);
    EXPECT_EQ(state.lives, 3);
    EXPECT_EQ(state.statusText, "Ziel erreicht!");

    host.now += kFinalFrameMs - 1;
    EXPECT_FALSE(raceStep(game, state));
    EXPECT_EQ(state.trackScroll, kLevelAdvances);
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(host.gameOvers, 0);
    host.now += 1;
    raceStep(game, state);
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(host.gameOvers, 1);
    EXPECT_TRUE(host.highscores.empty());
}

TEST_F(CrashTest, TheCarStaysOnTheBoardAndCtrlLeavesItAlone)
{
    writeLevel(1, [](int32_t r, int32_t c) { return r % 3 == 0 && c < 4 ? 6 : 0; });
    startRaceGame();
    upBy(4);
    EXPECT_EQ(game.pieceRow, 12);
    upBy(20);
    EXPECT_EQ(game.pieceRow, 0);
    for (int32_t k = 0; k < 20; ++k) moveCarDown(game, state);
    EXPECT_EQ(game.pieceRow, 16);

    for (int32_t k = 0; k < 5; ++k) advanceTrack(game, state);
    Game before = game;
    game.dropToBottom();
    game.dropRow();
    EXPECT_EQ(game.pieceRow, before.pieceRow);
    EXPECT_EQ(game.fallOffset, 0);
    EXPECT_TRUE(game.playing);
    for (int32_t r = 0; r < kRows; ++r) {
        EXPECT_EQ(game.rowFill[r], before.rowFill[r]) << "row " << r;
        for (int32_t c = 0; c < kColumns; ++c) EXPECT_EQ(game.board[r][c], before.board[r][c]);
    }
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_TRUE(host.highscores.empty());
    EXPECT_EQ(host.lastFrames, 0);
}

}  // namespace
