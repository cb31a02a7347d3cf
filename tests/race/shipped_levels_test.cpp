// The five levels the game ships can be driven to their end without a crash.
#include <filesystem>

#include "race_fixture.h"
#include "route_planner.h"

namespace {

// One key press per row: ten a second at the start of a level.
constexpr int32_t kMovesPerRow = 1;

std::filesystem::path shippedLevel(int32_t level)
{
    return std::filesystem::path(KLOTZAR_LEVEL_DIR) / (std::to_string(level) + ".dat");
}

class ShippedLevelTest : public RaceTest, public ::testing::WithParamInterface<int32_t> {
protected:
    // Puts shipped level `level` into the working directory as level `as`.
    static void install(int32_t level, int32_t as)
    {
        ASSERT_TRUE(std::filesystem::exists(shippedLevel(level))) << shippedLevel(level) << " was not generated";
        std::filesystem::copy_file(shippedLevel(level), std::to_string(as) + ".dat");
    }

    void expectDrivenToTheEnd(const std::string& what)
    {
        startRaceGame();
        const Route route = planRoute(game, state, kMovesPerRow);
        ASSERT_TRUE(route.found) << what << ": " << route.describeFailure();
        const DriveResult drive = driveRoute(game, state, host.now, route);
        EXPECT_EQ(drive.trouble, "") << what;
        EXPECT_EQ(drive.crashes, 0) << what;
        EXPECT_TRUE(drive.won) << what;
    }
};

TEST_P(ShippedLevelTest, LevelCanBeDrivenWithoutACrash)
{
    const int32_t level = GetParam();
    ASSERT_NO_FATAL_FAILURE(install(level, 1));
    // The file is read to its end: the half the car meets first holds
    // blocks to dodge, not an empty road.
    loadTrack(state, "1.dat");
    int32_t blocks = 0;
    for (int32_t r = kTrackRows / 2; r < kTrackRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c)
            if (state.trackCell(r, c) != 0) ++blocks;
    EXPECT_GT(blocks, 100) << "level " << level;
    expectDrivenToTheEnd("level " + std::to_string(level));
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLevelTest, ::testing::Values(1, 2, 3, 4, 5));

TEST_F(ShippedLevelTest, TheWholeRaceCanBeWon)
{
    for (int32_t level = 1; level <= kLastLevel; ++level) ASSERT_NO_FATAL_FAILURE(install(level, level));
    expectDrivenToTheEnd("the race");
    EXPECT_EQ(state.level, kLastLevel);
    EXPECT_EQ(state.statusText, "Ziel erreicht!");
}

}  // namespace
