#include "recorded_games.h"

#include <gtest/gtest.h>

#include "bot.h"
#include "race/race.h"
#include "route_planner.h"

namespace {

constexpr uint32_t kKeyGap = 35;  // ms between two presses of a quick player

std::string settingsFile(int vorbelegung, int zielhilfe, int vorschauzwei, int modus)
{
    return "[Optionen]\r\nVorbelegung=" + std::to_string(vorbelegung) + "\r\nZielhilfe=" + std::to_string(zielhilfe) +
           "\r\nVorschauzwei=" + std::to_string(vorschauzwei) + "\r\nMusik=0\r\nmodus=" + std::to_string(modus) +
           "\r\n";
}

DriverSetup setupWith(const std::string& settings, const std::string& name = "Tester")
{
    DriverSetup setup;
    setup.name = name;
    setup.files = {{"Data/ini.ini", settings}};
    return setup;
}

// From the title screen into a game whose pieces come from `seed`.
void startGame(Driver& d, uint32_t seed)
{
    d.idle();
    d.app().game.random().seed(seed);
    d.key(Key::Enter);
    ASSERT_TRUE(d.app().game.playing) << "no game started";
}

void press(Driver& d, Key key, int times = 1)
{
    for (int i = 0; i < times && d.app().game.playing; ++i) {
        d.press(key);
        d.advance(kKeyGap);
    }
}

bool running(Driver& d)
{
    return d.app().game.playing;
}

// Turns and shifts the falling piece with keys to the place the move names.
void steer(Driver& d, const BotMove& move)
{
    Game& g = d.app().game;
    for (int i = 0; i < 4 && running(d) && g.pieceRotation != move.rotation; ++i) press(d, Key::Up);
    for (int i = 0; i < 10 && running(d) && g.pieceColumn != move.column; ++i)
        press(d, g.pieceColumn < move.column ? Key::Right : Key::Left);
}

// The piece where the bot wants it, then down: hard, or soft drops until it
// is the next piece's turn.
void botPiece(Driver& d, bool hard)
{
    Game& g = d.app().game;
    steer(d, chooseMove(g));
    if (hard) {
        press(d, Key::Ctrl);
        return;
    }
    const int32_t kind = g.pieceKind;
    const int32_t before = g.points;
    for (int i = 0; i < 30 && running(d) && g.points == before && g.pieceKind == kind; ++i) press(d, Key::Down);
}

void ctrlUntilOver(Driver& d)
{
    for (int i = 0; i < 200 && running(d); ++i) {
        press(d, i % 3 == 0 ? Key::Left : Key::Right, i % 4);
        press(d, Key::Ctrl);
        d.advance(60);
    }
    EXPECT_FALSE(running(d)) << "the game did not end";
}

// Where a shape dropped in `column` comes to rest; kRows when it cannot enter.
int32_t landingRow(const Game& g, const PieceShape& s, int32_t column)
{
    auto fits = [&](int32_t row) {
        for (int32_t i = 0; i < s.height; ++i)
            for (int32_t j = 0; j < s.width; ++j)
                if (s.cells[i][j] && (row + i >= kRows || (row + i >= 0 && g.board[row + i][column + j] != 0)))
                    return false;
        return true;
    };
    int32_t row = -s.height;
    if (!fits(row)) return kRows;
    while (fits(row + 1)) ++row;
    return row;
}

// How good the board is after a placement, for a stack with a well in the
// right column: no holes, low and flat; rows full up to the well are fine.
// Sets `rows` to the rows the placement itself would clear.
int32_t wellScore(const Game& g, const PieceShape& s, int32_t column, int32_t& rows)
{
    const int32_t row = landingRow(g, s, column);
    rows = 0;
    if (row == kRows || row < 0) return -1000000;
    int32_t board[kRows][kColumns];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) board[r][c] = g.board[r][c];
    for (int32_t i = 0; i < s.height; ++i)
        for (int32_t j = 0; j < s.width; ++j)
            if (s.cells[i][j]) board[row + i][column + j] = 1;
    int32_t holes = 0, height = 0, bumps = 0, previous = -1;
    for (int c = 0; c < kColumns; ++c) {
        int32_t top = 0;
        for (int r = 0; r < kRows; ++r) {
            if (board[r][c] != 0 && top == 0) top = kRows - r;
            if (board[r][c] == 0 && top != 0) ++holes;
        }
        if (c == kColumns - 1) {
            if (top > 0) height += 40;  // the well stays open
            continue;
        }
        height += top;
        if (previous >= 0) bumps += top > previous ? top - previous : previous - top;
        previous = top;
    }
    for (int r = 0; r < kRows; ++r) {
        bool full = true;
        for (int c = 0; c < kColumns; ++c) full = full && board[r][c] != 0;
        rows += full;
    }
    return -holes * 80 - height * 4 - bumps * 6;
}

