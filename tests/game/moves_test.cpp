#include "game_test_support.h"

class MoveTest : public GameFixture {
protected:
    void SetUp() override { start(); }
    // Turns the piece and returns where it is; a turn must sound if it moved.
    PieceState turn(int32_t d)
    {
        const PieceState before = pieceState(game);
        const size_t sounds = host.sounds.size();
        game.rotatePiece(d);
        const bool turned = !(pieceState(game) == before);
        EXPECT_EQ(host.sounds, std::vector<std::string>(sounds + turned, "drehen.wav"));
        return pieceState(game);
    }
};

TEST_F(MoveTest, SidewaysStopsAtTheWallsSilently)
{
    for (int kind = 0; kind <= 7; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " rotation " + std::to_string(rotation));
            const int32_t width = pieceShapes[kind][rotation].width;
            place(kind, rotation, 5, 0, 7);
            game.moveSideways(-1);
            EXPECT_EQ(game.pieceColumn, 0);
            game.moveSideways(+1);
            EXPECT_EQ(game.pieceColumn, 1);
            place(kind, rotation, 5, 10 - width, 7);
            game.moveSideways(+1);
            EXPECT_EQ(game.pieceColumn, 10 - width);
            game.moveSideways(-1);
            EXPECT_EQ(pieceState(game), (PieceState{kind, rotation, 5, 9 - width, 7}));
        }
    }
    EXPECT_TRUE(host.sounds.empty());
}

TEST_F(MoveTest, SidewaysCountsTheRowsThePieceHangsIn)
{
    // A single block in row 5, column 4, moving right past one block.
    const int32_t cases[][3] = {
        // block row, fallOffset, moves
        {5, 0, 0}, {5, 1, 0},  {5, 14, 0}, {5, 15, 1}, {5, 24, 1},  // the row it is in
        {6, 0, 1}, {6, 1, 0},  {6, 14, 0}, {6, 15, 0}, {6, 24, 0},  // the row below
        {4, 0, 1}, {4, 12, 1}, {7, 20, 1},                          // others never count
    };
    for (const auto& c : cases) {
        setBoard(game, fromBottom({}));
        setCell(c[0], 5, 3);
        place(7, 0, 5, 4, c[1]);
        game.moveSideways(+1);
        EXPECT_EQ(pieceState(game), (PieceState{7, 0, 5, c[2] ? 5 : 4, c[1]})) << "block in row " << c[0];
    }
    // Hanging, the top row of a T must fit in the row below it too.
    setBoard(game, fromBottom({}));
    setCell(6, 6, 2);
    place(0, 0, 5, 3, 0);  // ###/.#.
    game.moveSideways(+1);
    EXPECT_EQ(game.pieceColumn, 4) << "the block is beside the stem";
    place(0, 0, 5, 3, 1);
    game.moveSideways(+1);
    EXPECT_EQ(game.pieceColumn, 3) << "the top row sinks onto the block";
}

TEST_F(MoveTest, SidewaysAboveTheBoardOnlyTheWallsCountUntilItSinksIntoRowZero)
{
    setBoard(game, fromBottom({}));
    for (int c = 0; c < 9; ++c) setCell(0, c, 1 + c % 7);
    place(3, 0, -2, 4, 0);
    game.moveSideways(-1);
    game.moveSideways(-1);
    EXPECT_EQ(game.pieceColumn, 2);

    // Once its lowest row sinks into row 0 it must not slide onto a block
    // there: it would fall into the block and lock over it.
    setBoard(game, Picture(kRows, "....2....."));
    place(7, 0, -1, 5, 0);
    ASSERT_TRUE(game.stepDown());
    game.moveSideways(-1);
    EXPECT_EQ(game.pieceColumn, 5);
    game.dropToBottom();
    EXPECT_EQ(invariantFault(game), "");
    EXPECT_EQ(game.board[0][4], 2);
    EXPECT_EQ(game.board[19][5], 8);
}

TEST_F(MoveTest, TurnDirectionAndTruncatingOffsets)
{
    place(6, 1, 5, 5);  // upright bar
    // (1 - 4) / 2 = -1 and (4 - 1) / 2 = 1, not floor division.
    EXPECT_EQ(turn(+1), (PieceState{6, 0, 6, 4, 0}));
    EXPECT_EQ(turn(+1), (PieceState{6, 3, 5, 5, 0}));
    EXPECT_EQ(turn(-1), (PieceState{6, 0, 6, 4, 0}));
    EXPECT_EQ(turn(-1), (PieceState{6, 1, 5, 5, 0}));
    place(0, 3, 5, 3, 9);  // T, 3x2; (2 - 3) / 2 = 0 and (3 - 2) / 2 = 0
    EXPECT_EQ(turn(-1), (PieceState{0, 0, 5, 3, 9}));
    EXPECT_EQ(turn(-1), (PieceState{0, 1, 5, 3, 9}));
    EXPECT_EQ(turn(+1), (PieceState{0, 0, 5, 3, 9}));
    EXPECT_EQ(turn(+1), (PieceState{0, 3, 5, 3, 9}));
    EXPECT_EQ(host.sounds.size(), 8u);
}

