#include <algorithm>
#include <set>
#include <utility>

#include "game_test_support.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells blocksOf(const PieceShape& shape)
{
    Cells cells;
    for (int r = 0; r < shape.height; ++r)
        for (int c = 0; c < shape.width; ++c)
            if (shape.cells[r][c]) cells.emplace_back(r, c);
    return cells;
}

// The blocks moved so that the topmost and the leftmost touch 0, sorted.
Cells normalised(Cells cells)
{
    int top = 99;
    int left = 99;
    for (const auto& [r, c] : cells) top = std::min(top, r), left = std::min(left, c);
    for (auto& [r, c] : cells) r -= top, c -= left;
    std::sort(cells.begin(), cells.end());
    return cells;
}

}  // namespace

// What must hold of the table, rather than a copy of it.
TEST(PieceTable, EveryBoxIsTheSmallestAroundItsBlocks)
{
    // Four blocks each for the seven falling kinds, one for the single block,
    // six for the car.
    const size_t blocks[kPieceKinds] = {4, 4, 4, 4, 4, 4, 4, 1, 6};
    for (int kind = 0; kind < kPieceKinds; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " rotation " + std::to_string(rotation));
            const PieceShape& shape = pieceShapes[kind][rotation];
            EXPECT_EQ(shape.colourId, kind + 1);
            // Every cell a block or empty, none outside the box.
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 4; ++c) {
                    EXPECT_TRUE(shape.cells[r][c] == 0 || shape.cells[r][c] == 1) << r << "," << c;
                    if (r >= shape.height || c >= shape.width) {
                        EXPECT_EQ(shape.cells[r][c], 0) << r << "," << c;
                    }
                }
            }
            const Cells cells = blocksOf(shape);
            EXPECT_EQ(cells.size(), blocks[kind]);
            // The box touches a block on each of its four sides.
            int top = 99, left = 99, bottom = -1, right = -1;
            for (const auto& [r, c] : cells)
                top = std::min(top, r), left = std::min(left, c), bottom = std::max(bottom, r),
                right = std::max(right, c);
            EXPECT_EQ(top, 0);
            EXPECT_EQ(left, 0);
            EXPECT_EQ(bottom + 1, shape.height);
            EXPECT_EQ(right + 1, shape.width);
        }
    }
}

TEST(PieceTable, TheSevenFourBlockKindsAreDifferentShapes)
{
    // No kind's blocks are another's in any rotation.
    for (int a = 0; a <= 6; ++a)
        for (int b = a + 1; b <= 6; ++b)
            for (int rotation = 0; rotation < kRotations; ++rotation)
                EXPECT_NE(normalised(blocksOf(pieceShapes[a][0])), normalised(blocksOf(pieceShapes[b][rotation])))
                    << "kind " << a << " and kind " << b << " rotation " << rotation;
}

TEST(PieceTable, NextRotationTurnsAQuarterCounterclockwiseOnScreen)
{
    for (int kind = 0; kind <= 7; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " rotation " + std::to_string(rotation));
            Cells turned;
            // Row 0 at the top: counterclockwise, right goes up and up goes left.
            for (const auto& [r, c] : blocksOf(pieceShapes[kind][rotation])) turned.emplace_back(-c, r);
            const PieceShape& next = pieceShapes[kind][(rotation + 1) % 4];
            EXPECT_EQ(normalised(turned), normalised(blocksOf(next)));
        }
    }
    // The car never turns: every rotation is the same picture.
    for (int rotation = 1; rotation < kRotations; ++rotation)
        EXPECT_EQ(blocksOf(pieceShapes[kCarKind][rotation]), blocksOf(pieceShapes[kCarKind][0]));
}

TEST(RandomTest, RepeatsTheWindowsSequence)
{
    Random random;
    random.seed(1);
    for (int32_t value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(random.next(), value);
}

TEST_F(GameFixture, AdvanceQueueDrawsKindThenRotationAndNeverTheCar)
{
    ASSERT_EQ(enabledPieceCount, 8);
    game.random().seed(4711);
    Random mirror;
    mirror.seed(4711);
    for (int i = 0; i < kQueueLength; ++i) game.nextPieces[i] = QueuedPiece{i, (i + 1) % 4};
    std::set<int32_t> kinds;
    std::set<int32_t> rotations;
    for (int call = 0; call < 2000; ++call) {
        std::vector<PieceState> expected;  // the falling piece, then the queue
        for (const QueuedPiece& q : game.nextPieces) expected.push_back({q.kind, q.rotation, 0, 0, 0});
        // All eight lot kinds are enabled, so the n-th enabled kind is n - 1.
        const int32_t n = mirror.next() % 8 + 1;
        const int32_t rotation = mirror.next() % 4;
        expected.push_back({n - 1, rotation, 0, 0, 0});
        kinds.insert(n - 1);
        rotations.insert(rotation);

        game.advanceQueue();
        std::vector<PieceState> seen{{game.pieceKind, game.pieceRotation, 0, 0, 0}};
        for (const QueuedPiece& q : game.nextPieces) seen.push_back({q.kind, q.rotation, 0, 0, 0});
        ASSERT_EQ(seen, expected) << "call " << call;
    }
    EXPECT_EQ(kinds, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(rotations, (std::set<int32_t>{0, 1, 2, 3}));
}

TEST_F(GameFixture, SpawnPlacesTheNextPieceAboveTheBoardAroundTheMiddle)
{
    for (int kind = 0; kind <= 7; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            const PieceShape& d = pieceShapes[kind][rotation];
            game.nextPieces[0] = QueuedPiece{kind, rotation};
            game.nextPieces[1] = QueuedPiece{7, 2};
            game.fallOffset = 9;
            game.spawnPiece();
            EXPECT_EQ(pieceState(game), (PieceState{kind, rotation, -d.height, 5 - d.width / 2, 0}));
            EXPECT_EQ(game.nextPieces[0].kind, 7);
            EXPECT_EQ(game.nextPieces[0].rotation, 2);
        }
    }
    game.nextPieces[0] = QueuedPiece{6, 2};
    game.spawnPiece();
    EXPECT_EQ(pieceState(game), (PieceState{6, 2, -1, 3, 0}));
    game.nextPieces[0] = QueuedPiece{6, 1};
    game.spawnPiece();
    EXPECT_EQ(pieceState(game), (PieceState{6, 1, -4, 5, 0}));
    EXPECT_TRUE(host.sounds.empty());
}
