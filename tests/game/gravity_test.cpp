#include "game_test_support.h"

class GravityTest : public GameFixture {
protected:
    void SetUp() override { start(); }

    // Puts an upright bar above column 0 beside k rows that lack only that
    // column, under a marker block, and returns the board expected once the
    // bar has locked and the k rows are gone.
    Picture barOverRows(int32_t k)
    {
        Picture rows = fromBottom({});
        rows[15] = ".........4";
        for (int r = 20 - k; r < 20; ++r) rows[r] = ".123456712";
        setBoard(game, rows);
        place(6, 1, 16, 0);
        Picture expected = fromBottom({});
        expected[15 + k] = ".........4";
        for (int r = 16 + k; r < 20; ++r) expected[r] = "7.........";
        return expected;
    }
};

TEST_F(GravityTest, TickCarriesTheTimeThatMadeNoWholeStep)
{
    game.fallClock = 1000;
    host.now = 1019;
    EXPECT_FALSE(game.tick());
    EXPECT_EQ(game.fallClock, 1000u);
    EXPECT_EQ(game.fallOffset, 0);
    host.now = 1037;  // d = 1850: one step, 17 ms carried
    EXPECT_TRUE(game.tick());
    EXPECT_EQ(game.fallOffset, 1);
    EXPECT_EQ(game.fallClock, 1020u);
    // The same across the wrap of the millisecond clock.
    game.fallClock = 0xFFFFFFF0u;
    host.now = 0x15;
    EXPECT_TRUE(game.tick());
    EXPECT_EQ(game.fallOffset, 2);
    EXPECT_EQ(game.fallClock, 4u);
}

TEST_F(GravityTest, TickStepsAtTheSpeedAndTwentyFiveStepsMakeARow)
{
    for (int32_t speed : {50, 125}) {
        start();
        game.speed = speed;
        const int32_t startRow = game.pieceRow;
        const uint32_t begin = host.now;
        int32_t frames = 0;
        for (uint32_t t = 1; t <= 1000; ++t) {
            host.now = begin + t;
            frames += game.tick();
            const int32_t steps = (game.pieceRow - startRow) * 25 + game.fallOffset;
            ASSERT_EQ(steps, static_cast<int32_t>(t) * speed / 1000) << "speed " << speed << ", " << t << " ms";
        }
        EXPECT_EQ(frames, speed);
        EXPECT_EQ(game.fallOffset, 0);
    }
}

TEST_F(GravityTest, APieceLandsOnlyWhenItSitsOnAWholeRow)
{
    setCell(19, 4, 2);
    place(5, 0, 16, 4, 0);
    for (int i = 1; i <= 25; ++i) ASSERT_TRUE(game.stepDown()) << "step " << i;
    EXPECT_EQ(pieceState(game), (PieceState{5, 0, 17, 4, 0}));
    EXPECT_FALSE(game.stepDown());
    EXPECT_EQ(picture(game), fromBottom({"....66....", "....66....", "....2....."}));
}

TEST_F(GravityTest, LockClearsAndScoresBeforeTheNextPieceComes)
{
    const std::vector<std::string> down{"down.wav"};
    const std::pair<Score, std::vector<std::string>> afterClearing[] = {
        // from 100 points, 10 lines, 5 bonus, speed 60, by rows cleared
        {{101, 10, 5, 61}, down},
        {{110, 11, 5, 58}, down},
        {{120, 12, 5, 56}, down},
        {{140, 13, 5, 54}, down},
        {{180, 14, 5 + 2 * 14, 50}, {"klatsch.wav", "down.wav"}},
    };
    for (int32_t modus : {0, 2}) {
        for (int32_t k = 0; k <= 4; ++k) {
            SCOPED_TRACE("modus " + std::to_string(modus) + ", rows cleared " + std::to_string(k));
            settings.modus = modus;
            start();
            game.points = 100, game.lines = 10, game.bonus = 5, game.speed = 60;
            game.nextPieces[0] = QueuedPiece{3, 2};
            const Picture cleared = barOverRows(k);
            const Picture expected = modus == 2 ? shiftedLeft(cleared) : cleared;
            host.onEvent = [&](const std::string& event) {
                // Both sounds come after the clear, the next piece after them.
                const Picture now = picture(game);
                EXPECT_TRUE(now == cleared || now == expected) << event;
                EXPECT_EQ(pieceState(game), (PieceState{6, 1, 16, 0, 0})) << event;
                if (event == "down.wav") {
                    EXPECT_EQ(now, expected);
                    EXPECT_EQ(scoreOf(game), afterClearing[k].first);
                    EXPECT_TRUE(game.playing);
                }
            };
            EXPECT_FALSE(game.stepDown());
            host.onEvent = nullptr;
            EXPECT_EQ(picture(game), expected);
            EXPECT_EQ(invariantFault(game), "");
            EXPECT_EQ(scoreOf(game), afterClearing[k].first);
            EXPECT_EQ(host.sounds, afterClearing[k].second);
            EXPECT_TRUE(game.playing);
            EXPECT_EQ(pieceState(game), (PieceState{3, 2, -2, 4, 0}));
        }
    }
}