// Builds the stack beside an empty right column and fills that well when a
// piece clears four rows there.
void wellPiece(Driver& d)
{
    Game& g = d.app().game;
    BotMove best{g.pieceRotation, g.pieceColumn};
    int32_t bestScore = -2000000;
    for (int32_t rotation = 0; rotation < kRotations; ++rotation) {
        const PieceShape& s = pieceShapes[g.pieceKind][rotation];
        for (int32_t column = 0; column + s.width <= kColumns; ++column) {
            int32_t rows = 0;
            int32_t score = wellScore(g, s, column, rows);
            if (rows >= 4) score += 100000;
            if (score > bestScore) {
                bestScore = score;
                best = BotMove{rotation, column};
            }
        }
    }
    steer(d, best);
    press(d, Key::Ctrl);
}

// The car along a route the planner found through the shipped levels.
void driveRace(Driver& d)
{
    Game& g = d.app().game;
    const RaceState& race = d.app().race;
    const Route route = planRoute(g, race, 2);
    ASSERT_TRUE(route.found) << route.describeFailure();
    for (size_t k = 0; k < route.legs.size() && running(d); ++k) {
        const std::vector<CarPosition>& leg = route.legs[k];
        for (size_t m = 1; m < leg.size(); ++m) {
            const CarPosition& to = leg[m];
            const Key key = to.row < g.pieceRow         ? Key::Up
                            : to.row > g.pieceRow       ? Key::Down
                            : to.column < g.pieceColumn ? Key::Left
                                                        : Key::Right;
            d.press(key);
            d.idle();
        }
        if (k + 1 == route.legs.size()) break;
        const int32_t before = race.racePoints;
        for (int i = 0; i < 50 && running(d) && race.racePoints == before; ++i) d.advance(5);
    }
    for (int i = 0; i < 1000 && running(d); ++i) d.advance(20);
}

