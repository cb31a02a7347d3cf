// Every file of the Data folder missing in turn, all of them at once, the
// folder itself gone, and a race without its first level file: each run
// starts, plays to its end, quits and leaves the files it should.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "fault_play.h"

namespace {

namespace fs = std::filesystem;

enum class Kind { Picture, Sound, Tune };

struct DataFile {
    const char* name;
    Kind kind;
    int loads;  // pictures loaded at two sizes are loaded (and reported) twice
};

const DataFile kDataFiles[] = {
    {"lade.bmp", Kind::Picture, 1},
    {"mark1.bmp", Kind::Picture, 1},
    {"mark2.bmp", Kind::Picture, 1},
    {"klotzar.bmp", Kind::Picture, 2},
    {"blauklein.bmp", Kind::Picture, 2},
    {"steinramen.bmp", Kind::Picture, 1},
    {"op.bmp", Kind::Picture, 1},
    {"off.bmp", Kind::Picture, 1},
    {"on.bmp", Kind::Picture, 1},
    {"anim.bmp", Kind::Picture, 1},
    {"hiscore.bmp", Kind::Picture, 2},
    {"optionen.bmp", Kind::Picture, 1},
    {"ausr.bmp", Kind::Picture, 1},
    {"gelb.bmp", Kind::Picture, 1},
    {"rosa.bmp", Kind::Picture, 1},
    {"steinG.bmp", Kind::Picture, 1},
    {"steinB.bmp", Kind::Picture, 1},
    {"steinR.bmp", Kind::Picture, 1},
    {"steinC.bmp", Kind::Picture, 1},
    {"silber.bmp", Kind::Picture, 1},
    {"steino.bmp", Kind::Picture, 1},
    {"0.bmp", Kind::Picture, 1},
    {"1.bmp", Kind::Picture, 1},
    {"2.bmp", Kind::Picture, 1},
    {"3.bmp", Kind::Picture, 1},
    {"4.bmp", Kind::Picture, 1},
    {"5.bmp", Kind::Picture, 1},
    {"6.bmp", Kind::Picture, 1},
    {"7.bmp", Kind::Picture, 1},
    {"8.bmp", Kind::Picture, 1},
    {"9.bmp", Kind::Picture, 1},
    {"drehen.wav", Kind::Sound, 1},
    {"down.wav", Kind::Sound, 1},
    {"klatsch.wav", Kind::Sound, 1},
    {"Fennwold_Neo_Remix.mid", Kind::Tune, 1},
};

// Test names and failure messages show the file's name.
void PrintTo(const DataFile& file, std::ostream* out)
{
    *out << file.name;
}

// Music on and the board half full: the tune is started, games end quickly.
const char* const kSettings = "[Optionen]\r\nMusik=1\r\nVorbelegung=6\r\n";

std::string failureLine(const DataFile& file)
{
    switch (file.kind) {
    case Kind::Picture: return std::string("DDraw: Datei nicht gefunden : Data\\") + file.name + "\r\n";
    case Kind::Sound: return std::string("Audio: Fehler beim Laden der Sounddatei : ") + file.name + "\r\n";
    case Kind::Tune: break;
    }
    return std::string("Audio: Fehler beim Laden der Musikdatei : ") + file.name + "\r\n";
}

std::string successPart(const DataFile& file)
{
    switch (file.kind) {
    case Kind::Picture: return std::string("Grafik geladen OK : Data\\") + file.name + "\r\n";
    case Kind::Sound: return std::string("Sound geladen OK :") + file.name + "\r\n";
    case Kind::Tune: break;
    }
    return std::string("Musik geladen OK :") + file.name + "\r\n";
}

// One whole run with setup: every screen, a classic game to its end, quit.
// Checks the list and the settings the run wrote, and returns the log.
std::string playWholeRun(const DriverSetup& setup)
{
    Driver d(setup);
    App& app = d.app();
    const int32_t zielhilfe = visitEveryScreen(d);
    if (!playClassicToGameOver(d)) return {};
    const std::vector<ListRow> expected = listOf(app);
    EXPECT_NE(listFile(expected), listFile(kOldList)) << "the game's total " << app.game.total << " entered nothing";
    EXPECT_EQ(entryFault(kOldList, expected, app.game.total, kPlayer), "") << "the list in memory";
    quitAndFinish(d);
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(expected)) << "the list written at exit";
    const std::string ini = d.readFile("Data/ini.ini");
    EXPECT_NE(ini.find("Zielhilfe=" + std::to_string(zielhilfe) + "\r\n"), std::string::npos)
        << "the options click was not written: " << ini;
    const std::string log = d.readFile("log.txt");
    EXPECT_TRUE(logEndsCleanly(log)) << log;
    return log;
}

