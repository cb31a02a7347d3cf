// Nowhere to write: a read-only working folder, a disk that fills up after a
// game, a file-size limit, a list that cannot be replaced, and a program
// killed in the middle of writing its list. The game plays on, says when a
// save failed, and the list on disk is always either the old one or the new
// one, whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "fault_env.h"
#include "fault_play.h"

namespace {

namespace fs = std::filesystem;

const char* const kSettings = "[Optionen]\r\nVorbelegung=6\r\n";
const char* const kSaveFailedLog = "Main : Fehler beim Speichern der Highscoreliste : Data/Highscore.zip\r\n";
const char* const kSaveFailedError = "klotzar: the high scores could not be saved to Data/Highscore.zip.\n";

// Plays a whole run in a folder where nothing can be written: the game runs
// as usual, only nothing reaches the disk.
void playWithoutWriting(Driver& d)
{
    App& app = d.app();
    ASSERT_FALSE(CanCreateFileIn(d.folder())) << "the working folder still takes new files";
    ASSERT_FALSE(CanCreateFileIn(d.folder() / "Data")) << "the Data folder still takes new files";
    ASSERT_TRUE(d.startUp());
    const int32_t zielhilfe = visitEveryScreen(d);
    EXPECT_EQ(app.settings.Zielhilfe, zielhilfe) << "the option takes effect without its file";
    testing::internal::CaptureStderr();
    const bool over = playClassicToGameOver(d);
    const std::string errorAtGameOver = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(over);
    // The failed save is told; the recorded game that cannot be kept either
    // says so once, in a line of its own.
    const size_t told = std::min(errorAtGameOver.size(), std::strlen(kSaveFailedError));
    EXPECT_EQ(errorAtGameOver.substr(0, told), kSaveFailedError) << "the failed save at game over is told";
    const std::string more = errorAtGameOver.substr(told);
    EXPECT_TRUE(more.empty() || (more.rfind("klotzar: cannot write in Replays (", 0) == 0 &&
                                 std::count(more.begin(), more.end(), '\n') == 1))
        << more;
    EXPECT_EQ(entryFault(kOldList, listOf(app), app.game.total, kPlayer), "")
        << "the list in memory still takes the score";
    testing::internal::CaptureStderr();
    quitAndFinish(d);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kSaveFailedError) << "the failed save at exit is told";

    EXPECT_FALSE(d.fileExists("log.txt")) << "a log was made in a read-only folder";
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(kOldList));
    EXPECT_EQ(d.readFile("Data/ini.ini"), kSettings);
    EXPECT_FALSE(d.fileExists("Data/Highscore.zip.tmp"));
    EXPECT_FALSE(d.fileExists("Data/ini.ini.tmp"));
}

TEST(ReadOnlyFolder, MountedReadOnly)
{
    std::string why;
    if (!UsePrivateMounts(why)) GTEST_SKIP() << "cannot mount here (" << why << "); the permission test covers this";
    TmpfsMount disk(64ull << 20);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    DriverSetup setup = setupWith(kSettings);
    setup.start = false;
    TempFolderIn runsOnDisk(disk.path());
    Driver d(setup);
    ASSERT_EQ(d.folder().parent_path(), disk.path());
    ASSERT_TRUE(disk.remountReadOnly()) << disk.error();
    playWithoutWriting(d);
}

TEST(ReadOnlyFolder, WithoutWritePermission)
{
    DriverSetup setup = setupWith(kSettings);
    setup.start = false;
    Driver d(setup);
    // Declared after the driver, so permissions come back before it cleans up.
    ReadOnlyTree readOnly(d.folder());
    PermissionsEnforced asAnyone;
    if (CanCreateFileIn(d.folder())) GTEST_SKIP() << "this user writes into a folder of mode 0555 regardless";
    playWithoutWriting(d);
}

// Plays a game to its end (its total is saved at once), then (with the disk
// now refusing writes) switches an option and quits. Nothing written at or
// after the fault may break the files that were there.
void refusedAtTheEnd(Driver& d, const std::function<void()>& fault)
{
    App& app = d.app();
    const int32_t zielhilfe = visitEveryScreen(d);
    const std::string iniBefore = d.readFile("Data/ini.ini");
    ASSERT_NE(iniBefore.find("Zielhilfe=" + std::to_string(zielhilfe)), std::string::npos) << iniBefore;
    ASSERT_TRUE(playClassicToGameOver(d));
    EXPECT_EQ(entryFault(kOldList, listOf(app), app.game.total, kPlayer), "");
    const std::string listAtGameOver = listFile(listOf(app));
    EXPECT_NE(listAtGameOver, listFile(kOldList)) << "the game changed the list";
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listAtGameOver) << "the list is saved at game over";

    fault();
    // Back to the title, the options, one more click: the file keeps its bytes.
    d.key(Key::Escape);
    d.click(400, 440);
    d.idle();
    ASSERT_TRUE(app.shell.optionsScreen);
    d.click(525, 300);
    d.idle();
    EXPECT_NE(app.settings.Zielhilfe, zielhilfe);
    d.key(Key::Escape);
    d.press(Key::Escape);
    ASSERT_TRUE(app.quitPosted());
    app.shutDown();
    d.finish();

    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listAtGameOver) << "the saved list was damaged";
    EXPECT_EQ(d.readFile("Data/ini.ini"), iniBefore) << "the old settings were damaged";
    EXPECT_FALSE(d.fileExists("Data/Highscore.zip.tmp"));
    EXPECT_FALSE(d.fileExists("Data/ini.ini.tmp"));
}

