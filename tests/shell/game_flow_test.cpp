// Games played through the real event handling and main-loop timing: start,
// drops, game over into the high-score list, abandoning, pausing, and the
// game frame with its status line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "driver.h"
#include "list_rows.h"

namespace {

constexpr uint32_t kPausePixel = 0xDC8500;   // RGB(220, 133, 0)
constexpr uint32_t kStatusPixel = 0xA0C8C8;  // RGB(160, 200, 200)
constexpr uint32_t kListPixel = 0x5048F8;    // RGB(80, 72, 248)
constexpr uint32_t kNewRowPixel = 0xC81E1E;  // RGB(200, 30, 30): the row just entered, and the result line
const Rect kResultLine{400, 568, 740, 592};
const Rect kPauseArea{110, 285, 260, 330};
const Rect kStatusArea{0, 0, 400, 20};

const ListRows kSeeded = {{500, "Anna"}, {100, "Bert"}, {40, "Carl"}, {20, "Dora"}, {12, "Emil"},
                          {8, "Fritz"},  {5, "Gina"},   {3, "Hans"},  {2, "Ida"}};

void expectList(const App& app, const ListRows& rows, const char* when)
{
    EXPECT_EQ(describe(listOf(app.highscores)), describe(rows)) << when;
}

// The list after a game: kSeeded with the game's total entered for "Tester".
ListRows expectEntered(const App& app, const char* when)
{
    const ListRows rows = listOf(app.highscores);
    EXPECT_EQ(entryFault(kSeeded, rows, app.game.total, "Tester"), "") << when;
    return rows;
}

DriverSetup seededSetup(const std::string& name = "Tester")
{
    DriverSetup setup;
    setup.name = name;
    setup.files = {{"Data/Highscore.zip", listFile(kSeeded)}};
    return setup;
}

int32_t piecePixels(const Game& game)
{
    return game.pieceRow * 25 + game.fallOffset;
}

// Every block on the board is in the frame at its cell.
void expectBoardDrawn(const Driver& d, const App& app)
{
    for (int32_t r = 0; r < 20; ++r) {
        for (int32_t c = 0; c < 10; ++c) {
            const int32_t value = app.game.board[r][c];
            if (value == 0) continue;
            EXPECT_EQ(d.pictureMismatches(app.pictures.blockImage(value), 50 + 25 * c, 50 + 25 * r), 0)
                << "block " << value << " of board cell (" << r << ", " << c << ") not in the frame";
        }
    }
}

// Drops pieces with Ctrl, a little time between presses, until the game ends.
int playToGameOver(Driver& d)
{
    int drops = 0;
    while (d.app().game.playing && drops < 200) {
        d.press(Key::Ctrl);
        ++drops;
        if (!d.app().game.playing) break;
        d.advance(30);
    }
    return drops;
}

// The status line is the only thing drawn over the play surface when a game
// frame is presented: the pixels of the top-left strip that differ from it.
struct StatusLine {
    int32_t pixels = 0;
    int32_t end = -1;          // rightmost such pixel
    bool inItsColour = false;  // some pixel is fully covered in RGB(160, 200, 200)
};

StatusLine statusLine(const Driver& d, const App& app)
{
    StatusLine line;
    const Surface* play = app.pictures.playSurface.get();
    if (!play) return line;
    for (int32_t y = kStatusArea.top; y < kStatusArea.bottom; ++y) {
        for (int32_t x = kStatusArea.left; x < kStatusArea.right; ++x) {
            const uint32_t p = d.pixel(x, y);
            if (p == play->row(y)[x]) continue;
            ++line.pixels;
            line.end = std::max(line.end, x);
            const auto near = [](uint32_t value, uint32_t want) {
                return (value > want ? value - want : want - value) <= 8;
            };
            if (near(p >> 16, kStatusPixel >> 16) && near((p >> 8) & 0xFF, (kStatusPixel >> 8) & 0xFF) &&
                near(p & 0xFF, kStatusPixel & 0xFF))
                line.inItsColour = true;
        }
    }
    return line;
}

// Plays one game to its end after `start` began it, and checks the way to
// the high-score screen and into the list and its file.
void playAndEnter(const std::function<void(Driver&)>& start, const char* how)
{
    SCOPED_TRACE(how);
    ListRows expected;
    {
        Driver d(seededSetup());
        App& app = d.app();
        d.idle();
        start(d);
        ASSERT_TRUE(app.game.playing) << "no game started";
        ASSERT_FALSE(app.shell.highscoreScreen);

        const int32_t spawned = piecePixels(app.game);
        d.advance(200);
        EXPECT_EQ(piecePixels(app.game) - spawned, 10) << "200 ms at 50 pixels per second";
        EXPECT_EQ(d.pictureMismatches(app.pictures.smallLogo.get(), 350, 30), 0) << "the game screen's small logo";

        d.press(Key::Ctrl);
        EXPECT_EQ(app.game.points, 1) << "one lock without a row";
        d.advance(100);
        expectBoardDrawn(d, app);

        const int drops = playToGameOver(d);
        ASSERT_FALSE(app.game.playing) << "still playing after " << drops << " drops";
        EXPECT_TRUE(app.shell.highscoreScreen);
        EXPECT_EQ(app.shell.menuSelection, 1);
        EXPECT_GT(app.game.total, 1);

        // The last frame was drawn at game over; the high scores follow with
        // the next idle pass, without any input.
        expectBoardDrawn(d, app);
        d.idle();
        EXPECT_TRUE(d.highscoreScreenShown()) << "high-score screen after game over";
        EXPECT_TRUE(d.blockedForever());
        expected = expectEntered(app, "after game over");
        ASSERT_NE(listFile(expected), listFile(kSeeded)) << "total " << app.game.total << " should enter the list";
        // Each of the nine rows is printed, the new one in its own colour,
        // and the line below them reports the game.
        int newRank = 0;
        while (expected[newRank].name == kSeeded[newRank].name) ++newRank;
        for (int rank = 0; rank < 9; ++rank) {
            const int32_t y = 214 + 40 * rank;
            const uint32_t colour = rank == newRank ? kNewRowPixel : kListPixel;
            EXPECT_GT(d.countPixels({120, y, 400, y + 34}, colour), 5) << "name of rank " << rank;
            EXPECT_GT(d.countPixels({580, y, 780, y + 34}, colour), 5) << "score of rank " << rank;
        }
        EXPECT_EQ(finishedGameLine(app.lastGame),
                  "Letztes Spiel: " + std::to_string(app.game.total) + " Punkte, Platz " + std::to_string(newRank + 1));
        EXPECT_GT(d.countPixels(kResultLine, kNewRowPixel), 20) << "the result line under the list";
        EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(expected)) << "the list is saved at game over";
        d.key(Key::Escape);
        d.press(Key::Escape);
        ASSERT_TRUE(app.quitPosted());
        app.shutDown();
        EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(expected)) << "the list written at exit";
    }
}

