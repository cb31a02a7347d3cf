// The title menu, the high-score and options screens, and the options clicks,
// driven through the real event handling and idle passes.
#include <gtest/gtest.h>

#include "driver.h"

namespace {

constexpr uint32_t kBlack = 0;
constexpr int32_t kMarkerSize = 36;
constexpr uint32_t kLabelPixel = 0x5048F8;  // RGB(80, 72, 248), the options labels and list rows

int32_t markerY(int32_t selection)
{
    return 352 + 36 * selection;
}

// Both markers stand beside entry `selection` and nowhere else: their pictures
// are in the frame there, and the other three places are plain black.
void expectMarkersAt(const Driver& d, const App& app, int32_t selection)
{
    for (int32_t place = 0; place < 4; ++place) {
        const int32_t y = markerY(place);
        if (place == selection) {
            EXPECT_EQ(d.pictureMismatches(app.pictures.leftMarker.get(), 277, y), 0)
                << "left marker not at (277, " << y << ") for selection " << selection;
            EXPECT_EQ(d.pictureMismatches(app.pictures.rightMarker.get(), 487, y), 0)
                << "right marker not at (487, " << y << ") for selection " << selection;
        } else {
            EXPECT_EQ(d.countPixels({277, y, 277 + kMarkerSize, y + kMarkerSize}, kBlack), kMarkerSize * kMarkerSize)
                << "left place at y " << y << " not black for selection " << selection;
            EXPECT_EQ(d.countPixels({487, y, 487 + kMarkerSize, y + kMarkerSize}, kBlack), kMarkerSize * kMarkerSize)
                << "right place at y " << y << " not black for selection " << selection;
        }
    }
}

bool titleShown(const Driver& d, const App& app)
{
    return d.pictureMismatches(app.pictures.titleLogo.get(), 100, 100) == 0 &&
           d.pictureMismatches(app.pictures.menuImage.get(), 315, 350) == 0;
}

bool optionsScreenShown(const Driver& d)
{
    // The five labels, each in its own band at x 150.
    for (int32_t y : {230, 300, 370, 440, 510}) {
        if (d.countPixels({150, y, 480, y + 34}, kLabelPixel) < 20) return false;
    }
    return true;
}

TEST(TitleMenu, MarkersStandBesideTheSelectedEntryAndTheNameIsShown)
{
    Driver d;
    App& app = d.app();
    d.idle();
    EXPECT_TRUE(d.blockedForever()) << "the title screen must wait for input";
    ASSERT_TRUE(titleShown(d, app)) << "title logo at (100, 100) or menu at (315, 350) missing";
    expectMarkersAt(d, app, 0);
    EXPECT_GT(d.countPixels({0, 50, 200, 84}, 0xFF0000), 10) << "the player's name in red at (0, 50)";

    // Hovering picks the entry under the pointer; the markers follow with the
    // idle pass after the movement, not before.
    for (int32_t selection : {2, 3, 1, 0}) {
        d.move(400, 350 + 37 * selection + 20);
        EXPECT_EQ(app.shell.menuSelection, selection) << "hover over band " << selection;
        d.idle();
        expectMarkersAt(d, app, selection);
    }
    d.move(400, 420);
    EXPECT_EQ(app.shell.menuSelection, 1);
    expectMarkersAt(d, app, 0);  // not yet repainted
    d.idle();
    expectMarkersAt(d, app, 1);

    // Outside the menu column nothing changes.
    d.move(314, 430);
    d.move(486, 470);
    d.move(400, 349);
    d.move(400, 498);
    EXPECT_EQ(app.shell.menuSelection, 1) << "hover outside x 315..485 / y 350..497";
}

TEST(TitleMenu, UpAndDownWrapAndRepaintAtOnce)
{
    Driver d;
    App& app = d.app();
    d.idle();
    expectMarkersAt(d, app, 0);

    d.press(Key::Up);  // no idle pass: the key paints by itself
    EXPECT_EQ(app.shell.menuSelection, 3) << "Up from 0";
    expectMarkersAt(d, app, 3);

    d.press(Key::Down);
    EXPECT_EQ(app.shell.menuSelection, 0) << "Down from 3";
    expectMarkersAt(d, app, 0);

    for (int32_t selection : {1, 2, 3}) {
        d.press(Key::Down);
        EXPECT_EQ(app.shell.menuSelection, selection);
        expectMarkersAt(d, app, selection);
    }
    for (int32_t selection : {2, 1, 0}) {
        d.press(Key::Up);
        EXPECT_EQ(app.shell.menuSelection, selection);
        expectMarkersAt(d, app, selection);
    }
    EXPECT_FALSE(app.quitPosted());
    EXPECT_FALSE(app.game.playing) << "arrows alone never start a game";
}

TEST(ScreenFlow, HighscoreAndOptionsScreensReturnToTheirEntry)
{
    Driver d;
    App& app = d.app();
    d.idle();

    // Enter on the second entry, Esc back: the markers stand at y 388.
    d.press(Key::Down);
    d.key(Key::Enter);
    EXPECT_TRUE(app.shell.highscoreScreen);
    EXPECT_TRUE(d.highscoreScreenShown()) << "Enter with selection 1 shows the high scores";
    EXPECT_TRUE(d.blockedForever());
    d.key(Key::Escape);
    EXPECT_FALSE(app.shell.highscoreScreen);
    EXPECT_EQ(app.shell.menuSelection, 1) << "back from the high scores";
    ASSERT_TRUE(titleShown(d, app));
    expectMarkersAt(d, app, 1);

    // Enter on the third entry, Esc back: y 424.
    d.press(Key::Down);
    d.key(Key::Enter);
    EXPECT_TRUE(app.shell.optionsScreen);
    EXPECT_TRUE(optionsScreenShown(d)) << "Enter with selection 2 shows the options";
    d.key(Key::Escape);
    EXPECT_FALSE(app.shell.optionsScreen);
    EXPECT_EQ(app.shell.menuSelection, 2) << "back from the options";
    expectMarkersAt(d, app, 2);

    // The same by clicks: band 1 in, right click out; band 2 in, right click out.
    d.click(400, 400);
    d.idle();
    EXPECT_TRUE(d.highscoreScreenShown()) << "click in band 1";
    // Up and Down show no change there: the painter keeps selection 1.
    d.press(Key::Down);
    EXPECT_EQ(app.shell.menuSelection, 1);
    EXPECT_TRUE(d.highscoreScreenShown());
    d.rightClick(10, 10);
    d.idle();
    EXPECT_EQ(app.shell.menuSelection, 1);
    expectMarkersAt(d, app, 1);

    d.click(400, 440);
    d.idle();
    EXPECT_TRUE(optionsScreenShown(d)) << "click in band 2";
    d.press(Key::Enter);  // does nothing on the options screen
    EXPECT_FALSE(app.game.playing);
    d.rightClick(10, 10);
    d.idle();
    EXPECT_EQ(app.shell.menuSelection, 2);
    expectMarkersAt(d, app, 2);

    // A right click on the title changes nothing; a click released before it
    // is handled, or the second click of a double click, does nothing.
    d.rightClick(400, 440);
    d.click(400, 440, false);
    d.click(400, 440, true, 2);
    d.idle();
    EXPECT_FALSE(app.shell.optionsScreen);
    EXPECT_FALSE(app.shell.highscoreScreen);
    EXPECT_EQ(app.shell.menuSelection, 2);
    expectMarkersAt(d, app, 2);
    EXPECT_FALSE(app.quitPosted());
}

TEST(ScreenFlow, QuitEntryAndEscOnTheTitleEndTheProgram)
{
    {
        Driver d;
        d.idle();
        d.press(Key::Up);
        d.press(Key::Enter);
        EXPECT_TRUE(d.app().quitPosted()) << "Enter on the fourth entry";
    }
    {
        Driver d;
        d.idle();
        d.click(400, 480);
        EXPECT_TRUE(d.app().quitPosted()) << "click in band 3";
        EXPECT_EQ(d.app().shell.menuSelection, 3);
    }
    {
        Driver d;
        d.idle();
        d.press(Key::Escape);
        EXPECT_TRUE(d.app().quitPosted()) << "Esc on the title";
    }
    {
        Driver d;
        d.idle();
        d.closeWindow();
        EXPECT_TRUE(d.app().quitPosted()) << "closing the window";
    }
}

// Opens the options screen from a fresh start.
void openOptions(Driver& d)
{
    d.idle();
    d.click(400, 440);
    d.idle();
    ASSERT_TRUE(d.app().shell.optionsScreen);
}

TEST(OptionsScreen, VorbelegungCyclesAndOnlyItsKeyIsWritten)
{
    Driver d;
    App& app = d.app();
    openOptions(d);
    EXPECT_FALSE(d.fileExists("Data/ini.ini")) << "nothing written before a click";
    EXPECT_EQ(d.pictureMismatches(app.pictures.digits[0].get(), 500, 214), 0) << "digit 0 for Vorbelegung 0";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 285), 0) << "Zielhilfe starts on";
    EXPECT_EQ(d.pictureMismatches(app.pictures.offImage.get(), 500, 355), 0) << "Vorschauzwei starts off";
    EXPECT_EQ(d.pictureMismatches(app.pictures.offImage.get(), 500, 496), 0) << "Musik starts off";

    // Clicks off the boxes first: the column edges, a released button, a
    // double click, and the modus box while modus is 0.
    for (int32_t x : {499, 551}) d.click(x, 240);
    d.click(525, 240, false);
    d.click(525, 240, true, 2);
    d.click(525, 450);
    d.idle();
    EXPECT_EQ(app.settings.Vorbelegung, 0) << "x 499 / 551, released or double clicks";
    EXPECT_EQ(app.settings.modus, 0) << "the modus box leaves 0 alone";
    EXPECT_FALSE(d.fileExists("Data/ini.ini")) << "none of those clicks writes";

    for (int32_t click = 1; click <= 10; ++click) {
        const int32_t expected = click % 10;
        d.click(click % 2 == 0 ? 500 : 550, click % 2 == 0 ? 215 : 265);
        EXPECT_EQ(app.settings.Vorbelegung, expected) << "after click " << click;
        EXPECT_EQ(d.readFile("Data/ini.ini"), "[Optionen]\r\nVorbelegung=" + std::to_string(expected) + "\r\n")
            << "settings file after click " << click;
        d.idle();
        EXPECT_EQ(d.pictureMismatches(app.pictures.digits[expected].get(), 500, 214), 0)
            << "digit " << expected << " at (500, 214) after click " << click;
    }
    EXPECT_TRUE(optionsScreenShown(d));

    // The other boxes toggle and each adds its own key.
    d.click(525, 300);
    d.click(525, 380);
    d.click(525, 520);
    d.idle();
    EXPECT_EQ(app.settings.Zielhilfe, 0);
    EXPECT_EQ(app.settings.Vorschauzwei, 1);
    EXPECT_EQ(app.settings.Musik, 1);
    EXPECT_EQ(d.readFile("Data/ini.ini"),
              "[Optionen]\r\nVorbelegung=0\r\nZielhilfe=0\r\nVorschauzwei=1\r\nMusik=1\r\n");
    EXPECT_EQ(d.pictureMismatches(app.pictures.offImage.get(), 500, 285), 0) << "Zielhilfe now off";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 355), 0) << "Vorschauzwei now on";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 496), 0) << "Musik now on";
}

