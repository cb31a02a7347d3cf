#include "rules_soak.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bot.h"
#include "game/game.h"
#include "recording_host.h"

namespace {

// The score values, as they stood before an operation or after a lock.
struct Scores {
    int32_t points;
    int32_t lines;
    int32_t bonus;
    int32_t speed;
};

Scores scoresOf(const Game& game)
{
    return {game.points, game.lines, game.bonus, game.speed};
}

// The shared session, which also notes the scores right after each lock:
// every lock that does not end the game plays "down.wav", and the one that
// ends it draws the last frame.
struct World : Session {
    std::vector<Scores> afterLocks;
    bool gameOverBeforeTotal = false;  // the shell must find the total entered
    World()
    {
        host.onEvent = [this](const std::string& event) {
            if (event == "down.wav" || event == "lastFrame") afterLocks.push_back(scoresOf(game));
            if (event == "gameOver" && host.highscores.empty()) gameOverBeforeTotal = true;
        };
    }
};

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string at(const char* what, int32_t a, int32_t b = INT32_MIN)
{
    std::string text = std::string(what) + " " + std::to_string(a);
    if (b != INT32_MIN) text += " " + std::to_string(b);
    return text;
}

// The board, the falling piece and the queue as the rules must keep them.
std::string boardFault(const Game& g)
{
    for (int32_t r = 0; r < kRows; ++r) {
        int32_t blocks = 0;
        for (int32_t c = 0; c < kColumns; ++c) {
            if (g.board[r][c] < 0 || g.board[r][c] > 8) return at("a cell value out of 1..8 in row, column", r, c);
            blocks += g.board[r][c] != 0;
        }
        if (g.rowFill[r] != blocks) return at("rowFill differs from the row's blocks in row", r, g.rowFill[r]);
    }
    for (const QueuedPiece& next : g.nextPieces)
        if (next.kind < 0 || next.kind > 7 || next.rotation < 0 || next.rotation > 3)
            return at("a queued piece out of range", next.kind, next.rotation);
    if (g.speed < 41) return at("speed below 41:", g.speed);
    if (!g.playing) return "";

    if (g.pieceKind < 0 || g.pieceKind > 7 || g.pieceRotation < 0 || g.pieceRotation > 3)
        return at("the falling piece out of range", g.pieceKind, g.pieceRotation);
    if (g.fallOffset < 0 || g.fallOffset > 24) return at("fallOffset out of 0..24:", g.fallOffset);
    const PieceShape& s = g.shape();
    if (g.pieceColumn < 0 || g.pieceColumn + s.width > kColumns)
        return at("the piece left the walls at column", g.pieceColumn);
    // A new piece starts wholly above the board, at most four rows up; turns
    // move its box by a row at most, within the same bound.
    if (g.pieceRow < -4) return at("the piece rose above the highest start row, to row", g.pieceRow);
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            if (!s.cells[i][j]) continue;
            const int32_t r = g.pieceRow + i;
            const int32_t c = g.pieceColumn + j;
            const int32_t lowest = g.fallOffset > 0 ? r + 1 : r;
            if (lowest >= kRows) return at("the piece reaches below the floor at row", lowest);
            // From 15 pixels down a piece may slide past blocks of the row it leaves.
            if (g.fallOffset < 15 && r >= 0 && g.board[r][c] != 0) return at("the piece overlaps a block at", r, c);
            if (g.fallOffset > 0 && r + 1 >= 0 && g.board[r + 1][c] != 0)
                return at("the sinking piece overlaps a block at", r + 1, c);
        }
    }
    return "";
}