class MissingDataFile : public ::testing::TestWithParam<DataFile> {};

TEST_P(MissingDataFile, IsReportedAndTheGameStillPlaysToItsEnd)
{
    const DataFile& file = GetParam();
    DriverSetup setup = setupWith(kSettings);
    setup.removed = {std::string("Data/") + file.name};
    const std::string log = playWholeRun(setup);
    ASSERT_FALSE(log.empty());
    // Sound lines exist only when an audio device opened (the dummy one does).
    const bool audio = log.find("Audio: Sound geladen OK :") != std::string::npos ||
                       log.find("Audio: Fehler beim Laden der Sounddatei") != std::string::npos;
    if (file.kind != Kind::Picture && !audio) GTEST_SKIP() << "no audio device: sound files are never opened";
    EXPECT_EQ(countOf(log, failureLine(file)), file.loads) << log;
    EXPECT_EQ(countOf(log, successPart(file)), 0) << log;
}

INSTANTIATE_TEST_SUITE_P(EachInTurn, MissingDataFile, ::testing::ValuesIn(kDataFiles),
                         [](const ::testing::TestParamInfo<DataFile>& info) {
                             std::string name = info.param.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(MissingDataFiles, TheListAboveCoversTheWholeFolder)
{
    std::set<std::string> shipped;
    for (const auto& entry : fs::directory_iterator(Driver::buildFolder() / "Data")) {
        const std::string name = entry.path().filename().string();
        if (name != "ini.ini" && name != "Highscore.zip") shipped.insert(name);
    }
    std::set<std::string> listed;
    for (const DataFile& file : kDataFiles) listed.insert(file.name);
    EXPECT_EQ(listed, shipped) << "a file of the Data folder is not tried missing";
}

TEST(MissingDataFiles, AllAtOnce)
{
    DriverSetup setup = setupWith(kSettings);
    for (const DataFile& file : kDataFiles) setup.removed.push_back(std::string("Data/") + file.name);
    const std::string log = playWholeRun(setup);
    ASSERT_FALSE(log.empty());
    for (const DataFile& file : kDataFiles) {
        if (file.kind != Kind::Picture) continue;
        EXPECT_EQ(countOf(log, failureLine(file)), file.loads) << file.name;
    }
    EXPECT_EQ(countOf(log, "Grafik geladen OK"), 0);
    EXPECT_EQ(countOf(log, "geladen OK :"), 0) << "no sound or tune was there to load";
}

TEST(MissingDataFiles, NoDataFolderAtAll)
{
    // Nothing to load and nowhere to write the list or the settings: the
    // game still runs from the title through a game to its end.
    DriverSetup setup;
    setup.name = kPlayer;
    setup.start = false;
    Driver d(setup);
    fs::remove_all(d.folder() / "Data");
    ASSERT_FALSE(d.fileExists("Data"));
    ASSERT_TRUE(d.startUp());
    App& app = d.app();
    visitEveryScreen(d);
    ASSERT_TRUE(playClassicToGameOver(d));
    EXPECT_EQ(app.highscores.scoreAt(0), app.game.total) << "entered in memory all the same";
    quitAndFinish(d);
    EXPECT_FALSE(d.fileExists("Data")) << "no folder is made for the files";
    EXPECT_TRUE(logEndsCleanly(d.readFile("log.txt")));
}

TEST(MissingDataFiles, RaceWithoutItsFirstLevelFile)
{
    // Level 1 is an empty track; the race drives through it into level 2 and
    // goes on to its end. A race enters no score.
    DriverSetup setup = setupWith("[Optionen]\r\nmodus=3\r\n");
    setup.removed = {"1.dat"};
    Driver d(setup);
    App& app = d.app();
    ASSERT_FALSE(d.fileExists("1.dat"));
    ASSERT_TRUE(playRaceToItsEnd(d));
    EXPECT_GT(app.race.level, 1) << "the empty first level was driven to its end";
    EXPECT_EQ(describe(listOf(app)), describe(kOldList)) << "a race enters no score";
    quitAndFinish(d);
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(kOldList));
    EXPECT_TRUE(logEndsCleanly(d.readFile("log.txt")));
}

}  // namespace