TEST_F(MoveTest, TurnKeepsTheBoxInsideTheWalls)
{
    place(6, 1, 5, 9);
    EXPECT_EQ(turn(+1), (PieceState{6, 0, 6, 6, 0}));
    place(6, 1, 5, 0);
    EXPECT_EQ(turn(-1), (PieceState{6, 2, 6, 0, 0}));
    place(0, 1, 5, 8);  // 3x2 against the right wall turning to 2x3
    EXPECT_EQ(turn(-1), (PieceState{0, 2, 5, 7, 0}));
    // The rectangle spans both boxes: a block under the new bar, beside the
    // old one, stops the turn; one just outside does not.
    setCell(8, 6, 4);
    place(6, 1, 5, 9);
    EXPECT_EQ(turn(+1), (PieceState{6, 1, 5, 9, 0}));
    setCell(8, 6, 0);
    setCell(5, 5, 4);
    EXPECT_EQ(turn(+1), (PieceState{6, 0, 6, 6, 0}));
}

TEST_F(MoveTest, TurnMayNotEndOnTheBottomRow)
{
    place(6, 0, 19, 3);  // flat bar lying on the floor
    EXPECT_EQ(turn(+1), (PieceState{6, 0, 19, 3, 0}));
    place(0, 0, 17, 3);  // height 2 whose turned box would end on row 19
    EXPECT_EQ(turn(-1), (PieceState{0, 0, 17, 3, 0}));
    place(0, 0, 16, 3);
    EXPECT_EQ(turn(-1), (PieceState{0, 1, 16, 3, 0}));
    // An upright bar on the floor turns flat on row 17 and falls on.
    place(6, 1, 16, 5);
    EXPECT_EQ(turn(+1), (PieceState{6, 0, 17, 4, 0}));
    game.dropToBottom();
    EXPECT_EQ(picture(game), fromBottom({"....7777.."}));
}

TEST_F(MoveTest, TurnNeedsTheWholeRectangleFree)
{
    // T ###/.#. at row 5, column 3 turns into #./##/#.: the rectangle is rows
    // 5 to 7 and columns 3 to 5, and row 8 too while the piece hangs.
    const int32_t cases[][4] = {
        // block row, block column, fallOffset, turns
        {6, 5, 0, 0}, {7, 4, 0, 0}, {7, 5, 0, 0},  // in neither shape
        {8, 4, 0, 1}, {8, 4, 3, 0}, {8, 5, 24, 0}, {9, 4, 3, 1}, {5, 6, 0, 1}, {4, 3, 0, 1}, {6, 2, 6, 1},
    };
    for (const auto& c : cases) {
        setBoard(game, fromBottom({}));
        setCell(c[0], c[1], 5);
        place(0, 0, 5, 3, c[2]);
        EXPECT_EQ(turn(-1), (PieceState{0, c[3], 5, 3, c[2]})) << "block at " << c[0] << "," << c[1];
    }
}

TEST_F(MoveTest, TheSquareTurnsInPlaceWithItsSound)
{
    const int32_t around[][2] = {{4, 4}, {4, 5}, {5, 3}, {6, 6}, {7, 4}, {7, 5}};
    for (const auto& cell : around) setCell(cell[0], cell[1], 1);
    place(5, 0, 5, 4);
    EXPECT_EQ(turn(+1), (PieceState{5, 3, 5, 4, 0}));
    EXPECT_EQ(turn(-1), (PieceState{5, 0, 5, 4, 0}));
    EXPECT_EQ(turn(-1), (PieceState{5, 1, 5, 4, 0}));
    EXPECT_EQ(host.sounds.size(), 3u);
}

TEST_F(MoveTest, TurnAboveTheBoardIsFreeUntilTheRectangleReachesRowZero)
{
    for (int c = 0; c < kColumns; ++c) setCell(0, c, 3);
    place(0, 0, -3, 4);
    EXPECT_EQ(turn(-1), (PieceState{0, 1, -3, 4, 0}));  // rows -3 to -1
    place(0, 0, -3, 4, 3);
    EXPECT_EQ(turn(-1), (PieceState{0, 0, -3, 4, 3}));  // hanging: row 0 joins the rectangle
    place(6, 0, -1, 3);
    EXPECT_EQ(turn(+1), (PieceState{6, 0, -1, 3, 0}));  // upright it would reach row 1
}
