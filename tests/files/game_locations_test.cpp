// Where the game's file names lead: portable beside the binary, installed with
// the player's files in the XDG folders, and what happens when those cannot
// be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <string>

#include "files/game_files.h"
#include "files/game_locations.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kShippedIni = "[Optionen]\r\nmodus=1\r\n";

// A binary in <root>/prefix/bin with its data in <root>/prefix/share/klotzar,
// and a home folder; the environment is the map given.
struct Installation {
    ScratchFolder root;
    std::map<std::string, std::string> env;

    Installation()
    {
        fs::create_directories(root / "prefix/bin");
        fs::create_directories(root / "prefix/share/klotzar/Data");
        fs::create_directories(root / "home");
        writeBytes(root / "prefix/share/klotzar/Data/ini.ini", kShippedIni);
        writeBytes(root / "prefix/share/klotzar/3.dat", "shipped");
        env["HOME"] = root / "home";
    }

    LocationFacts facts()
    {
        LocationFacts f;
        f.programFolder = root / "prefix/bin";
        f.dataFolderFromProgram = "../share/klotzar";
        f.configuredDataFolder = "/nonexistent/share/klotzar";
        f.getEnv = [this](const char* name) -> const char* {
            const auto it = env.find(name);
            return it == env.end() ? nullptr : it->second.c_str();
        };
        return f;
    }
};

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Restores the working-directory default for the tests after.
struct LocationsInUse {
    explicit LocationsInUse(const GameLocations& at) { UseGameLocations(at); }
    ~LocationsInUse() { UseGameLocations(GameLocations{}); }
};

TEST(GameLocations, ChoosesPortableOnlyWithADataFolderBesideTheBinary)
{
    Installation in;
    GameLocations at = ChooseGameLocations(in.facts());
    EXPECT_TRUE(at.installed);
    EXPECT_EQ(at.dataFolder, in.root / "prefix/bin/../share/klotzar");

    fs::create_directory(in.root / "prefix/bin/Data");
    at = ChooseGameLocations(in.facts());
    EXPECT_FALSE(at.installed);
    EXPECT_EQ(at.portableFolder, in.root / "prefix/bin");

    // Moved away from its data: the configured folder.
    fs::remove(in.root / "prefix/bin/Data");
    fs::rename(in.root / "prefix/share", in.root / "prefix/elsewhere");
    EXPECT_EQ(ChooseGameLocations(in.facts()).dataFolder, "/nonexistent/share/klotzar");
}

TEST(GameLocations, XdgVariablesWhenAbsoluteElseTheFoldersUnderHome)
{
    Installation in;
    const std::string home = in.root / "home";
    GameLocations at = ChooseGameLocations(in.facts());
    EXPECT_EQ(at.configFolder, home + "/.config/klotzar");
    EXPECT_EQ(at.playerDataFolder, home + "/.local/share/klotzar");
    EXPECT_EQ(at.stateFolder, home + "/.local/state/klotzar");

    in.env["XDG_CONFIG_HOME"] = "/c";
    in.env["XDG_DATA_HOME"] = "";
    in.env["XDG_STATE_HOME"] = "relative/state";
    at = ChooseGameLocations(in.facts());
    EXPECT_EQ(at.configFolder, "/c/klotzar");
    EXPECT_EQ(at.playerDataFolder, home + "/.local/share/klotzar") << "empty counts as unset";
    EXPECT_EQ(at.stateFolder, home + "/.local/state/klotzar") << "a relative path is ignored";
}