TEST(OptionsScreen, ModusBoxSwitchesOneAndTwoButLeavesTheRaceAlone)
{
    const std::string race = "[Optionen]\r\nmodus=3\r\n";
    {
        Driver d({"Tester", {{"Data/ini.ini", race}}, {}, true});
        openOptions(d);
        EXPECT_EQ(d.app().settings.modus, 3) << "read from the file at start-up";
        d.click(525, 426);
        d.click(525, 476);
        d.idle();
        EXPECT_EQ(d.app().settings.modus, 3) << "a click does not change the race mode";
        EXPECT_EQ(d.readFile("Data/ini.ini"), race) << "nothing written";
    }
    {
        Driver d({"Tester", {{"Data/ini.ini", "[Optionen]\r\nmodus=1\r\n"}}, {}, true});
        App& app = d.app();
        openOptions(d);
        EXPECT_EQ(d.pictureMismatches(app.pictures.digits[1].get(), 500, 426), 0) << "digit 1 for modus 1";
        d.click(525, 450);
        d.idle();
        EXPECT_EQ(app.settings.modus, 2);
        EXPECT_EQ(d.readFile("Data/ini.ini"), "[Optionen]\r\nmodus=2\r\n");
        EXPECT_EQ(d.pictureMismatches(app.pictures.digits[2].get(), 500, 426), 0) << "digit 2 for modus 2";
        d.click(525, 450);
        d.idle();
        EXPECT_EQ(app.settings.modus, 1);
        EXPECT_EQ(d.readFile("Data/ini.ini"), "[Optionen]\r\nmodus=1\r\n");
    }
}

