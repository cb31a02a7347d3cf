#include <gtest/gtest.h>

#include "rules_soak.h"

// The short soak: a few thousand games. `make soak` plays a hundred thousand.
TEST(RulesSoak, BotGamesOverAllSettingsKeepTheRules)
{
    const SoakReport r = playSoak(2024, 3000);
    ASSERT_EQ(r.fault, "");
    EXPECT_EQ(r.games, 3000);
    // The mix did reach every kind of game it is meant to.
    EXPECT_GT(r.prefilledGames, 1000);
    EXPECT_GT(r.shiftingGames, 500);
    EXPECT_GT(r.bonusGames, 500);
    EXPECT_GT(r.clockWraps, 100);
    EXPECT_GT(r.hugeGaps, 100);
    EXPECT_GT(r.longestGame, 300);
    EXPECT_GT(r.lines, 10000);
    RecordProperty("pieces", static_cast<int>(r.pieces));
}