TEST(GameLocations, InstalledNamesLeadToTheShippedFilesAndThePlayersFolders)
{
    Installation in;
    in.env["XDG_CONFIG_HOME"] = in.root / "cfg";
    in.env["XDG_DATA_HOME"] = in.root / "data";
    in.env["XDG_STATE_HOME"] = in.root / "state";
    const LocationsInUse use(ChooseGameLocations(in.facts()));
    const std::string shipped = in.root / "prefix/bin/../share/klotzar";

    EXPECT_EQ(HostPath("Data\\lade.bmp"), shipped + "/Data/lade.bmp");
    EXPECT_EQ(HostPath("Data/drehen.wav"), shipped + "/Data/drehen.wav");
    EXPECT_EQ(HostPath("icon.bmp"), shipped + "/icon.bmp");
    EXPECT_FALSE(exists(in.root / "cfg")) << "reading game files makes no per-user folder";

    EXPECT_EQ(HostPath("Data\\Highscore.zip"), in.root / "data/klotzar/Highscore.zip");
    EXPECT_EQ(HostPath("log.txt"), in.root / "state/klotzar/log.txt");
    EXPECT_EQ(HostPath("Data\\name.txt"), in.root / "cfg/klotzar/name.txt");
    EXPECT_EQ(HostPath("gamecontrollerdb.txt"), in.root / "cfg/klotzar/gamecontrollerdb.txt");
    EXPECT_EQ(HostPath("Replays\\2026-12-08.rec"), in.root / "data/klotzar/Replays/2026-12-08.rec");
    EXPECT_EQ(HostPath("replays\\b.rec"), in.root / "data/klotzar/Replays/b.rec") << "one folder, however spelled";
    for (const char* folder : {"cfg/klotzar", "data/klotzar", "state/klotzar", "data/klotzar/Replays", "cfg", "state"})
        EXPECT_EQ(modeOf(in.root / folder), 0700u) << folder;

    // The settings start as a copy of the shipped ones; a player's own stay.
    EXPECT_EQ(HostPath("Data\\ini.ini"), in.root / "cfg/klotzar/ini.ini");
    EXPECT_EQ(readBytes(in.root / "cfg/klotzar/ini.ini"), kShippedIni);
    writeBytes(in.root / "cfg/klotzar/ini.ini", "[Optionen]\r\nmodus=2\r\n");
    HostPath("Data\\ini.ini");
    EXPECT_EQ(readBytes(in.root / "cfg/klotzar/ini.ini"), "[Optionen]\r\nmodus=2\r\n");

    // A player's level file replaces the shipped one of the same number.
    EXPECT_EQ(HostPath("3.dat"), shipped + "/3.dat");
    writeBytes(in.root / "data/klotzar/3.dat", "mine");
    EXPECT_EQ(HostPath("3.dat"), in.root / "data/klotzar/3.dat");
    EXPECT_EQ(HostPath("4.dat"), shipped + "/4.dat");
}

TEST(GameLocations, AnUnwritableFolderIsReportedOnceAndThePathStillGiven)
{
    Installation in;
    // A file where a folder should be stops root too.
    writeBytes(in.root / "locked", "not a folder");
    in.env["XDG_STATE_HOME"] = in.root / "locked";
    const LocationsInUse use(ChooseGameLocations(in.facts()));

    testing::internal::CaptureStderr();
    const std::string first = HostPath("log.txt");
    const std::string second = HostPath("log.txt");
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(first, in.root / "locked/klotzar/log.txt");
    EXPECT_EQ(second, first);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(in.root / "locked/klotzar"), std::string::npos) << err;
}

TEST(GameLocations, PortableNamesStayBesideTheBinaryOrInTheWorkingDirectory)
{
    EXPECT_EQ(HostPath("Data\\ini.ini"), "Data/ini.ini") << "the default: the working directory";
    EXPECT_EQ(HostPath("log.txt"), "log.txt");
    GameLocations at;
    at.portableFolder = "/opt/klotzar";
    const LocationsInUse use(at);
    EXPECT_EQ(HostPath("Data\\Highscore.zip"), "/opt/klotzar/Data/Highscore.zip");
    EXPECT_EQ(HostPath("2.dat"), "/opt/klotzar/2.dat");
}

}  // namespace

namespace {

TEST(GameLocations, AReadOnlyPortableCopyIsReportedOnceForWhatItWouldWrite)
{
    ScratchFolder game;
    // Where the game's folder should be lies a file: nothing can be written
    // there, root or not.
    writeBytes(game / "blocker", "not a folder");
    GameLocations at;
    at.portableFolder = game / "blocker";
    const LocationsInUse use(at);

    testing::internal::CaptureStderr();
    HostPath("Data\\lade.bmp");
    HostPath("Data\\Highscore.zip");
    HostPath("Data\\ini.ini");
    HostPath("log.txt");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << "once per folder, and not for a picture:\n" << err;
    EXPECT_NE(err.find(game / "blocker/Data "), std::string::npos) << err;
    EXPECT_NE(err.find(game / "blocker "), std::string::npos) << err;
}

}  // namespace
