// Crashes, lives, the end of a race, the car's bounds and what the race leaves
// alone.
#include "race_fixture.h"

namespace {

class CrashTest : public RaceTest {
protected:
    void upBy(int32_t rows)
    {
        for (int32_t k = 0; k < rows; ++k) moveCarUp(game);
    }
};

// Level 1 here: track rows 279 to 282 are solid, the rest is open.
bool solidTop(int32_t r, int32_t) { return r >= 279 && r <= 282; }

TEST_F(CrashTest, ACrashCostsOneLifeHoweverManyCellsAndRestartsTheLevel)
{
    writeLevel(1, [](int32_t r, int32_t c) { return solidTop(r, c) ? 3 : 0; });
    startRaceGame();
    EXPECT_EQ(raceStep(game, state), 1);  // the first picture of the race
    EXPECT_EQ(raceStep(game, state), 0);

    // At the top of the window all six cells of the car meet the wall at once.
    upBy(16);
    EXPECT_EQ(game.pieceRow, 0);
    EXPECT_EQ(raceStep(game, state), 1);  // the car moved
    EXPECT_EQ(driveOneRow(), 1);
    EXPECT_EQ(game.lives, 2);
    EXPECT_EQ(state.statusText, "kollision");
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.trackScroll, 0);
    EXPECT_EQ(game.speed, 50);
    EXPECT_EQ(game.pieceRow, 16);
    EXPECT_EQ(game.racePoints, 1);
    EXPECT_TRUE(windowEmpty());
    EXPECT_EQ(raceStep(game, state), 0);  // the crash is not found again
    EXPECT_EQ(game.lives, 2);

    // The level starts again from its beginning; the car is below the wall.
    EXPECT_EQ(driveOneRow(), 1);
    EXPECT_EQ(game.trackScroll, 1);
    EXPECT_EQ(game.rowFill[0], 10);
    EXPECT_EQ(game.rowFill[3], 10);
    EXPECT_EQ(game.lives, 2);
    EXPECT_EQ(state.statusText, "kollision");  // still up, not yet a moment old

    // Driving into a block needs no advance: the next pass finds it.
    while (game.board[15][0] == 0) driveOneRow();  // the wall comes down to just above the car
    EXPECT_EQ(game.lives, 2);
    moveCarUp(game);
    EXPECT_EQ(raceStep(game, state), 1);
    EXPECT_EQ(game.lives, 1);
    EXPECT_TRUE(windowEmpty());

    // A moment later the status line is plain again; the name was never touched.
    host.now += kCrashNoticeMs;
    game.resetFallClock();  // as after a pause: the waiting time drives no rows
    EXPECT_EQ(raceStep(game, state), 1);
    EXPECT_EQ(game.trackScroll, 0);
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
    while (game.lives > 0 && rows < 100) {
        driveOneRow();
        ++rows;
    }
    EXPECT_EQ(rows, 18);
    EXPECT_EQ(game.lives, 0);
    EXPECT_EQ(game.racePoints, 18);
    EXPECT_TRUE(raceLost(game));
    // The last crash stays on screen: the wall is still under the car.
    EXPECT_EQ(game.rowFill[16], 10);
    EXPECT_EQ(state.statusText, "kollision");
    EXPECT_EQ(msUntilNextAdvance(game), kFinalFrameMs);

    const int32_t row = game.pieceRow;
    moveCarUp(game);
    EXPECT_EQ(game.pieceRow, row);
    host.now += kFinalFrameMs - 1;
    EXPECT_EQ(raceStep(game, state), 0);
    EXPECT_EQ(game.playing, 1);
    EXPECT_EQ(game.racePoints, 18);
    EXPECT_EQ(msUntilNextAdvance(game), 1u);

    host.now += 1;
    EXPECT_EQ(raceStep(game, state), 0);
    EXPECT_EQ(game.playing, 0);
    EXPECT_EQ(shell.menuSelection, 1);
    EXPECT_EQ(shell.highscoreScreen, 1);
    EXPECT_TRUE(host.highscores.empty());
    EXPECT_EQ(host.lastFrames, 0);
    EXPECT_EQ(name.str(), "Qelin Fahrer");
    EXPECT_EQ(raceStep(game, state), 0);
}

TEST_F(CrashTest, FinishingTheFifthLevelWinsTheRace)
{
    // No level files at all: five empty levels.
    startRaceGame();
    int32_t passes = 0;
    int32_t highestLevel = 0;
    while (!raceOver(game) && passes < 2000) {
        const int32_t before = game.racePoints;
        EXPECT_EQ(driveOneRow(), 1);
        ASSERT_EQ(game.racePoints, before + 1) << "one advance per pass";
        highestLevel = std::max(highestLevel, game.level);
        ++passes;
    }
    EXPECT_EQ(passes, 5 * kLevelAdvances);
    EXPECT_TRUE(raceWon(game));
    EXPECT_FALSE(raceLost(game));
    EXPECT_EQ(highestLevel, 5);
    EXPECT_EQ(game.lastLevelReached, 1);
    EXPECT_EQ(game.lives, 3);
    EXPECT_EQ(state.statusText, "Ziel erreicht!");

    host.now += kFinalFrameMs - 1;
    EXPECT_EQ(raceStep(game, state), 0);
    EXPECT_EQ(game.trackScroll, kLevelAdvances);
    EXPECT_EQ(game.playing, 1);
    host.now += 1;
    raceStep(game, state);
    EXPECT_EQ(game.playing, 0);
    EXPECT_EQ(shell.highscoreScreen, 1);
    EXPECT_EQ(shell.menuSelection, 1);
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
    for (int32_t k = 0; k < 20; ++k) moveCarDown(game);
    EXPECT_EQ(game.pieceRow, 16);

    for (int32_t k = 0; k < 5; ++k) advanceTrack(game);
    Game before = game;
    game.dropToBottom();
    game.dropRow();
    EXPECT_EQ(game.pieceRow, before.pieceRow);
    EXPECT_EQ(game.fallOffset, 0);
    EXPECT_EQ(game.playing, 1);
    for (int32_t r = 0; r < kRows; ++r) {
        EXPECT_EQ(game.rowFill[r], before.rowFill[r]) << "row " << r;
        for (int32_t c = 0; c < kColumns; ++c) EXPECT_EQ(game.board[r][c], before.board[r][c]);
    }
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_TRUE(host.highscores.empty());
    EXPECT_EQ(host.lastFrames, 0);
}

}  // namespace
