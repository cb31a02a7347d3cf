// Missing devices: no MIDI bank, no sound card, no display.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fault_env.h"
#include "fault_play.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const char* const kTune = "Fennwold_Neo_Remix.mid";

// Sets an environment variable while alive.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            previous_ = old;
        }
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_.c_str(), previous_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::string previous_;
    bool had_ = false;
};

// Every screen, a game with music on to its end, quit; returns the log.
std::string playWithMusicOn(Driver& d)
{
    App& app = d.app();
    EXPECT_EQ(app.settings.Musik, 1);
    visitEveryScreen(d);
    if (!playClassicToGameOver(d)) return {};
    const std::vector<ListRow> entered = listOf(app);
    EXPECT_EQ(entryFault(kOldList, entered, app.game.total, kPlayer), "");
    quitAndFinish(d);
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(entered));
    const std::string log = d.readFile("log.txt");
    EXPECT_TRUE(logEndsCleanly(log)) << log;
    return log;
}

const char* const kMusicOn = "[Optionen]\r\nMusik=1\r\nVorbelegung=6\r\n";

TEST(NoSound, WithoutAMidiBankOnlyTheTuneIsMissing)
{
    // SDL_mixer takes these over the bank the game would choose.
    ScopedEnv force("SDL_FORCE_SOUNDFONTS", "1");
    ScopedEnv bank("SDL_SOUNDFONTS", "/nonexistent/klotzar-bank.sf2");
    Driver d(setupWith(kMusicOn));
    const std::string log = playWithMusicOn(d);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(countOf(log, std::string("Audio: Fehler beim Laden der Musikdatei : ") + kTune + "\r\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Musik geladen OK"), 0) << log;
    for (const char* sound : {"drehen.wav", "down.wav", "klatsch.wav"})
        EXPECT_EQ(countOf(log, std::string("Audio: Sound geladen OK :") + sound + "\r\n"), 1) << sound;
}

TEST(NoSound, WithoutADeviceTheGamePlaysSilently)
{
    DriverSetup setup = setupWith(kMusicOn);
    setup.start = false;
    Driver d(setup);
    ScopedEnv noDevice("SDL_AUDIODRIVER", "klotzar-no-such-device");
    ASSERT_TRUE(d.startUp());
    const std::string log = playWithMusicOn(d);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(countOf(log, "Audio: Initialisierung OK\r\n"), 1);
    EXPECT_EQ(countOf(log, "Sound"), 0) << "no device: nothing is loaded, nothing reported\n" << log;
    EXPECT_EQ(countOf(log, "Musik"), 0) << log;
}

// A folder with the game's files and a list, for the real program.
class ProgramFolder {
public:
    ProgramFolder()
    {
        fs::copy(Driver::buildFolder() / "Data", path_ / "Data", fs::copy_options::recursive);
        // The game keeps its files beside its binary.
        fs::copy_file(Driver::buildFolder() / "klotzar", path_ / "klotzar");
        fs::remove(path_ / "Data" / "ini.ini");
        std::ofstream(path_ / "Data" / "Highscore.zip", std::ios::binary) << listFile(kOldList);
        fs::create_directory(path_ / "session");
        fs::permissions(path_ / "session", fs::perms(0700));
    }
    const fs::path& path() const { return path_; }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    ScratchFolder folder_{"klotzar-faults"};
    fs::path path_ = folder_.path();
};

void expectOneLineAndStatusOne(const char* how, bool withSession)
{
    SCOPED_TRACE(how);
    ProgramFolder folder;
    ASSERT_FALSE(folder.path().empty());
    // A console without any desktop: no DISPLAY, no WAYLAND_DISPLAY, no
    // SDL_VIDEODRIVER. The sound driver is pinned so no real card is opened.
    std::vector<std::string> env = {"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + folder.path().string(),
                                    "LANG=C.UTF-8", "SDL_AUDIODRIVER=dummy"};
    if (withSession) env.push_back("XDG_RUNTIME_DIR=" + (folder.path() / "session").string());
    const std::string program = (folder.path() / "klotzar").string();
    const ProcessResult run = RunProcess({program}, env, folder.path(), 10000);
    ASSERT_TRUE(run.started);
    ASSERT_FALSE(run.timedOut) << "still running after 10 s";
    EXPECT_TRUE(run.exited) << "ended by signal " << run.signal;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(countOf(run.err, "\n"), 1) << "standard error:\n" << run.err;
    EXPECT_NE(run.err.find("display"), std::string::npos) << run.err;
    EXPECT_LT(run.seconds, 5.0);
    EXPECT_EQ(folder.read("Data/Highscore.zip"), listFile(kOldList)) << "the list did not survive";
    std::printf("%s: %.2f s, stderr: %s", how, run.seconds, run.err.c_str());
}

TEST(NoDisplay, OneLineOnStandardErrorAndStatusOne)
{
    expectOneLineAndStatusOne("with a session folder", true);
    expectOneLineAndStatusOne("from a console without a session (XDG_RUNTIME_DIR unset)", false);
}

}  // namespace