TEST(Game, PlayedToGameOverEntersItsTotalAtItsRank)
{
    playAndEnter([](Driver& d) { d.press(Key::Enter); }, "started with Enter");
    playAndEnter([](Driver& d) { d.click(400, 360); }, "started with a click in band 0");
}

TEST(Game, AbandonedGamesEnterNothing)
{
    Driver d(seededSetup());
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(100);
    for (int i = 0; i < 3; ++i) {
        d.press(Key::Ctrl);
        d.advance(50);
    }
    EXPECT_EQ(app.game.points, 3);
    d.press(Key::Escape);
    EXPECT_FALSE(app.game.playing) << "Esc abandons the game";
    EXPECT_TRUE(app.shell.highscoreScreen);
    EXPECT_EQ(app.shell.menuSelection, 1);
    expectList(app, kSeeded, "after Esc");
    d.idle();
    EXPECT_TRUE(d.highscoreScreenShown());

    // Back to the title, start again, and abandon with a right click.
    d.key(Key::Escape);
    d.press(Key::Up);
    d.press(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    d.advance(100);
    d.press(Key::Ctrl);
    d.advance(50);
    d.rightClick(150, 200);
    EXPECT_FALSE(app.game.playing) << "a right click abandons the game";
    EXPECT_TRUE(app.shell.highscoreScreen);
    d.idle();
    EXPECT_TRUE(d.highscoreScreenShown());
    expectList(app, kSeeded, "after the right click");

    app.shutDown();
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(kSeeded));
}

