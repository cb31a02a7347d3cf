// The look-ahead driver against tracks whose way through is known, so that
// it can be trusted with the levels the game ships.
#include "race_fixture.h"
#include "route_planner.h"

namespace {

using RouteTest = RaceTest;

// Two key presses per row, so a leg can hold more than one move.
constexpr int32_t kMovesPerRow = 2;

// Every 12th row a wall with a gap of three, the gap wandering from side to
// side, and a lone block in the middle of the way between the walls.
int32_t slalom(int32_t level, int32_t r, int32_t c)
{
    if (r % 12 == 0) {
        const int32_t gap = (r / 12 * 5 + level * 3) % 8;
        return c >= gap && c < gap + 3 ? 0 : level;
    }
    if (r % 12 == 6 && c == (r / 12 * 7 + level) % 10) return 7;
    return 0;
}

TEST_F(RouteTest, TheCarFindsItsWayThroughFiveLevelsAndWins)
{
    for (int32_t level = 1; level <= kLastLevel; ++level)
        writeLevel(level, [level](int32_t r, int32_t c) { return slalom(level, r, c); });
    startRaceGame();
    const Route route = planRoute(game, state, kMovesPerRow);
    ASSERT_TRUE(route.found) << route.describeFailure();
    EXPECT_EQ(route.legs.size(), size_t{5 * kLevelAdvances + 1});
    size_t longestLeg = 0;
    for (const auto& leg : route.legs) longestLeg = std::max(longestLeg, leg.size());
    EXPECT_EQ(longestLeg, size_t{kMovesPerRow + 1});
    // The walls swing too fast for one press per row.
    EXPECT_FALSE(planRoute(game, state, 1).found);

    const DriveResult drive = driveRoute(game, state, host.now, route);
    EXPECT_EQ(drive.trouble, "");
    EXPECT_EQ(drive.crashes, 0);
    EXPECT_EQ(drive.advances, 5 * kLevelAdvances);
    EXPECT_TRUE(drive.won);
    EXPECT_EQ(state.statusText, "Ziel erreicht!");
}

TEST_F(RouteTest, AClosedWallIsReportedWhereItStands)
{
    writeLevel(1, [](int32_t r, int32_t c) { return slalom(1, r, c); });
    writeLevel(2, [](int32_t r, int32_t c) { return r == 200 ? 1 : slalom(2, r, c); });
    startRaceGame();
    const Route route = planRoute(game, state, kMovesPerRow);
    ASSERT_FALSE(route.found);
    // Board row i shows track row 280 + i - trackScroll: the wall comes down
    // to row 16, the lowest the car's top can go, at trackScroll 96.
    EXPECT_EQ(route.failedLevel, 2);
    EXPECT_EQ(route.failedScroll, 96);
}

}  // namespace
