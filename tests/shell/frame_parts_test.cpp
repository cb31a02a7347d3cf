// A game frame redraws only what changed on the play surface (the falling
// piece's old and new places, the side panel when its values change) and
// copies to the back buffer and presents only the rows that differ from the
// frame on show. These checks hold the parts to the whole: after every idle
// pass of games in both variants, a race, pauses and menus, the frame on show
// is the play surface with the status line over it, and every few frames the
// game drawn in parts and then from scratch gives the same pixels.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

namespace {

// The frame a whole copy gives: the play surface, black where it has its
// colour key, and the status line drawn over it.
Surface wholeFrame(App& app)
{
    const Surface& play = *app.pictures.playSurface;
    Surface frame = play;
    frame.hasColorKey = false;
    for (uint32_t& p : frame.pixels) {
        if (p == play.colorKey) p = 0;
    }
    app.screen.drawStatusLine(&frame);
    return frame;
}

// "" when the two pictures are the same, else where they first differ.
std::string firstDifference(const Surface& a, const Surface& b)
{
    if (a.width != b.width || a.height != b.height) return "sizes differ";
    for (int32_t y = 0; y < a.height; ++y) {
        for (int32_t x = 0; x < a.width; ++x) {
            if (a.row(y)[x] != b.row(y)[x]) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): %06X instead of %06X", x, y, a.row(y)[x], b.row(y)[x]);
                return text;
            }
        }
    }
    return "";
}

// Pixels of the strip above the playfield (below the status line) that do
// not show the background there.
int32_t topStripLeftovers(const App& app)
{
    const Surface& background = *app.pictures.backgroundSurface;
    const Surface& play = *app.pictures.playSurface;
    int32_t leftovers = 0;
    for (int32_t y = 20; y < 50; ++y) {
        for (int32_t x = 40; x < 310; ++x) {
            const uint32_t want = background.row(y)[x];
            if (want != background.colorKey && play.row(y)[x] != want) ++leftovers;
        }
    }
    return leftovers;
}

struct FrameChecks {
    Driver& d;
    int frames = 0;      // game frames checked
    int partFrames = 0;  // of them, drawn over the frame before
    int redrawn = 0;     // game frames drawn afresh and compared
    uint64_t ourLastFlip = 0;
    int pieceBelowTop = 0;  // of the redrawn frames, those with the piece wholly in the playfield
    int every = 4;          // game frames between two drawn afresh

    void check(const std::string& when)
    {
        App& app = d.app();
        const GameScreen::PresentHistory& history = app.screen.history;
        if (history.lastFlip != app.display.Flips()) return;  // a menu, the pause picture
        if (history.lastFlip != ourLastFlip) {
            ++frames;
            // The frame before was ours too: this one was drawn over it in parts.
            if (history.lastFlip == ourLastFlip + 1) ++partFrames;
            ourLastFlip = history.lastFlip;
        }
        ASSERT_EQ(firstDifference(d.frame(), wholeFrame(app)), "")
            << "the frame on show is not the whole picture, " << when;
        // Every few frames, so that runs of frames drawn in parts stay long.
        if (!app.game.playing || app.settings.modus == 3 || frames % every != 0) return;

        // The game as it is now, drawn over the last frame in parts, then
        // drawn again from scratch: the play surface and the frame on show
        // must not change.
        drawFrame(app.game, app.screen);
        ASSERT_EQ(firstDifference(d.frame(), wholeFrame(app)), "") << "a frame drawn in parts, " << when;
        if (app.game.pieceRow >= 0) {
            ++pieceBelowTop;
            ASSERT_EQ(topStripLeftovers(app), 0) << "a piece left above the playfield, " << when;
        }
        const Surface inParts = *app.pictures.playSurface;
        const Surface shown = d.frame();
        forgetShownFrame(app.screen);
        drawFrame(app.game, app.screen);
        ++redrawn;
        ASSERT_EQ(firstDifference(inParts, *app.pictures.playSurface), "")
            << "the play surface drawn in parts, " << when;
        ASSERT_EQ(firstDifference(shown, d.frame()), "") << "the frame drawn in parts, " << when;
        ourLastFlip = app.display.Flips();
    }