TEST(Game, PauseShowsItsPictureAndAMinuteOfPauseIsNotMadeUp)
{
    Driver d;
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    const int32_t spawned = piecePixels(app.game);
    d.advance(400);
    const int32_t before = piecePixels(app.game);
    EXPECT_EQ(before - spawned, 20) << "400 ms at 50 pixels per second";
    EXPECT_EQ(d.countPixels(kPauseArea, kPausePixel), 0);

    d.press(Key::Pause);
    EXPECT_TRUE(app.game.paused);
    EXPECT_GT(d.countPixels(kPauseArea, kPausePixel), 30) << "orange PAUSE near (120, 290), drawn by the key";
    EXPECT_EQ(statusLine(d, app).pixels, 0) << "no status line on the pause picture";
    d.idle();
    EXPECT_TRUE(d.blockedForever()) << "a paused game waits for input";

    // While paused the piece may be shifted, but nothing is drawn.
    const std::vector<uint32_t> pausedFrame = d.frame().pixels;
    const int32_t column = app.game.pieceColumn;
    d.key(Key::Left);
    EXPECT_EQ(app.game.pieceColumn, column - 1) << "Left while paused";
    d.key(Key::Space);
    d.key(Key::Down);
    d.key(Key::Ctrl);
    EXPECT_EQ(d.frame().pixels, pausedFrame) << "keys while paused draw nothing";

    d.advance(60000);
    EXPECT_EQ(piecePixels(app.game), before);
    d.press(Key::Pause);
    EXPECT_FALSE(app.game.paused);
    d.advance(400);
    const int32_t after = piecePixels(app.game);
    EXPECT_GE(after - before, 20) << "the piece falls again after the pause";
    EXPECT_LE(after - before, 21) << "the pause's minute was made up as gravity steps";
    EXPECT_EQ(app.game.points, 0) << "no piece locked";
    EXPECT_EQ(d.countPixels(kPauseArea, kPausePixel), 0) << "the next frame covers the pause picture";
    EXPECT_GT(statusLine(d, app).pixels, 10) << "game frames carry the status line again";
}

TEST(Game, HoldingEscLeadsFromAGameToTheEndOfTheProgram)
{
    Driver d(seededSetup());
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(100);
    ASSERT_TRUE(app.game.playing);

    d.key(Key::Escape);  // the press
    EXPECT_FALSE(app.game.playing);
    EXPECT_TRUE(d.highscoreScreenShown()) << "first press: the high scores";
    d.advance(40);
    d.key(Key::Escape);  // first repeat
    EXPECT_FALSE(app.shell.highscoreScreen);
    EXPECT_EQ(app.shell.menuSelection, 1) << "first repeat: the title with the second entry";
    EXPECT_FALSE(app.quitPosted());
    d.advance(40);
    d.press(Key::Escape);  // second repeat
    EXPECT_TRUE(app.quitPosted()) << "second repeat ends the program";
}

TEST(Game, GravityAloneEndsAGameAndTheHighScoresFollowWithoutInput)
{
    DriverSetup setup = seededSetup();
    setup.files.push_back({"Data/ini.ini", "[Optionen]\r\nVorbelegung=9\r\n"});
    Driver d(setup);
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    uint32_t played = 0;
    while (app.game.playing && played < 600000) {
        d.advance(10);
        played += 10;
    }
    ASSERT_FALSE(app.game.playing) << "no game over after " << played << " ms";
    // The loop still waits out its pause before the next idle pass; no input
    // is needed for the high scores to show.
    d.advance(1000);
    EXPECT_TRUE(d.highscoreScreenShown()) << "high scores after a game over by gravity";
    EXPECT_TRUE(d.blockedForever());
    expectEntered(app, "after a game over by gravity");
    EXPECT_GE(app.game.points, 9 * 30) << "nine pre-filled rows score 30 each";
}

TEST(Game, AfterAGameAbandonedWhilePausedUpStaysDeadUntilTheNextGame)
{
    Driver d;
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(100);
    d.key(Key::Pause);
    d.key(Key::Escape);
    EXPECT_TRUE(app.game.paused) << "abandoning keeps the paused flag";
    d.key(Key::Escape);
    ASSERT_EQ(app.shell.menuSelection, 1);
    d.press(Key::Up);
    EXPECT_EQ(app.shell.menuSelection, 1) << "Up is dead while the paused flag is set";
    d.press(Key::Down);
    EXPECT_EQ(app.shell.menuSelection, 2) << "Down still moves";
    d.press(Key::Down);
    d.press(Key::Down);
    ASSERT_EQ(app.shell.menuSelection, 0);
    d.press(Key::Enter);  // a new game clears the flag
    EXPECT_FALSE(app.game.paused);
    d.advance(100);
    d.key(Key::Escape);
    d.key(Key::Escape);
    d.press(Key::Up);
    EXPECT_EQ(app.shell.menuSelection, 0) << "Up works again after the next game";
}