TEST_F(GravityTest, ClearingSlowsDownOnlyAboveFifty)
{
    const int32_t speeds[][3] = {
        // speed before, rows cleared, speed after
        {51, 4, 41}, {41, 1, 41}, {41, 0, 42}, {50, 1, 50}, {52, 2, 48}, {53, 3, 47}, {60, 4, 50},
    };
    for (const auto& s : speeds) {
        game.speed = s[0];
        barOverRows(s[1]);
        game.stepDown();
        EXPECT_EQ(game.speed, s[2]) << "from " << s[0] << " clearing " << s[1];
    }
}

TEST_F(GravityTest, FiveFullRowsScoreLikeFourAndAFullTopRowClearsToo)
{
    barOverRows(4);
    for (int c = 0; c < kColumns; ++c) setCell(10, c, 1 + c % 7);
    game.lines = 10;
    game.stepDown();
    EXPECT_EQ(picture(game), fromBottom({".........4"}));
    EXPECT_EQ(scoreOf(game), (Score{80, 14, 28, 50}));
    EXPECT_EQ(host.sounds, (std::vector<std::string>{"klatsch.wav", "down.wav"}));

    Picture rows(kRows, "3.........");
    rows[0] = ".123456712";
    setBoard(game, rows);
    place(7, 0, -1, 0);
    game.dropToBottom();  // lands in row 0 and fills it
    rows[0] = "..........";
    EXPECT_EQ(picture(game), rows);
    EXPECT_EQ(invariantFault(game), "");
    EXPECT_EQ(game.lines, 15);
    EXPECT_TRUE(game.playing);
}

TEST_F(GravityTest, DropToBottomLandsEveryPieceOnTheFloor)
{
    for (int kind = 0; kind <= 7; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " rotation " + std::to_string(rotation));
            start();
            game.nextPieces[0] = QueuedPiece{kind, rotation};
            game.spawnPiece();
            const PieceShape& d = pieceShapes[kind][rotation];
            Picture expected = fromBottom({});
            for (int i = 0; i < d.height; ++i)
                for (int j = 0; j < d.width; ++j)
                    if (d.cells[i][j])
                        expected[kRows - d.height + i][5 - d.width / 2 + j] = static_cast<char>('1' + kind);
            game.dropToBottom();
            EXPECT_EQ(picture(game), expected);
            EXPECT_EQ(invariantFault(game), "");
            EXPECT_EQ(scoreOf(game), (Score{1, 0, 0, 51}));
            EXPECT_EQ(host.sounds, std::vector<std::string>{"down.wav"});
            EXPECT_EQ(game.pieceRow, -game.shape().height);
        }
    }
}

TEST_F(GravityTest, AFreshPieceTakesFiveHundredStepsToTheFloor)
{
    game.nextPieces[0] = QueuedPiece{0, 0};
    game.spawnPiece();
    game.fallClock = host.now;
    host.now += 10000;  // 500 steps at speed 50
    EXPECT_TRUE(game.tick());
    EXPECT_EQ(pieceState(game), (PieceState{0, 0, 18, 4, 0}));
    EXPECT_EQ(picture(game), fromBottom({}));
    host.now += 20;
    EXPECT_TRUE(game.tick());
    EXPECT_EQ(picture(game), fromBottom({"....111...", ".....1...."}));
}

TEST_F(GravityTest, LongGapsOnlyMakeThePieceFallAndLock)
{
    const uint32_t gaps[][3] = {
        // fallClock, now, speed
        {5000, 25000, 50},               // 1000 steps: 501 land and lock it
        {5000, 5000 + 0x80000000u, 50},  // 2^31 ms
        {0xFFFFF000u, 0x00100000u, 50},  // across the wrap
        {0x10u, 0x0Fu, 400},             // 2^32 - 1 ms
        {0, 0x7FFFFFFFu, 1000},
    };
    for (const auto& gap : gaps) {
        SCOPED_TRACE("from " + std::to_string(gap[0]) + " to " + std::to_string(gap[1]));
        start();
        game.nextPieces[0] = QueuedPiece{5, 0};
        game.spawnPiece();
        game.speed = static_cast<int32_t>(gap[2]);
        game.fallClock = gap[0];
        host.now = gap[1];
        EXPECT_TRUE(game.tick());
        EXPECT_EQ(picture(game), fromBottom({"....66....", "....66...."}));
        EXPECT_EQ(invariantFault(game), "");
        EXPECT_TRUE(game.playing);
        ASSERT_EQ(game.pieceRow, -game.shape().height) << "the next piece must not move in the same tick";
        EXPECT_EQ(game.fallOffset, 0);
        EXPECT_EQ(game.speed, static_cast<int32_t>(gap[2]) + 1);
        // What is carried over is less than one step.
        EXPECT_LT(static_cast<uint64_t>(host.now - game.fallClock) * gap[2], 1000u);
    }
}