// A lock scores by the rows it cleared: 1, 10, 20, 40 or 80 points, the
// matching lines, a bonus of twice the lines for four, and the speed up by one
// or down while above 50. Nothing else changes the scores.
std::string lockFault(const Scores& was, const Scores& is)
{
    static const int32_t kPoints[] = {1, 10, 20, 40, 80};
    static const int32_t kSlowDown[] = {0, 2, 4, 6, 10};
    const int32_t points = is.points - was.points;
    int32_t k = 0;
    while (k < 5 && kPoints[k] != points) ++k;
    if (k == 5) return at("a lock raised the points by", points);
    if (is.lines - was.lines != k) return at("lines do not match the points:", is.lines - was.lines, points);
    const int32_t bonus = k == 4 ? 2 * is.lines : 0;
    if (is.bonus - was.bonus != bonus) return at("bonus rose by", is.bonus - was.bonus, bonus);
    const int32_t speed = k == 0 ? was.speed + 1 : (was.speed > 50 ? was.speed - kSlowDown[k] : was.speed);
    if (is.speed != speed) return at("speed after the lock, expected", is.speed, speed);
    return "";
}

// Follows the scores through the locks of one operation. A soft drop may lock
// twice: once, and once more when the next piece cannot enter, which ends the game.
std::string scoreFault(const Scores& before, const std::vector<Scores>& afterLocks, const Game& g)
{
    if (afterLocks.size() > 2 || (afterLocks.size() == 2 && g.playing))
        return at("locks in one operation:", static_cast<int32_t>(afterLocks.size()));
    Scores was = before;
    for (const Scores& is : afterLocks) {
        const std::string fault = lockFault(was, is);
        if (!fault.empty()) return fault;
        was = is;
    }
    const Scores now = scoresOf(g);
    if (now.points != was.points || now.lines != was.lines || now.bonus != was.bonus || now.speed != was.speed)
        return "the scores changed without a lock";
    return "";
}

int32_t randomPrefill(std::mt19937& rng)
{
    static const int32_t kBeyond[] = {21, 25, 100, 1000, INT32_MAX, -1, -20, INT32_MIN};
    const unsigned roll = rng() % 10;
    if (roll < 5) return 0;
    if (roll < 9) return static_cast<int32_t>(1 + rng() % 20);
    return kBeyond[rng() % 8];
}

std::string randomName(std::mt19937& rng)
{
    static const char* kNames[] = {"Oxu",
                                   "oXuBert",
                                   "OXUXU",
                                   "Qelin",
                                   "qElInchen",
                                   "QELIN der Gro\xDF"
                                   "e",
                                   "Ox",
                                   "Qeli",
                                   "Oxy",
                                   "Qelim",
                                   "",
                                   "Spieler",
                                   "M\xE4"
                                   "dchen, 12",
                                   " Oxu",
                                   "12345678901234567890"};
    return kNames[rng() % (sizeof kNames / sizeof kNames[0])];
}

uint32_t randomGap(std::mt19937& rng, SoakReport& report)
{
    const unsigned roll = rng() % 200;
    if (roll == 0) {
        ++report.hugeGaps;
        return rng() % 2 ? 0xFFFFFFFFu : 0x80000000u + rng() % 1000;  // the clock stepping back, or 24 days
    }
    if (roll == 1) {
        ++report.hugeGaps;
        return 3600000u * (1 + rng() % 48);  // a laptop asleep for hours
    }
    if (roll < 20) return rng() % 5000;
    return rng() % 40;
}

// How far the falling piece has sunk, in pixel steps.
int64_t pixelHeight(const Game& g)
{
    return int64_t{g.pieceRow} * 25 + g.fallOffset;
}

class Player {
public:
    Player(World& world, std::mt19937& rng, SoakReport& report) : w_(world), rng_(rng), report_(report) {}

