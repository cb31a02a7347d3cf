// Any list the game can hold comes back the same from its file: nine rows with
// scores over the whole 32-bit range and names of up to 20 bytes of 1252
// text, commas and blanks included, read from a file, changed by entered games
// under changing player names, saved and read again.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "highscore/highscore_list.h"
#include "list_rows.h"
#include "scratch_folder.h"
#include "text_1252.h"

namespace {

using Rows = ListRows;

int32_t randomScore(std::mt19937& rng)
{
    switch (rng() % 8) {
    case 0: return INT32_MIN;
    case 1: return INT32_MAX;
    case 2: return static_cast<int32_t>(rng() % 2000) - 1000;
    case 3: return static_cast<int32_t>(rng() % 100000);
    default: return static_cast<int32_t>(rng());
    }
}

}  // namespace

TEST(HighscoreRoundTrip, AnyListSurvivesSaveAndLoad)
{
    constexpr int kLists = 3000;
    ScratchFolder folder;
    const std::string path = folder / "Highscore.zip";
    std::mt19937 rng(1252);
    PlayerName player;
    int changed = 0;
    for (int n = 0; n < kLists; ++n) {
        Rows rows;
        for (int i = 0; i < HighscoreList::kRows; ++i) rows.push_back({randomScore(rng), random1252Text(rng, 20)});
        ASSERT_TRUE(writeBytes(path, listFile(rows)));
        HighscoreList list(player, path);
        ASSERT_EQ(listOf(list), rows) << "list " << n << " as read from its file";

        for (int games = static_cast<int>(rng() % 4); games > 0; --games) {
            player.set(random1252Text(rng, 20));
            const int32_t score = randomScore(rng);
            const Rows before = rows;
            list.insert(score);
            rows = listOf(list);
            ASSERT_EQ(entryFault(before, rows, score, player.str()), "") << "list " << n << " after a game";
            changed += rows != before;
        }

        ASSERT_TRUE(list.save());
        ASSERT_EQ(readBytes(path), listFile(rows)) << "list " << n;
        ASSERT_EQ(listOf(HighscoreList(player, path)), rows) << "list " << n << " read back";
    }
    EXPECT_GT(changed, kLists / 2);  // the entered games did reach the lists
}
