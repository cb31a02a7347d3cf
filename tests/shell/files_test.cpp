// What a whole run leaves on disk: the log of start-up and shutdown, and the
// high-score file written at exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"

namespace {

const char* const kPictures[] = {
    "Data\\lade.bmp",      "Data\\mark1.bmp",     "Data\\mark2.bmp",      "Data\\klotzar.bmp", "Data\\klotzar.bmp",
    "Data\\blauklein.bmp", "Data\\blauklein.bmp", "Data\\steinramen.bmp", "Data\\op.bmp",      "Data\\off.bmp",
    "Data\\on.bmp",        "Data\\anim.bmp",      "Data\\hiscore.bmp",    "Data\\hiscore.bmp", "Data\\optionen.bmp",
    "Data\\ausr.bmp",      "Data\\gelb.bmp",      "Data\\rosa.bmp",       "Data\\steinG.bmp",  "Data\\steinB.bmp",
    "Data\\steinR.bmp",    "Data\\steinC.bmp",    "Data\\silber.bmp",     "Data\\steino.bmp",  "Data\\1.bmp",
    "Data\\2.bmp",         "Data\\3.bmp",         "Data\\4.bmp",          "Data\\5.bmp",       "Data\\6.bmp",
    "Data\\7.bmp",         "Data\\8.bmp",         "Data\\9.bmp",          "Data\\0.bmp",
};

std::string joinCrlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

TEST(Files, LogOfANormalRunAndTheHighscoreFileItLeaves)
{
    DriverSetup setup;
    setup.files = {{"log.txt", "a line of an earlier run\r\n"}};
    Driver d(setup);
    App& app = d.app();
    // Before the first idle pass the loading picture is still on show, at
    // (490, 550) on black.
    EXPECT_EQ(d.pictureMismatches(app.pictures.loadingImage.get(), 490, 550), 0) << "loading picture";
    EXPECT_EQ(d.countPixels({0, 0, 800, 550}, 0), 800 * 550) << "black above the loading picture";
    EXPECT_EQ(d.countPixels({0, 550, 490, 600}, 0), 490 * 50) << "black left of the loading picture";
    d.idle();
    d.key(Key::Down);
    d.key(Key::Enter);  // high scores
    d.key(Key::Escape);
    d.press(Key::Escape);
    ASSERT_TRUE(app.quitPosted());
    app.shutDown();  // as the loop's end does
    d.finish();      // and the program's objects going away after it

    const std::string log = d.readFile("log.txt");
    const std::vector<std::string> lines = crlfLines(log);
    EXPECT_EQ(joinCrlf(lines), log) << "every line ends in CR LF, the last one too";
    for (unsigned char byte : log) {
        EXPECT_TRUE(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F))
            << "unexpected byte " << int(byte) << " in a run without failures";
    }

    std::vector<std::string> expected = {"DDraw: Initialisierung OK"};
    for (const char* picture : kPictures) expected.push_back(std::string("DDraw: Grafik geladen OK : ") + picture);
    expected.push_back("Audio: Initialisierung OK");
    // Without an audio device every audio call after Init does nothing, so the
    // sound lines are there only when the device opened.
    const size_t soundsAt = expected.size();
    const bool audioDevice = lines.size() > soundsAt && lines[soundsAt] != "DDraw: Freigegeben OK ";
    if (audioDevice) {
        for (const char* sound : {"drehen.wav", "down.wav", "klatsch.wav"})
            expected.push_back(std::string("Audio: Sound geladen OK :") + sound);
        // Music is off without a settings file, so the tune is never loaded.
    }
    expected.push_back("DDraw: Freigegeben OK ");
    expected.push_back("Audio: Freigabe OK");

    for (size_t i = 0; i < std::max(lines.size(), expected.size()); ++i) {
        EXPECT_EQ(i < lines.size() ? lines[i] : "<missing>", i < expected.size() ? expected[i] : "<none>")
            << "log line " << i + 1;
    }
    std::printf("log: %zu lines, %zu bytes, audio device %s\n", lines.size(), log.size(),
                audioDevice ? "open" : "none");

    // No list on disk before: nine default rows after.
    std::string defaults;
    for (int i = 0; i < 9; ++i) defaults += "0,---\r\n";
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), defaults);
    EXPECT_FALSE(d.fileExists("Data/ini.ini")) << "a run without option clicks writes no settings";
}

}  // namespace