TEST(FullDisk, AtExitTheOldListStaysWhole)
{
    std::string why;
    if (!UsePrivateMounts(why)) GTEST_SKIP() << "cannot mount here (" << why << "); FileSizeLimit covers this";
    TmpfsMount disk(16ull << 20);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    TempFolderIn runsOnDisk(disk.path());
    Driver d(setupWith(kSettings));
    ASSERT_EQ(d.folder().parent_path(), disk.path());
    long long filled = 0;
    refusedAtTheEnd(d, [&] {
        filled = FillDisk(disk.path(), why);
        ASSERT_GE(filled, 0) << why;
    });
    EXPECT_GT(filled, 0);
    // With room again the next run reads the list saved at game over and
    // writes its own.
    fs::remove(disk.path() / "filler");
    const std::string saved = d.readFile("Data/Highscore.zip");
    EXPECT_NE(saved, listFile(kOldList));
    PlayerName nobody;
    HighscoreList next(nobody, (d.folder() / "Data" / "Highscore.zip").string());
    EXPECT_EQ(listFile(listOf(next)), saved);
    EXPECT_TRUE(next.save());
}

TEST(FullDisk, WritesPastAFileSizeLimitFailWithoutDamage)
{
    Driver d(setupWith(kSettings));
    // Below the size of either new file, so both writes fail part-way.
    std::unique_ptr<FileSizeLimit> limit;
    refusedAtTheEnd(d, [&] { limit = std::make_unique<FileSizeLimit>(30); });
    limit.reset();
}

// A folder stands where the new list is written beside the old one: the save
// at game over fails, the log and standard error say so, the old list stays,
// and the log still ends with the releases.
TEST(FailedSave, IsToldInTheLogAndOnStandardError)
{
    Driver d(setupWith(kSettings));
    App& app = d.app();
    fs::create_directory(d.folder() / "Data" / "Highscore.zip.tmp");
    testing::internal::CaptureStderr();
    const bool over = playClassicToGameOver(d);
    const std::string errorAtGameOver = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(over);
    EXPECT_EQ(errorAtGameOver, kSaveFailedError);
    EXPECT_EQ(countOf(d.readFile("log.txt"), kSaveFailedLog), 1) << d.readFile("log.txt");
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(kOldList));

    // Room again before the exit: the pending total reaches the file then.
    fs::remove(d.folder() / "Data" / "Highscore.zip.tmp");
    const std::vector<ListRow> entered = listOf(app);
    EXPECT_EQ(entryFault(kOldList, entered, app.game.total, kPlayer), "");
    EXPECT_NE(entered, kOldList) << "the game changed the list";
    quitAndFinish(d);
    EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(entered));
    const std::string log = d.readFile("log.txt");
    EXPECT_EQ(countOf(log, kSaveFailedLog), 1) << log;
    EXPECT_TRUE(logEndsCleanly(log)) << log;
}

// A list that is there but cannot be read is never replaced, not even by a
// finished game; each attempt is told.
TEST(FailedSave, AnUnreadableListIsKeptAndTheRefusalTold)
{
    DriverSetup setup = setupWith(kSettings);
    setup.files = {{"Data/Highscore.zip/inside", "x"}, {"Data/ini.ini", kSettings}};
    Driver d(setup);
    testing::internal::CaptureStderr();
    const bool over = playClassicToGameOver(d);
    quitAndFinish(d);
    const std::string error = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(over);
    EXPECT_EQ(countOf(error, "klotzar: Data/Highscore.zip cannot be read; the high scores were not saved over it.\n"),
              2)
        << error;
    EXPECT_EQ(countOf(d.readFile("log.txt"),
                      "Main : Highscoreliste nicht lesbar, nicht gespeichert : Data/Highscore.zip\r\n"),
              2);
    EXPECT_TRUE(fs::is_directory(d.folder() / "Data" / "Highscore.zip"));
    EXPECT_EQ(d.readFile("Data/Highscore.zip/inside"), "x");
}

TEST(KilledWhileSaving, TheListOnDiskIsTheOldOneWhole)
{
    // klotzar-fault-child plays to a game over and is killed by its
    // file-size limit 30 bytes into writing the new list.
    std::vector<std::string> env;
    for (char** v = environ; *v; ++v) env.push_back(*v);
    const ProcessResult child = RunProcess({KLOTZAR_FAULT_CHILD}, env, fs::current_path(), 30000);
    ASSERT_TRUE(child.started);
    const std::string folder = child.out.substr(0, child.out.find('\n'));
    struct Cleanup {
        std::string folder;
        ~Cleanup()
        {
            std::error_code ignored;
            if (!folder.empty()) fs::remove_all(folder, ignored);
        }
    } cleanup{folder};
    ASSERT_FALSE(child.timedOut) << "the child did not end within 30 s";
    ASSERT_FALSE(folder.empty()) << "the child reported no run folder; stderr:\n" << child.err;
    ASSERT_EQ(child.signal, SIGXFSZ) << "exit status " << child.status << "; stderr:\n" << child.err;

    const fs::path data = fs::path(folder) / "Data";
    std::ifstream in(data / "Highscore.zip", std::ios::binary);
    const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(list, listFile(kOldList)) << "the list on disk is not the old one";
    // What was cut off is a leftover beside it, which the next save clears.
    ASSERT_TRUE(fs::exists(data / "Highscore.zip.tmp")) << "the child died elsewhere than in the list's write";
    EXPECT_EQ(fs::file_size(data / "Highscore.zip.tmp"), 30u);
    PlayerName nobody;
    HighscoreList next(nobody, (data / "Highscore.zip").string());
    EXPECT_EQ(describe(listOf(next)), describe(kOldList));
    EXPECT_TRUE(next.save());
    EXPECT_FALSE(fs::exists(data / "Highscore.zip.tmp"));
}

}  // namespace
