// A whole race through the real shell on a small level of our own: dodge a
// block, crash into another, finish the level; the frames show the car where
// the game has it and the panel with the race's values.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "driver.h"
#include "race/race.h"

namespace {

// 300 lines of ten comma-ended digits; the race meets the last lines first.
std::string levelWithBlocks(std::initializer_list<std::pair<int, int>> blocks)
{
    std::string text;
    for (int row = 0; row < kTrackRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            bool block = false;
            for (const auto& b : blocks) block = block || (b.first == row && b.second == column);
            text += block ? "3," : "0,";
        }
        text += "\r\n";
    }
    return text;
}

// The panel as the race draws it: the background's panel with the four lines.
SurfacePtr expectedPanel(App& app)
{
    SurfacePtr panel = CreateSurface(800, 600);
    BltFast(panel.get(), 0, 0, app.pictures.backgroundSurface.get());
    const Game& g = app.game;
    const RaceState& race = app.race;
    char lines[4][64];
    std::snprintf(lines[0], sizeof lines[0], "Level :             %d", race.level);
    std::snprintf(lines[1], sizeof lines[1], "Leben  :           %d", race.lives);
    std::snprintf(lines[2], sizeof lines[2], "Speed  :          %d km/h", g.speed);
    std::snprintf(lines[3], sizeof lines[3], "Punkte:            %d", race.racePoints);
    for (int i = 0; i < 4; ++i) app.font.DrawString(panel.get(), 460, 330 + 60 * i, lines[i], 0x00FF00);
    return panel;
}

int32_t panelMismatches(const Driver& d, const Surface& panel)
{
    int32_t differ = 0;
    for (int32_t y = 320; y < 600; ++y)
        for (int32_t x = 340; x < 800; ++x) differ += d.pixel(x, y) != panel.row(y)[x];
    return differ;
}

// Every block of the car drawn where the game has the car.
void expectCarDrawn(const Driver& d, App& app, const char* when)
{
    const PieceShape& car = pieceShapes[kCarKind][1];
    for (int32_t i = 0; i < car.height; ++i)
        for (int32_t j = 0; j < car.width; ++j) {
            if (!car.cells[i][j]) continue;
            const int32_t x = 50 + 25 * (app.game.pieceColumn + j);
            const int32_t y = 50 + 25 * (app.game.pieceRow + i);
            EXPECT_EQ(d.pictureMismatches(app.pictures.blocks[7].get(), x, y), 0)
                << when << ": car block (" << i << ", " << j << ") not at " << x << ", " << y;
        }
}

void driveUntil(Driver& d, const std::function<bool()>& done, uint32_t limitMs)
{
    for (uint32_t t = 0; t < limitMs && !done(); t += 20) d.advance(20);
}

}  // namespace

TEST(Race, DodgeCrashOnceAndFinishTheLevel)
{
    DriverSetup setup;
    setup.files.push_back({"Data/ini.ini", "[Optionen]\r\nmodus=3\r\n"});
    // Track row 290 reaches the car's rows first, in its start column 6; row
    // 200 comes later, in column 3, where the dodge leads.
    setup.files.push_back({"1.dat", levelWithBlocks({{290, 6}, {200, 3}})});
    for (const char* later : {"2.dat", "3.dat", "4.dat", "5.dat"}) setup.files.push_back({later, levelWithBlocks({})});
    Driver d(setup);
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    ASSERT_TRUE(app.game.playing);

    for (int i = 0; i < 3; ++i) d.key(Key::Left);
    ASSERT_EQ(app.game.pieceColumn, 2) << "Left moves the car a column";
    driveUntil(
        d, [&] { return app.race.trackScroll >= 20; }, 10000);
    EXPECT_EQ(app.race.lives, kRaceLives) << "the dodged block was hit";
    expectCarDrawn(d, app, "after the dodge");
    EXPECT_EQ(panelMismatches(d, *expectedPanel(app)), 0) << "panel while driving";

    driveUntil(
        d, [&] { return app.race.lives < kRaceLives; }, 20000);
    ASSERT_EQ(app.race.lives, kRaceLives - 1) << "no crash into the second block";
    EXPECT_EQ(app.race.statusText, "kollision");
    EXPECT_EQ(app.race.level, 1) << "a crash restarts the level";
    EXPECT_LT(app.race.trackScroll, 2) << "a crash restarts the level from its beginning";
    EXPECT_STREQ(app.playerName.text, "Tester") << "the status text took the name's place";
    d.advance(20);
    expectCarDrawn(d, app, "after the crash");
    EXPECT_EQ(panelMismatches(d, *expectedPanel(app)), 0) << "panel after the crash";

    d.key(Key::Left);
    d.key(Key::Left);
    ASSERT_EQ(app.game.pieceColumn, 0);
    driveUntil(
        d, [&] { return app.race.level == 2; }, 60000);
    ASSERT_EQ(app.race.level, 2) << "the level was not finished";
    EXPECT_EQ(app.race.lives, kRaceLives - 1) << "crashed again on the way";
    EXPECT_EQ(app.race.statusText, " ");
    d.advance(200);
    expectCarDrawn(d, app, "in the next level");
    EXPECT_EQ(panelMismatches(d, *expectedPanel(app)), 0) << "panel in the next level";
}

namespace {

// klotzar --race: the race for this run, while the options screen keeps
// writing the settings file without ever putting the race's modus into it.
TEST(RaceFromTheCommandLine, PlaysTheRaceAndTheFileKeepsItsModus)
{
    DriverSetup setup;
    setup.race = true;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nmodus=1\r\n"}};
    Driver d(setup);
    App& app = d.app();
    EXPECT_EQ(app.settings.modus, 3);

    d.idle();
    d.click(400, 440);  // the options entry
    d.idle();
    d.click(525, 450);  // the Spielmodus box leaves a 3 alone
    d.click(525, 240);  // Vorbelegung 0 -> 1
    d.idle();
    EXPECT_EQ(app.settings.modus, 3);
    EXPECT_EQ(app.settings.Vorbelegung, 1);
    d.key(Key::Escape);
    d.press(Key::Up);
    d.press(Key::Up);
    d.press(Key::Enter);
    EXPECT_TRUE(app.game.playing);
    EXPECT_EQ(app.game.pieceKind, kCarKind) << "a race, not the classic game";
    d.press(Key::Escape);
    d.finish();
    EXPECT_EQ(d.readFile("Data/ini.ini"), "[Optionen]\r\nmodus=1\r\nVorbelegung=1\r\n");
}

}  // namespace