TEST(Game, RaceRunsWaitsThroughPausesAndEndsIntoTheHighScores)
{
    DriverSetup setup = seededSetup();
    setup.files.push_back({"Data/ini.ini", "[Optionen]\r\nmodus=3\r\n"});
    {
        Driver d(setup);
        App& app = d.app();
        d.idle();
        d.press(Key::Enter);
        ASSERT_TRUE(app.game.playing);
        d.advance(1000);
        const int32_t driven = app.race.racePoints;
        EXPECT_GT(driven, 0) << "the race advances with time";
        d.key(Key::Pause);
        EXPECT_TRUE(d.blockedForever()) << "a paused race waits for input";
        d.advance(60000);
        d.key(Key::Pause);
        d.advance(300);
        EXPECT_LE(app.race.racePoints - driven, 4) << "the pause's minute was made up as advances";
        d.key(Key::Escape);
        EXPECT_FALSE(app.game.playing) << "Esc ends the race";
        EXPECT_TRUE(d.highscoreScreenShown());
        expectList(app, kSeeded, "after an abandoned race");
        EXPECT_EQ(finishedGameLine(app.lastGame), "") << "an abandoned race reports nothing";
        EXPECT_EQ(d.countPixels(kResultLine, kNewRowPixel), 0);
    }
    {
        // Left alone, the car crashes until its lives are gone.
        Driver d(setup);
        App& app = d.app();
        d.idle();
        d.press(Key::Enter);
        uint32_t driven = 0;
        while (app.game.playing && driven < 600000) {
            d.advance(100);
            driven += 100;
        }
        ASSERT_FALSE(app.game.playing) << "the race did not end in " << driven << " ms";
        d.advance(100);
        EXPECT_TRUE(d.highscoreScreenShown()) << "high scores after the race";
        expectList(app, kSeeded, "a race enters no score");
        EXPECT_GT(app.race.racePoints, 0);
        EXPECT_EQ(finishedGameLine(app.lastGame),
                  "Rennen: ausgeschieden nach " + std::to_string(app.race.racePoints) + " Zeilen");
        EXPECT_GT(d.countPixels(kResultLine, kNewRowPixel), 20) << "the race's result under the list";
    }
}

// The status line of a game frame played under name.
StatusLine statusLineOf(const std::string& name)
{
    Driver d({name, {}, {}, true});
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(100);
    return statusLine(d, app);
}

TEST(Game, StatusLineCarriesTheNameAtTheTopLeft)
{
    const StatusLine bare = statusLineOf("");
    const StatusLine named = statusLineOf("Wolfgang Mustermann");
    EXPECT_GT(bare.pixels, 10) << "\" <<  >>\" alone";
    EXPECT_GT(bare.end, 20);
    EXPECT_LT(bare.end, 80);
    EXPECT_GT(named.end, bare.end + 100) << "the name stands inside the status line";
    // The thin "<" strokes never cover a whole pixel; the name's stems do.
    EXPECT_TRUE(named.inItsColour) << "the status line in RGB(160, 200, 200)";
}

TEST(Game, MissingHighscoreAndPlayPicturesDoNotStopTheGame)
{
    DriverSetup setup = seededSetup();
    setup.removed = {"Data/hiscore.bmp", "Data/blauklein.bmp"};
    Driver d(setup);
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(200);
    d.press(Key::Ctrl);
    d.advance(100);
    expectBoardDrawn(d, app);
    playToGameOver(d);
    ASSERT_FALSE(app.game.playing);
    d.idle();
    EXPECT_TRUE(app.shell.highscoreScreen);
    const ListRows expected = expectEntered(app, "without the pictures");
    EXPECT_GT(d.countPixels({120, 214, 400, 248}, kListPixel), 5) << "the list is printed on a plain surface";
    d.key(Key::Escape);
    d.press(Key::Escape);
    app.shutDown();

    const std::string log = d.readFile("log.txt");
    for (const char* missing : {"Data\\hiscore.bmp", "Data\\blauklein.bmp"}) {
        const std::string line = std::string("DDraw: Datei nicht gefunden : ") + missing + "\r\n";
        const size_t first = log.find(line);
        ASSERT_NE(first, std::string::npos) << line;
        EXPECT_NE(log.find(line, first + 1), std::string::npos) << "loaded twice, reported twice: " << missing;
    }
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(expected));
}

}  // namespace