    // The bot's skill lasts `skilledPieces` pieces; then the hand turns random,
    // which ends any game within a few dozen pieces.
    std::string play(long skilledPieces)
    {
        Game& g = w_.game;
        long pieces = 0;
        long operations = 0;
        bool newPiece = true;
        BotMove target;
        int steering = 0;
        const uint32_t start = w_.host.now;
        bool wrapped = false;
        while (g.playing) {
            if (++operations > kMostOperations)
                return "the game did not end within " + std::to_string(kMostOperations) + " operations";
            if (pieces > skilledPieces + kMostRandomPieces) return "the random hand did not end the game";
            const bool skilled = pieces < skilledPieces;
            if (newPiece && skilled) {
                target = chooseMove(g);
                steering = 0;
                newPiece = false;
            }
            const Scores was = scoresOf(g);
            w_.afterLocks.clear();
            const std::string what = skilled && rng_() % 10 != 0 ? botMove(target, steering) : randomMove();
            if (!wrapped && w_.host.now < start) {
                wrapped = true;
                ++report_.clockWraps;
            }
            std::string fault = tickFault_;
            if (fault.empty()) fault = boardFault(g);
            if (fault.empty()) fault = scoreFault(was, w_.afterLocks, g);
            if (!fault.empty()) return fault + " (after " + what + ", operation " + std::to_string(operations) + ")";
            if (!w_.afterLocks.empty()) {
                newPiece = true;
                pieces += static_cast<long>(w_.afterLocks.size());
            }
        }
        report_.pieces += pieces;
        report_.operations += operations;
        report_.longestGame = std::max(report_.longestGame, pieces);
        return "";
    }

private:
    static constexpr long kMostOperations = 20000000;
    static constexpr long kMostRandomPieces = 2000;

    std::string botMove(const BotMove& target, int& steering)
    {
        Game& g = w_.game;
        if (steering < 24 && !(g.pieceRotation == target.rotation && g.pieceColumn == target.column)) {
            ++steering;
            steerTowards(g, target);
            return "a steering move";
        }
        const unsigned roll = rng_() % 20;
        if (roll < 12) {
            g.dropToBottom();
            return "a hard drop";
        }
        if (roll < 15) {
            g.dropRow();
            return "a soft drop";
        }
        return tick();
    }

    std::string randomMove()
    {
        Game& g = w_.game;
        switch (rng_() % 20) {
        case 0:
        case 1:
        case 2: g.rotatePiece(+1); return "a turn (+1)";
        case 3:
        case 4: g.rotatePiece(-1); return "a turn (-1)";
        case 5:
        case 6:
        case 7:
        case 8: g.moveSideways(-1); return "a move left";
        case 9:
        case 10:
        case 11:
        case 12: g.moveSideways(+1); return "a move right";
        case 13: g.dropRow(); return "a soft drop";
        case 14: g.dropToBottom(); return "a hard drop";
        case 15: {
            // The pause: the main loop waits and re-stamps the step clock.
            g.paused = true;
            w_.host.now += randomGap(rng_, report_);
            g.resetFallClock();
            g.paused = false;
            return "a pause";
        }
        default: return tick();
        }
    }

    std::string tick()
    {
        Game& g = w_.game;
        const uint32_t gap = randomGap(rng_, report_);
        w_.host.now += gap;
        const int32_t speed = g.speed;
        const int64_t height = pixelHeight(g);
        // speed pixels a second, counted from the step clock; the time not
        // yet worth a whole step is carried over.
        const int64_t d = static_cast<uint32_t>(w_.host.now - g.fallClock) * static_cast<int64_t>(speed);
        const uint32_t clock = d >= 1000 ? w_.host.now - static_cast<uint32_t>(d % 1000 / speed) : g.fallClock;
        const int32_t result = g.tick();
        if (w_.afterLocks.empty()) {
            if (pixelHeight(g) - height != d / 1000) tickFault_ = "the piece did not sink by the steps due";
            if (result != (d >= 1000)) tickFault_ = "tick() reported a step wrongly";
            if (g.fallClock != clock) tickFault_ = "the step clock did not carry the time left over";
        }
        // Unless a lock changed the speed on the way, no whole step is left.
        const uint64_t left = static_cast<uint32_t>(w_.host.now - g.fallClock) * static_cast<uint64_t>(g.speed);
        if (g.playing && g.speed == speed && left >= 1000) tickFault_ = "a whole step was left untaken";
        return "a tick of " + std::to_string(gap) + " ms" + (result == 1 ? "" : " without a step");
    }

