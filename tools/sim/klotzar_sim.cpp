// Plays whole games with a simple bot on a fake clock, without a screen, and
// prints one line per game.
#include <cstdio>
#include <cstdlib>

#include "bot.h"
#include "game/game.h"

namespace {

struct SimHost : GameHost {
    uint32_t now = 0;
    int32_t lastTotal = 0;
    uint32_t timeGetTime() override { return now; }
    void playSound(const char*) override {}
    void drawLastFrame() override {}
    void enterHighscore(int32_t total) override { lastTotal = total; }
};

struct Result {
    int32_t pieces = 0;
};

// One game: each new piece is turned and shifted into place while it is still
// above the board, then dropped; a little time passes between pieces.
Result play(Game& game, SimHost& host)
{
    Result result;
    game.newGame();
    while (game.playing) {
        host.now += 30;
        game.tick();
        if (!game.playing) break;
        const BotMove move = chooseMove(game);
        for (int i = 0; i < 16 && !steerTowards(game, move); ++i) {
        }
        game.dropToBottom();
        ++result.pieces;
    }
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 5;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;

    SimHost host;
    Settings settings;
    PlayerName name;
    name.set("klotzar-sim");
    Game game(host, settings, name);
    game.random().seed(seed);

    std::printf("%5s %8s %6s %6s %6s %6s %6s  %s\n", "game", "pieces", "lines", "points", "bonus", "total", "speed",
                "settings");
    for (int i = 0; i < games; ++i) {
        settings.Vorbelegung = i % 4 == 3 ? i % 10 : 0;
        settings.modus = i % 5 == 4 ? 2 : 0;
        settings.Vorschauzwei = i % 2;
        const Result r = play(game, host);
        std::printf("%5d %8d %6d %6d %6d %6d %6d  Vorbelegung=%d modus=%d\n", i + 1, r.pieces, game.lines, game.points,
                    game.bonus, host.lastTotal, game.speed, settings.Vorbelegung, settings.modus);
    }
    return 0;
}
