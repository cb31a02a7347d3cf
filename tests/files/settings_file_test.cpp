#include "shell/settings_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "scratch_folder.h"
#include "shell/ini_file.h"

// Found by argument-dependent lookup, so outside the unnamed namespace.
bool operator==(const Settings& a, const Settings& b)
{
    return a.Vorbelegung == b.Vorbelegung && a.Zielhilfe == b.Zielhilfe && a.Vorschauzwei == b.Vorschauzwei &&
           a.Musik == b.Musik && a.modus == b.modus;
}

std::ostream& operator<<(std::ostream& out, const Settings& s)
{
    return out << "{Vorbelegung " << s.Vorbelegung << ", Zielhilfe " << s.Zielhilfe << ", Vorschauzwei "
               << s.Vorschauzwei << ", Musik " << s.Musik << ", modus " << s.modus << "}";
}

namespace {

// Centre x of the value column and a y inside each box.
constexpr int32_t kX = 525;
constexpr int32_t kVorbelegungY = 240;
constexpr int32_t kZielhilfeY = 310;
constexpr int32_t kVorschauzweiY = 380;
constexpr int32_t kModusY = 451;
constexpr int32_t kMusikY = 521;

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() { std::filesystem::create_directory(folder / "Data"); }

    void click(int32_t x, int32_t y, bool playing = false) { optionsClick(settings, shell, playing, x, y, gamePath); }
    int32_t stored(const char* key) const { return GetProfileInt(gamePath, "Optionen", key, -99); }

    ScratchFolder folder;
    const std::string gamePath = folder / "Data\\ini.ini";
    const std::string file = folder / "Data/ini.ini";
    Settings settings;
    ShellState shell = [] {
        ShellState s;
        s.menuSelection = 2;
        s.optionsScreen = true;
        return s;
    }();
};

Settings make(int32_t vorbelegung, int32_t zielhilfe, int32_t vorschauzwei, int32_t musik, int32_t modus)
{
    Settings s;
    s.Vorbelegung = vorbelegung;
    s.Zielhilfe = zielhilfe;
    s.Vorschauzwei = vorschauzwei;
    s.Musik = musik;
    s.modus = modus;
    return s;
}

TEST_F(SettingsFile, ReadingKeepsCurrentValuesForMissingKeys)
{
    readSettings(settings, gamePath);
    EXPECT_EQ(settings, make(0, 1, 0, 0, 0));

    writeBytes(file, "[Andere]\r\nmodus=3\r\n[optionen]\r\nMUSIK=1\r\nVorbelegung=15\r\nZielhilfe=2\r\n");
    readSettings(settings, gamePath);
    EXPECT_EQ(settings, make(15, 2, 0, 1, 0));

    writeBytes(file, "[Optionen]\r\nVorschauzwei=1\r\nmodus=3\r\nZielhilfe=nein\r\n");
    readSettings(settings, gamePath);
    EXPECT_EQ(settings, make(15, 0, 1, 1, 3));
}

TEST_F(SettingsFile, FirstClickCreatesTheFileWithThatOneKey)
{
    click(kX, kZielhilfeY);
    EXPECT_EQ(settings, make(0, 0, 0, 0, 0));
    EXPECT_EQ(readBytes(file), "[Optionen]\r\nZielhilfe=0\r\n");
}

TEST_F(SettingsFile, TenClicksRunVorbelegungRoundAndWriteEachValue)
{
    for (int32_t expected : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
        click(kX, kVorbelegungY);
        EXPECT_EQ(settings.Vorbelegung, expected);
        EXPECT_EQ(stored("Vorbelegung"), expected);
    }
    EXPECT_EQ(readBytes(file), "[Optionen]\r\nVorbelegung=0\r\n");

    settings.Vorbelegung = 15;  // from the file: beyond the options screen's range
    click(kX, kVorbelegungY);
    EXPECT_EQ(settings.Vorbelegung, 0);
    settings.Vorbelegung = INT32_MAX;
    click(kX, kVorbelegungY);
    EXPECT_EQ(settings.Vorbelegung, 0);
    settings.Vorbelegung = -4;
    click(kX, kVorbelegungY);
    EXPECT_EQ(stored("Vorbelegung"), -3);
}

TEST_F(SettingsFile, EachBoxChangesItsOwnSettingAtItsEdges)
{
    settings.Zielhilfe = 2;  // counts as on: the first click turns it off
    click(500, 285);
    click(550, 355);
    click(500, 496);
    settings.modus = 1;
    click(550, 426);
    EXPECT_EQ(settings, make(0, 0, 1, 1, 2));
    click(kX, 265);
    click(kX, 335);
    click(kX, 405);
    click(kX, 476);
    click(kX, 546);
    EXPECT_EQ(settings, make(1, 1, 0, 0, 1));
    EXPECT_EQ(readBytes(file),
              "[Optionen]\r\nZielhilfe=1\r\nVorschauzwei=0\r\nMusik=0\r\nmodus=1\r\nVorbelegung=1\r\n");
}

TEST_F(SettingsFile, ClicksOutsideTheBoxesOrTheScreenDoNothing)
{
    const Settings start = settings;
    for (int32_t y : {kVorbelegungY, kZielhilfeY, kVorschauzweiY, kModusY, kMusikY}) {
        click(499, y);
        click(551, y);
    }
    for (int32_t y : {214, 266, 284, 336, 354, 406, 425, 477, 495, 547}) click(kX, y);
    click(kX, kZielhilfeY, true);  // a game runs

    ShellState other = shell;
    other.highscoreScreen = true;
    optionsClick(settings, other, false, kX, kZielhilfeY, gamePath);
    other = shell;
    other.optionsScreen = false;
    optionsClick(settings, other, false, kX, kZielhilfeY, gamePath);

    EXPECT_EQ(settings, start);
    EXPECT_FALSE(exists(file));
}

TEST_F(SettingsFile, ModusSwitchesOnlyBetweenOneAndTwo)
{
    for (int32_t fixed : {0, 3, -1}) {
        settings.modus = fixed;
        click(kX, kModusY);
        EXPECT_EQ(settings.modus, fixed);
    }
    EXPECT_FALSE(exists(file));

    writeBytes(file, "[Optionen]\r\nmodus=1\r\n");
    readSettings(settings, gamePath);
    click(kX, kModusY);
    EXPECT_EQ(stored("modus"), 2);
    click(kX, kModusY);
    EXPECT_EQ(settings.modus, 1);
    EXPECT_EQ(readBytes(file), "[Optionen]\r\nmodus=1\r\n");
}

}  // namespace