    World& w_;
    std::mt19937& rng_;
    SoakReport& report_;
    std::string tickFault_;
};

// Starts a game with random settings and checks where it starts.
std::string startGame(World& w, std::mt19937& rng, SoakReport& report)
{
    static const int32_t kModus[] = {0, 1, 2, 4};
    w.settings.Vorbelegung = randomPrefill(rng);
    w.settings.Vorschauzwei = rng() % 20 == 0 ? static_cast<int32_t>(rng() % 5) - 2 : static_cast<int32_t>(rng() % 2);
    w.settings.modus = kModus[rng() % 4];
    w.name.set(randomName(rng));
    w.host.gameOvers = 0;
    w.gameOverBeforeTotal = false;
    w.host.now = rng() % 4 == 0 ? 0xFFFFFFFFu - rng() % 60000 : static_cast<uint32_t>(rng());
    w.host.highscores.clear();
    w.host.sounds.clear();
    w.afterLocks.clear();
    w.host.lastFrames = 0;
    w.game.random().seed(static_cast<uint32_t>(rng()));
    w.game.newGame();

    const Game& g = w.game;
    const bool prefilled = w.settings.Vorbelegung > 0;
    const int32_t rows = prefilled ? std::min(w.settings.Vorbelegung, kRows) : 0;
    const bool bonus = startsWithIgnoringCase(g.playerName.str(), "oxu") ||
                       startsWithIgnoringCase(g.playerName.str(), "qelin");
    report.prefilledGames += prefilled;
    report.shiftingGames += w.settings.modus == 2;
    report.bonusGames += bonus;
    if (!g.playing || !g.previewBoxesActive) return "the new game is not running";
    if (g.points != 30 * rows || g.lines != 0 || g.speed != 50)
        return at("the new game starts with points, speed", g.points, g.speed);
    if (g.bonus != (bonus ? 200 : 0))
        return "the start bonus is " + std::to_string(g.bonus) + " for \"" + g.playerName.str() + "\"";
    if (g.previewCount != (w.settings.Vorschauzwei == 1 ? 2 : 1)) return at("previewCount", g.previewCount);
    for (int32_t r = 0; r < kRows - rows; ++r)
        if (g.rowFill[r] != 0) return at("a block above the pre-filled rows in row", r);
    return boardFault(g);
}

// A game over hands the total to the high-score list once, after its last frame.
std::string endFault(const World& w)
{
    const Game& g = w.game;
    if (w.host.highscores.size() != 1)
        return at("totals entered at the game over:", static_cast<int32_t>(w.host.highscores.size()));
    if (w.host.lastFrames != 1) return at("last frames drawn:", w.host.lastFrames);
    if (w.host.highscores[0] != g.points + g.lines + g.bonus || g.total != w.host.highscores[0])
        return at("the entered total differs from points + lines + bonus", w.host.highscores[0]);
    if (g.previewBoxesActive || w.host.gameOvers != 1 || w.gameOverBeforeTotal)
        return "the game over did not hand over to the high-score screen";
    return "";
}

}  // namespace

SoakReport playSoak(uint32_t seed, long games)
{
    SoakReport report;
    std::mt19937 rng(seed);
    auto world = std::make_unique<World>();
    for (long n = 0; n < games; ++n) {
        // Most games end early on purpose; some let the bot play long. The
        // bot's search is most of the soak's time.
        const long skilled = rng() % 16 == 0 ? static_cast<long>(rng() % 600) : static_cast<long>(rng() % 20);
        std::string fault = startGame(*world, rng, report);
        if (fault.empty()) fault = Player(*world, rng, report).play(skilled);
        if (fault.empty()) fault = endFault(*world);
        report.lines += world->game.lines;
        ++report.games;
        if (!fault.empty()) {
            report.fault = "game " + std::to_string(n) + " of seed " + std::to_string(seed) + ": " + fault;
            break;
        }
    }
    return report;
}