std::vector<GameScript> makeScripts()
{
    std::vector<GameScript> s;
    s.push_back({"classic-game-over",
                 "the plain game with the landing guide, soft drops, to a game over that enters the list",
                 setupWith(settingsFile(0, 1, 0, 1)), [](Driver& d) {
                     startGame(d, 7);
                     for (int i = 0; i < 12 && running(d); ++i) botPiece(d, false);
                     ctrlUntilOver(d);
                 }});
    s.push_back({"shifting-abandoned", "the variant that shifts the board, hard drops, abandoned with Esc",
                 setupWith(settingsFile(0, 1, 0, 2)), [](Driver& d) {
                     startGame(d, 11);
                     for (int i = 0; i < 15 && running(d); ++i) botPiece(d, true);
                     d.advance(300);
                     press(d, Key::Escape);
                 }});
    s.push_back({"shifting-game-over", "the shifting variant with two previews, played to its end",
                 setupWith(settingsFile(0, 0, 1, 2)), [](Driver& d) {
                     startGame(d, 12);
                     for (int i = 0; i < 8 && running(d); ++i) botPiece(d, i % 2 == 0);
                     ctrlUntilOver(d);
                 }});
    s.push_back({"prefill", "nine rows filled at the start, the bot clears some, then hard drops to the end",
                 setupWith(settingsFile(9, 1, 0, 1)), [](Driver& d) {
                     startGame(d, 21);
                     for (int i = 0; i < 20 && running(d); ++i) botPiece(d, true);
                     ctrlUntilOver(d);
                 }});
    s.push_back({"guide-two-previews", "landing guide and two previews; abandoned with a right click",
                 setupWith(settingsFile(0, 1, 1, 0)), [](Driver& d) {
                     startGame(d, 33);
                     for (int i = 0; i < 18 && running(d); ++i) botPiece(d, i % 3 != 0);
                     d.rightClick(400, 300);
                     d.idle();
                 }});
    s.push_back({"gravity-only", "no guide, one preview, no keys at all: the pieces fall to the end",
                 setupWith(settingsFile(0, 0, 0, 0)), [](Driver& d) {
                     startGame(d, 44);
                     for (int i = 0; i < 20000 && running(d); ++i) d.advance(25);
                     EXPECT_FALSE(running(d));
                 }});
    s.push_back({"turns-at-walls", "pieces turned both ways against the left and the right wall, then dropped",
                 setupWith(settingsFile(0, 1, 0, 1)), [](Driver& d) {
                     startGame(d, 55);
                     for (int i = 0; i < 10 && running(d); ++i) {
                         const bool left = i % 2 == 0;
                         d.advance(300);  // into the playfield first
                         press(d, left ? Key::Left : Key::Right, 6);
                         press(d, Key::Space, 3);
                         press(d, Key::Up, 2);
                         press(d, left ? Key::Left : Key::Right, 2);
                         press(d, Key::Space);
                         press(d, i % 3 == 0 ? Key::Down : Key::Ctrl);
                         if (i % 3 == 0) press(d, Key::Ctrl);
                     }
                     d.advance(200);
                     press(d, Key::Escape);
                 }});
    s.push_back({"four-rows", "a stack beside a well, filled by a piece that clears four rows at once",
                 setupWith(settingsFile(0, 1, 1, 1)), [](Driver& d) {
                     startGame(d, 4);
                     for (int i = 0; i < 80 && running(d) && d.app().game.bonus == 0; ++i) wellPiece(d);
                     EXPECT_GT(d.app().game.bonus, 0) << "no four rows were cleared";
                     d.advance(400);
                     press(d, Key::Escape);
                 }});
    s.push_back({"pause", "a pause of three seconds with a shift while paused, then the game goes on and is abandoned",
                 setupWith(settingsFile(0, 1, 0, 1)), [](Driver& d) {
                     startGame(d, 66);
                     for (int i = 0; i < 3 && running(d); ++i) botPiece(d, false);
                     d.advance(150);
                     press(d, Key::Pause);
                     d.advance(3000);
                     press(d, Key::Left);
                     press(d, Key::Up);  // does nothing while paused
                     press(d, Key::Pause);
                     for (int i = 0; i < 4 && running(d); ++i) botPiece(d, true);
                     d.advance(700);
                     press(d, Key::Escape);
                 }});
    s.push_back({"bonus-name", "a name with the start bonus, played to a game over that enters the list",
                 setupWith(settingsFile(2, 1, 0, 1), "oxus Qelin"), [](Driver& d) {
                     startGame(d, 77);
                     for (int i = 0; i < 10 && running(d); ++i) botPiece(d, true);
                     ctrlUntilOver(d);
                 }});
    s.push_back({"window-closed", "pointer moves and clicks during a game, then the window is closed",
                 setupWith(settingsFile(0, 1, 0, 1)), [](Driver& d) {
                     startGame(d, 88);
                     for (int i = 0; i < 4 && running(d); ++i) {
                         botPiece(d, true);
                         d.move(100 + 50 * i, 380);
                         d.click(400, 400);  // no effect in a game
                         d.advance(80);
                     }
                     d.advance(500);
                     d.closeWindow();
                 }});
    s.push_back({"race-crash", "a race in which the car stands still: it crashes until its lives are gone",
                 setupWith(settingsFile(0, 1, 0, 3)), [](Driver& d) {
                     startGame(d, 1);
                     for (int i = 0; i < 40000 && running(d); ++i) d.advance(20);
                     EXPECT_FALSE(running(d)) << "the race did not end";
                     EXPECT_EQ(d.app().race.lives, 0);
                 }});
    s.push_back({"race-finish", "a race driven through all levels to the finish", setupWith(settingsFile(0, 1, 0, 3)),
                 [](Driver& d) {
                     startGame(d, 1);
                     driveRace(d);
                     EXPECT_TRUE(raceWon(d.app().race)) << "the race was not won";
                 }});
    return s;
}

}  // namespace

const std::vector<GameScript>& gameScripts()
{
    static const std::vector<GameScript> scripts = makeScripts();
    return scripts;
}

std::string recordScript(const GameScript& script)
{
    Driver d(script.setup);
    script.play(d);
    if (!d.app().quitPosted()) d.idle();
    d.finish();  // a closed window's game is written at shutdown
    if (!d.fileExists("Replays/last.txt")) {
        ADD_FAILURE() << script.name << ": the game wrote no replay";
        return "";
    }
    return d.readFile("Replays/last.txt");
}
