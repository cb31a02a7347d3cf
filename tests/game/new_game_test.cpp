#include <algorithm>
#include <memory>
#include <random>

#include "bot.h"
#include "game_test_support.h"

namespace {

// One operation of a player who mostly steers the bot's way and now and then
// slips; from the thirtieth line on it only drops, so every game ends. The
// same roll gives the same operation in the same game.
std::string carelessStep(Session& session, uint32_t roll)
{
    Game& game = session.game;
    const uint32_t choice = roll % 100;
    if (choice < 60 && game.lines < 30) {
        if (!steerTowards(game, chooseMove(game))) return "a steering move";
        game.dropToBottom();
        return "a hard drop in the bot's place";
    }
    if (choice < 70) {
        game.moveSideways(roll & 0x100 ? -1 : +1);
        return "a slip sideways";
    }
    if (choice < 78) {
        game.rotatePiece(roll & 0x100 ? -1 : +1);
        return "a slip turning";
    }
    if (choice < 88) {
        game.dropRow();
        return "a soft drop";
    }
    if (choice < 94) {
        game.dropToBottom();
        return "a hard drop";
    }
    session.host.now += (roll >> 8) % 400;
    game.tick();
    return "a tick";
}

// What a new game draws from a generator seeded with seed: the pre-filled
// cells, then six pieces, the first of which falls.
struct Start {
    Picture board = fromBottom({});
    QueuedPiece falling;
    QueuedPiece queue[kQueueLength];
};

Start replayStart(uint32_t seed, int32_t rows)
{
    Random random;
    random.seed(seed);
    Start start;
    for (int32_t i = 0; i < 5 * rows; ++i) {
        const int32_t row = 19 - random.next() % rows;
        const int32_t column = random.next() % 10;
        if (start.board[row][column] == '.') start.board[row][column] = static_cast<char>('1' + random.next() % 7);
    }
    for (int i = 0; i < 6; ++i) {
        start.falling = start.queue[0];
        std::copy(start.queue + 1, start.queue + kQueueLength, start.queue);
        const int32_t kind = random.next() % 8;
        start.queue[kQueueLength - 1] = QueuedPiece{kind, random.next() % 4};
    }
    return start;
}

}  // namespace

TEST_F(GameFixture, NewGamePrefillsTheBottomRowsFromItsDraws)
{
    const int32_t cases[][3] = {
        // Vorbelegung, rows filled, points
        {9, 9, 270}, {1, 1, 30}, {20, 20, 600}, {25, 20, 600}, {0, 0, 0}, {-3, 0, 0},
    };
    for (const auto& c : cases) {
        for (uint32_t seed = 1; seed <= 25; ++seed) {
            SCOPED_TRACE("Vorbelegung " + std::to_string(c[0]) + ", seed " + std::to_string(seed));
            settings.Vorbelegung = c[0];
            game.random().seed(seed);
            game.newGame();
            const Start expected = replayStart(seed, c[1]);
            const Picture board = picture(game);
            ASSERT_EQ(board, expected.board);
            int32_t blocks = 0;
            for (int r = 0; r < kRows; ++r) {
                blocks += static_cast<int32_t>(kColumns - std::count(board[r].begin(), board[r].end(), '.'));
                if (r < kRows - c[1]) {
                    EXPECT_EQ(game.rowFill[r], 0) << "row " << r;
                }
            }
            EXPECT_LE(blocks, 5 * c[1]);
            EXPECT_EQ(invariantFault(game), "");
            EXPECT_EQ(game.prefillRows, c[1]);
            EXPECT_EQ(game.points, c[2]);
            EXPECT_EQ(game.pieceKind, expected.falling.kind);
            EXPECT_EQ(game.pieceRotation, expected.falling.rotation);
            for (int i = 0; i < kQueueLength; ++i) {
                EXPECT_EQ(game.nextPieces[i].kind, expected.queue[i].kind) << "queue entry " << i;
                EXPECT_EQ(game.nextPieces[i].rotation, expected.queue[i].rotation) << "queue entry " << i;
            }
        }
    }
}

TEST_F(GameFixture, NewGameStartsFromAFreshState)
{
    setCell(3, 3, 4);
    game.points = game.lines = game.bonus = game.total = 9;
    game.speed = 77;
    game.fallOffset = 12;
    game.paused = true;
    host.now = 123456;

    game.newGame();
    EXPECT_EQ(picture(game), fromBottom({}));
    EXPECT_EQ(invariantFault(game), "");
    EXPECT_TRUE(game.playing);
    EXPECT_TRUE(game.previewBoxesActive);
    EXPECT_FALSE(game.paused);
    EXPECT_EQ(scoreOf(game), (Score{0, 0, 0, 50}));
    EXPECT_EQ(game.total, 0);
    EXPECT_EQ(game.fallClock, 123456u);
    EXPECT_EQ(game.fallOffset, 0);
    EXPECT_EQ(game.pieceRow, -game.shape().height);
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_TRUE(host.highscores.empty());
}

TEST_F(GameFixture, NewGameShowsASecondPreviewOnlyForExactlyOne)
{
    for (const auto& [setting, previews] : {std::pair{1, 2}, std::pair{0, 1}, std::pair{2, 1}, std::pair{-1, 1}}) {
        settings.Vorschauzwei = setting;
        game.newGame();
        EXPECT_EQ(game.previewCount, previews) << "Vorschauzwei " << setting;
    }
}

TEST_F(GameFixture, NewGameGivesTheStartBonusForTwoNamePrefixes)
{
    const std::pair<const char*, int32_t> names[] = {
        {"Oxu", 200}, {"oXUberto", 200}, {"OXU", 200}, {"Qelin", 200}, {"qELINa", 200}, {"QELIN x", 200},
        {"Ox", 0},    {"Qeli", 0},       {"", 0},      {"Max", 0},     {" Oxu", 0},     {"Qelni", 0},
    };
    for (const auto& [text, bonus] : names) {
        name.set(text);
        game.bonus = 7;
        game.newGame();
        EXPECT_EQ(game.bonus, bonus) << "name \"" << text << "\"";
    }
}

TEST(NewGameModus, ZeroAndOnePlayTheSameGame)
{
    auto zero = std::make_unique<Session>();
    auto one = std::make_unique<Session>();
    zero->settings.modus = 0;
    one->settings.modus = 1;
    for (Session* s : {zero.get(), one.get()}) s->settings.Vorbelegung = 4;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        std::mt19937 rng(seed);
        for (Session* s : {zero.get(), one.get()}) {
            s->game.random().seed(seed * 7919);
            s->game.newGame();
        }
        for (int op = 0; zero->game.playing && op < 100000; ++op) {
            const uint32_t roll = static_cast<uint32_t>(rng());
            const std::string action = carelessStep(*zero, roll);
            carelessStep(*one, roll);
            ASSERT_EQ(picture(zero->game), picture(one->game)) << "game " << seed << " after " << action;
            ASSERT_EQ(zero->game.pieceKind, one->game.pieceKind);
            ASSERT_EQ(zero->game.pieceRow, one->game.pieceRow);
            ASSERT_EQ(zero->game.pieceColumn, one->game.pieceColumn);
            ASSERT_EQ(zero->game.fallOffset, one->game.fallOffset);
            ASSERT_EQ(zero->game.playing, one->game.playing);
        }
        EXPECT_FALSE(zero->game.playing);
        EXPECT_EQ(zero->host.highscores, one->host.highscores);
        EXPECT_EQ(zero->host.sounds, one->host.sounds);
    }
}
