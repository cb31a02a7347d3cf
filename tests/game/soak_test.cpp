#include <algorithm>
#include <memory>

#include "game_test_support.h"

// Thousands of games played on the fake clock by a careless player, with
// pre-filled boards and the shifting mode among them. Every operation must
// leave the board consistent, and every game must end and be entered once.
TEST(Soak, RandomGamesKeepTheBoardConsistentAndEnd)
{
    constexpr int kGames = 3000;
    constexpr int kMaxOperations = 200000;
    auto session = std::make_unique<Session>();
    Game& game = session->game;
    RecordingHost& host = session->host;
    std::mt19937 rng(20240917);
    long operations = 0;
    int shifting = 0;
    int prefilled = 0;
    long linesCleared = 0;
    long fourRowClears = 0;
    for (int n = 0; n < kGames; ++n) {
        session->settings.modus = static_cast<int32_t>(rng() % 3);
        session->settings.Vorbelegung = rng() % 4 == 0 ? static_cast<int32_t>(rng() % 12) : 0;
        session->settings.Vorschauzwei = static_cast<int32_t>(rng() % 2);
        shifting += session->settings.modus == 2;
        prefilled += session->settings.Vorbelegung > 0;
        game.random().seed(static_cast<uint32_t>(rng()));
        Bot bot(static_cast<uint32_t>(rng()), static_cast<int32_t>(rng() % 100));
        game.newGame();
        ASSERT_EQ(invariantFault(game), "") << "game " << n << " at its start";
        const size_t entries = host.highscores.size();
        int op = 0;
        while (game.playing == 1) {
            ASSERT_LT(++op, kMaxOperations) << "game " << n << " does not end";
            const std::string action = bot.step(*session);
            const std::string fault = invariantFault(game);
            ASSERT_EQ(fault, "") << "game " << n << ", operation " << op << ": " << action;
        }
        operations += op;
        ASSERT_EQ(host.highscores.size(), entries + 1) << "game " << n;
        EXPECT_EQ(host.highscores.back(), game.points + game.lines + game.bonus);
        EXPECT_EQ(host.lastFrames, static_cast<int>(host.highscores.size()));
        EXPECT_FALSE(game.previewBoxesActive);
        EXPECT_EQ(host.gameOvers, static_cast<int>(host.highscores.size()));
        linesCleared += game.lines;
        fourRowClears += std::count(host.sounds.begin(), host.sounds.end(), "klatsch.wav");
        host.sounds.clear();
    }
    EXPECT_GT(shifting, kGames / 4);
    EXPECT_GT(prefilled, kGames / 8);
    EXPECT_GT(linesCleared, 1000) << "the games should clear rows often";
    RecordProperty("operations", static_cast<int>(operations));
    RecordProperty("lines", static_cast<int>(linesCleared));
    RecordProperty("fourRowClears", static_cast<int>(fourRowClears));
}