TEST(OptionsScreen, ShowsTheValuesReadAtStartUp)
{
    Driver d(
        {"Tester",
         {{"Data/ini.ini", "[Optionen]\r\nVorbelegung=7\r\nZielhilfe=2\r\nVorschauzwei=1\r\nMusik=1\r\nmodus=2\r\n"}},
         {},
         true});
    App& app = d.app();
    openOptions(d);
    EXPECT_EQ(d.pictureMismatches(app.pictures.digits[7].get(), 500, 214), 0) << "Vorbelegung 7";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 285), 0) << "Zielhilfe 2 shows on";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 355), 0) << "Vorschauzwei 1";
    EXPECT_EQ(d.pictureMismatches(app.pictures.digits[2].get(), 500, 426), 0) << "modus 2";
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 496), 0) << "Musik 1";
    // Zielhilfe 2 counts as on, so the first click turns it off.
    d.click(525, 300);
    EXPECT_EQ(app.settings.Zielhilfe, 0);
}

// Every mouse movement repaints the current menu screen; with nothing changed
// the picture must stay exactly the same.
int32_t changedAfterRepaints(Driver& d, int32_t repaints)
{
    const std::vector<uint32_t> first = d.frame().pixels;
    for (int32_t i = 0; i < repaints; ++i) {
        d.move(20 + i, 20);
        d.idle();
    }
    const std::vector<uint32_t>& now = d.frame().pixels;
    int32_t changed = 0;
    for (size_t i = 0; i < now.size() && i < first.size(); ++i) changed += now[i] != first[i];
    return changed;
}

TEST(ScreenFlow, RepaintedTitleAndHighscoresStayTheSame)
{
    Driver d;
    d.idle();
    EXPECT_EQ(changedAfterRepaints(d, 20), 0) << "title screen";
    d.click(400, 400);
    d.idle();
    ASSERT_TRUE(d.app().shell.highscoreScreen);
    EXPECT_EQ(changedAfterRepaints(d, 20), 0) << "high-score screen";
}

TEST(OptionsScreen, RepaintedLabelsStayTheSame)
{
    Driver d;
    openOptions(d);
    EXPECT_EQ(changedAfterRepaints(d, 20), 0) << "options screen: labels drawn again over themselves";
}

}  // namespace
