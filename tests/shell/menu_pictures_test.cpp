// The high-score and options pictures are held only while their screen
// shows: read again when it opens, they must look exactly as if they had been
// kept, with no new log line, and a file gone meanwhile leaves the screen
// drawable.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver.h"

namespace {

constexpr uint32_t kListPixel = 0x5048F8;  // RGB(80, 72, 248), the list rows

int32_t differingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    int32_t differ = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) differ += a[i] != b[i];
    return differ + static_cast<int32_t>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

void openFromTitle(Driver& d, int32_t bandY)
{
    d.click(400, bandY);
    d.idle();
}

TEST(MenuPictures, TheOptionsPictureComesBackWithTheValuesDrawnBefore)
{
    Driver d({"Tester", {{"Data/ini.ini", "[Optionen]\r\nVorbelegung=3\r\n"}}, {}, true});
    App& app = d.app();
    d.idle();
    EXPECT_EQ(app.pictures.optionsSurface, nullptr) << "not held on the title";
    EXPECT_EQ(app.pictures.backgroundSurface, nullptr) << "the game's background neither";
    openFromTitle(d, 440);
    ASSERT_TRUE(app.shell.optionsScreen);
    d.click(525, 300);  // Zielhilfe changes: its box is drawn anew
    d.idle();
    const std::vector<uint32_t> shown = d.frame().pixels;

    d.key(Key::Escape);
    ASSERT_FALSE(app.shell.optionsScreen);
    EXPECT_EQ(app.pictures.optionsSurface, nullptr) << "given up when the screen closed";

    // A value without a picture leaves the one drawn before visible, also
    // after the picture was given up and read again.
    app.settings.Vorbelegung = 15;
    openFromTitle(d, 440);
    ASSERT_TRUE(app.shell.optionsScreen);
    ASSERT_NE(app.pictures.optionsSurface, nullptr);
    EXPECT_EQ(d.pictureMismatches(app.pictures.digits[3].get(), 500, 214), 0) << "the 3 drawn before stays";

    app.settings.Vorbelegung = 3;
    d.move(30, 30);
    d.idle();
    EXPECT_EQ(differingPixels(d.frame().pixels, shown), 0) << "labels and values exactly as before closing";

    // During a game neither menu picture is held.
    d.key(Key::Escape);
    d.key(Key::Up);
    d.key(Key::Up);
    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    ASSERT_NE(app.pictures.backgroundSurface, nullptr) << "the game's background is read again for the game";
    EXPECT_EQ(app.pictures.optionsSurface, nullptr);
    EXPECT_EQ(app.pictures.highscoreSurface, nullptr);
    EXPECT_EQ(app.pictures.highscoreBackground, nullptr);
}

TEST(MenuPictures, TheHighscorePictureIsReadAgainSilentlyAndItsLossLeavesBlack)
{
    Driver d;
    App& app = d.app();
    d.idle();
    const std::string logAtTitle = d.readFile("log.txt");
    ASSERT_NE(logAtTitle.find("Grafik geladen OK : Data\\hiscore.bmp"), std::string::npos);

    openFromTitle(d, 400);
    ASSERT_TRUE(d.highscoreScreenShown());
    const std::vector<uint32_t> first = d.frame().pixels;
    for (int reopening = 0; reopening < 3; ++reopening) {
        d.key(Key::Escape);
        ASSERT_FALSE(app.shell.highscoreScreen);
        EXPECT_EQ(app.pictures.highscoreSurface, nullptr) << "given up when the screen closed";
        EXPECT_EQ(app.pictures.highscoreBackground, nullptr);
        openFromTitle(d, 400);
        ASSERT_TRUE(d.highscoreScreenShown());
        EXPECT_EQ(differingPixels(d.frame().pixels, first), 0) << "reopening " << reopening;
    }

    // The file goes while the game runs: the list still shows, on black.
    d.key(Key::Escape);
    ASSERT_TRUE(std::filesystem::remove(d.folder() / "Data" / "hiscore.bmp"));
    openFromTitle(d, 400);
    ASSERT_TRUE(app.shell.highscoreScreen);
    EXPECT_FALSE(d.highscoreScreenShown());
    EXPECT_EQ(d.countPixels({0, 0, 800, 200}, 0), 800 * 200) << "black where the picture was";
    EXPECT_GT(d.countPixels({120, 214, 400, 248}, kListPixel), 20) << "the first row is still written";
    d.key(Key::Escape);
    openFromTitle(d, 400);
    EXPECT_EQ(d.countPixels({0, 0, 800, 200}, 0), 800 * 200);

    EXPECT_EQ(d.readFile("log.txt"), logAtTitle) << "reading the pictures again wrote to the log";
}

}  // namespace