TEST_F(GravityTest, SoftDropRunsOnIntoTheNextPiece)
{
    game.nextPieces[0] = QueuedPiece{6, 0};
    place(5, 0, 17, 4, 16);  // the tenth of the 25 steps locks it
    game.dropRow();
    EXPECT_EQ(picture(game), fromBottom({"....66....", "....66...."}));
    EXPECT_EQ(pieceState(game), (PieceState{6, 0, -1, 3, 15}));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"down.wav"});
}

TEST_F(GravityTest, SoftDropStopsWhenTheGameEnds)
{
    const Picture rows(kRows, "....11....");
    setBoard(game, rows);
    place(5, 0, -3, 4, 21);  // the fifth step locks it above the board
    const QueuedPiece queued = game.nextPieces[0];
    game.bonus = 200;
    game.dropRow();
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(host.lastFrames, 1);
    EXPECT_EQ(host.highscores, std::vector<int32_t>{1 + 200});
    EXPECT_EQ(picture(game), rows);
    EXPECT_EQ(pieceState(game), (PieceState{5, 0, -2, 4, 0}));
    EXPECT_EQ(game.nextPieces[0].kind, queued.kind);
    EXPECT_EQ(game.nextPieces[0].rotation, queued.rotation);
}

TEST_F(GravityTest, GameOverClearsAndScoresThenEntersTheTotalOnce)
{
    for (int32_t modus : {0, 2}) {
        SCOPED_TRACE("modus " + std::to_string(modus));
        settings.modus = modus;
        host.gameOvers = 0;
        host.highscores.clear();
        host.lastFrames = 0;
        start();
        Picture rows = fromBottom({"1........."});
        rows[1] = "12345.6712";
        rows[2] = "21345.6721";
        rows[3] = ".....3....";
        setBoard(game, rows);
        Picture expected = fromBottom({"1........."});
        expected[2] = ".....7....";
        expected[3] = ".....3....";
        if (modus == 2) expected = shiftedLeft(expected);
        game.points = 100, game.lines = 3, game.bonus = 200, game.speed = 60;
        game.nextPieces[0] = QueuedPiece{6, 1};
        game.spawnPiece();  // an upright bar above column 5
        const QueuedPiece queued = game.nextPieces[0];
        host.onEvent = [&](const std::string& event) {
            if (event == "lastFrame") {
                EXPECT_FALSE(game.playing);
                EXPECT_FALSE(game.previewBoxesActive);
                EXPECT_EQ(picture(game), expected);
                EXPECT_EQ(scoreOf(game), (Score{120, 5, 200, 56}));
                EXPECT_TRUE(host.highscores.empty());
            }
            if (event == "gameOver") {
                EXPECT_EQ(host.highscores.size(), 1u) << "the total is entered first";
            } else {
                EXPECT_EQ(host.gameOvers, 0) << event;
            }
            EXPECT_EQ(host.lastFrames, 1) << event;
        };
        game.dropToBottom();  // locks in rows -1 to 2; row -1 is lost
        host.onEvent = nullptr;
        EXPECT_EQ(picture(game), expected);
        EXPECT_EQ(invariantFault(game), "");
        EXPECT_EQ(host.highscores, std::vector<int32_t>{120 + 5 + 200});
        EXPECT_EQ(game.total, 325);
        EXPECT_EQ(host.lastFrames, 1);
        EXPECT_TRUE(host.sounds.empty());
        EXPECT_FALSE(game.playing);
        EXPECT_FALSE(game.previewBoxesActive);
        EXPECT_EQ(host.gameOvers, 1);
        EXPECT_EQ(pieceState(game), (PieceState{6, 1, -1, 5, 0}));
        EXPECT_EQ(game.nextPieces[0].kind, queued.kind);
        EXPECT_EQ(game.nextPieces[0].rotation, queued.rotation);
    }
}

TEST_F(GravityTest, ShiftingModeMovesEveryRowLeftAfterTheClear)
{
    settings.modus = 2;
    start();
    setBoard(game, fromBottom({".........2", ".....3....", "..12345671"}));
    place(5, 0, 17, 0);
    game.dropToBottom();  // fills row 19, which goes before the shift
    EXPECT_EQ(picture(game), fromBottom({"........2.", "6...3....6"}));
    EXPECT_EQ(invariantFault(game), "");
    EXPECT_EQ(game.lines, 1);

    setBoard(game, fromBottom({}));
    place(7, 0, -1, 0);
    game.dropToBottom();
    EXPECT_EQ(picture(game), fromBottom({".........8"}));
    EXPECT_EQ(game.rowFill[19], 1);
}