    // Time passes in small steps, with a key now and then, checked after each.
    void play(uint32_t ms, const std::string& when)
    {
        static const Key keys[] = {Key::Left, Key::Space, Key::Right, Key::Up, Key::Down, Key::Ctrl};
        for (uint32_t t = 0, k = 0; t < ms && d.app().game.playing; t += 7) {
            if (t % 91 == 0) d.press(keys[k++ % 6]);
            d.advance(7);
            check(when + " at " + std::to_string(t) + " ms");
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
};

// From the high-score screen or the title to a new game.
void startFromTitle(Driver& d, int32_t modus)
{
    App& app = d.app();
    if (app.shell.highscoreScreen) d.key(Key::Escape);
    app.settings.modus = modus;
    for (int i = 0; i < 4 && app.shell.menuSelection != 0; ++i) d.key(Key::Down);
    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing) << "no game in modus " << modus;
}

TEST(FrameParts, EveryGameFrameEqualsTheWholePictureAndTheSidePanelItsValues)
{
    DriverSetup setup;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nZielhilfe=1\r\nVorschauzwei=1\r\n"}};
    Driver d(setup);
    App& app = d.app();
    FrameChecks checks{d};
    d.idle();

    startFromTitle(d, 1);
    checks.play(400, "first game");
    d.key(Key::Pause);
    d.advance(500);
    d.key(Key::Pause);
    checks.play(60000, "first game after its pause");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    d.advance(50);
    EXPECT_FALSE(app.game.playing) << "the first game should have ended by now";

    startFromTitle(d, 2);
    checks.play(4000, "second variant");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    d.key(Key::Escape);

    // A game left at once leaves the start values in the panel; a race
    // draws its own panel there; the next game starts with the same values
    // and must not take the race's panel for its own.
    startFromTitle(d, 1);
    checks.play(30, "a game left at once");
    d.key(Key::Escape);
    startFromTitle(d, 3);
    checks.play(1500, "race");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    d.key(Key::Escape);
    startFromTitle(d, 1);
    checks.play(500, "game after the race");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    EXPECT_GT(checks.frames, 400);
    EXPECT_GT(checks.partFrames, checks.frames * 9 / 10) << "frames drawn over the one before";
    EXPECT_GT(checks.redrawn, 100);
    EXPECT_GT(checks.pieceBelowTop, 20);
}

// The aim frames stay on show while the piece falls towards them and into
// them: pieces put two rows above where they land fall into their frames on
// their own and lock, every frame checked against one drawn from scratch.
TEST(FrameParts, PiecesFallingIntoTheirAimFramesLeaveTheRightPixels)
{
    DriverSetup setup;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nZielhilfe=1\r\n"}};
    Driver d(setup);
    App& app = d.app();
    FrameChecks checks{d};
    checks.every = 1;
    d.idle();
    startFromTitle(d, 1);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    for (int piece = 0; piece < 3 && app.game.playing; ++piece) {
        Game& game = app.game;
        int32_t landing = game.pieceRow;
        while (game.landsAt(landing) == 0) ++landing;
        game.pieceRow = landing - 2;
        game.fallOffset = 0;
        const int32_t kind = game.pieceKind;
        const uint32_t start = d.now();
        // Until the next piece comes in at the top.
        while (game.playing && game.pieceRow >= landing - 2 && d.now() - start < 20000) {
            d.advance(20);
            checks.check("piece " + std::to_string(piece) + " of kind " + std::to_string(kind));
            ASSERT_FALSE(::testing::Test::HasFatalFailure());
        }
    }
    EXPECT_GT(checks.redrawn, 80);
}

}  // namespace
