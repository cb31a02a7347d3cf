// The three files the game reads besides its pictures and sounds - the
// high-score list, the settings and the first level - cut short, full of
// binary garbage, replaced by a folder, or not readable. Each run plays to its
// end and quits; what the game writes back is whole, and what it cannot read
// it leaves alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <random>
#include <string>

#include "fault_env.h"
#include "fault_play.h"
#include "shell/ini_file.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { Truncated, Garbage, Folder, Unreadable };
enum class Target { List, Settings, Level };

const char* const kListPath = "Data/Highscore.zip";
const char* const kIniPath = "Data/ini.ini";
const char* const kLevelPath = "1.dat";

// Bytes a reader could trip over, more often than plain chance gives them.
std::string garbage(unsigned seed)
{
    std::mt19937 random(seed);
    const char tricky[] = {',', '\r', '\n', '-', '+', ' ', '0', '9', '=', '[', ']', ';', '\0'};
    std::string bytes(4096, '\0');
    for (char& c : bytes) {
        const unsigned roll = random();
        c = roll % 3 == 0 ? tricky[(roll >> 8) % sizeof tricky] : static_cast<char>(roll >> 16);
    }
    return bytes;
}

std::string buildFile(const std::string& name)
{
    std::ifstream in(Driver::buildFolder() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The settings a game starts with when the file is damaged. Music is on so
// Esc and the game's start reach the audio too.
const char* const kIniWhole = "[Optionen]\r\nMusik=1\r\nVorbelegung=6\r\nZielhilfe=1\r\n";

struct Case {
    Target target;
    Damage damage;
};

std::string nameOf(const ::testing::TestParamInfo<Case>& info)
{
    const char* targets[] = {"List", "Settings", "Level"};
    const char* damages[] = {"Truncated", "Garbage", "Folder", "Unreadable"};
    return std::string(targets[static_cast<int>(info.param.target)]) + damages[static_cast<int>(info.param.damage)];
}

const char* pathOf(Target target)
{
    switch (target) {
    case Target::List: return kListPath;
    case Target::Settings: return kIniPath;
    case Target::Level: break;
    }
    return kLevelPath;
}

void PrintTo(const Case& c, std::ostream* out)
{
    const char* damages[] = {"cut short", "garbage", "a folder", "not readable"};
    *out << pathOf(c.target) << " " << damages[static_cast<int>(c.damage)];
}

// The damaged file's bytes (nothing for a folder).
std::string damagedBytes(const Case& c)
{
    const unsigned seed = 1000 + 10 * static_cast<unsigned>(c.target) + static_cast<unsigned>(c.damage);
    if (c.damage == Damage::Garbage) return garbage(seed);
    if (c.damage == Damage::Folder) return {};
    switch (c.target) {
    case Target::List: {
        // Cut in the middle of the sixth row's name, without its line end.
        const std::string whole = listFile(kOldList);
        return c.damage == Damage::Truncated ? whole.substr(0, whole.find("Fritz") + 2) : whole;
    }
    case Target::Settings: {
        const std::string whole = kIniWhole;
        return c.damage == Damage::Truncated ? whole.substr(0, whole.find("Zielhilfe") + 4) : whole;
    }
    case Target::Level: break;
    }
    const std::string level = buildFile("1.dat");
    return c.damage == Damage::Truncated ? level.substr(0, level.size() / 2 + 7) : level;
}

DriverSetup setupFor(const Case& c)
{
    DriverSetup setup = setupWith(c.target == Target::Level ? "[Optionen]\r\nmodus=3\r\n" : kIniWhole);
    setup.start = false;
    if (c.target == Target::Level) return setup;  // damaged after the copy, see damageLevel
    const std::string path = pathOf(c.target);
    for (auto it = setup.files.begin(); it != setup.files.end();) {
        it = it->first == path ? setup.files.erase(it) : it + 1;
    }
    // A folder in the file's place, with something in it that must survive.
    if (c.damage == Damage::Folder)
        setup.files.push_back({path + "/keep.txt", "keep"});
    else
        setup.files.push_back({path, damagedBytes(c)});
    return setup;
}

// The level file is copied in with the others; it is read only when a race
// starts, so it can be damaged after the program's objects are built.
void damageLevel(Driver& d, const Case& c)
{
    const fs::path level = d.folder() / kLevelPath;
    fs::remove(level);
    if (c.damage == Damage::Folder) {
        fs::create_directory(level);
        std::ofstream(level / "keep.txt") << "keep";
        return;
    }
    std::ofstream(level, std::ios::binary) << damagedBytes(c);
    if (c.damage == Damage::Unreadable) fs::permissions(level, fs::perms(0200));
}

// The list is read while the program's objects are built, inside the
// driver's construction, so it must be unreadable from the moment it is
// written. A file made while this is alive has no read permission for its owner: the umask takes the
// read bit from files written (0200) and from folders made (0300, still
// searchable and writable). Files copied keep their source's mode, so only
// the files the test writes become unreadable. With permissions enforced even
// for root, the program's reads of those files fail with EACCES.
class UnreadableNewFiles {
public:
    UnreadableNewFiles() : previous_(umask(0477)) {}
    ~UnreadableNewFiles() { umask(previous_); }

private:
    mode_t previous_;
};

// Folders get their read bit back (for cleaning up), files stay as made.
void readableFolders(const fs::path& root)
{
    std::error_code ignored;
    fs::permissions(root, fs::perms(0755), ignored);
    for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_directory()) fs::permissions(it->path(), fs::perms(0755), ignored);
}

class DamagedFile : public ::testing::TestWithParam<Case> {};

TEST_P(DamagedFile, TheGamePlaysToItsEndAndWritesOnlyWholeFiles)
{
    const Case c = GetParam();
    const std::string path = pathOf(c.target);
    const bool unreadable = c.damage == Damage::Unreadable;

    std::unique_ptr<PermissionsEnforced> asAnyone;
    if (unreadable) asAnyone = std::make_unique<PermissionsEnforced>();
    std::unique_ptr<Driver> run;
    {
        std::unique_ptr<UnreadableNewFiles> umasked;
        if (unreadable && c.target == Target::List) umasked = std::make_unique<UnreadableNewFiles>();
        run = std::make_unique<Driver>(setupFor(c));
    }
    Driver& d = *run;
    struct Restore {
        fs::path folder;
        ~Restore() { readableFolders(folder); }
    } restore{d.folder()};
    readableFolders(d.folder());
    if (c.target == Target::Level) damageLevel(d, c);
    if (unreadable && c.target == Target::Settings) fs::permissions(d.folder() / path, fs::perms(0200));
    if (unreadable && !d.readFile(path).empty()) GTEST_SKIP() << "this user reads files of mode 0200 regardless";
    const std::string before = damagedBytes(c);

    App& app = d.app();
    const std::vector<ListRow> readAtStart = listOf(app);
    ASSERT_TRUE(d.startUp());

    // What the damaged file gave the program.
    if (c.target == Target::List) {
        std::vector<ListRow> expected(9, ListRow{0, "---"});
        if (c.damage == Damage::Truncated) {
            for (int i = 0; i < 5; ++i) expected[i] = kOldList[i];
            expected[5] = {4, "Fr"};
        }
        if (c.damage != Damage::Garbage) {
            EXPECT_EQ(describe(readAtStart), describe(expected));
        }
    } else if (c.target == Target::Settings) {
        const bool read = c.damage == Damage::Truncated || c.damage == Damage::Garbage;
        EXPECT_EQ(app.settings.Musik, c.damage == Damage::Truncated ? 1 : 0);
        EXPECT_EQ(app.settings.Vorbelegung, c.damage == Damage::Truncated ? 6 : 0);
        EXPECT_EQ(app.settings.Zielhilfe, 1) << (read ? "the cut-off line is no entry" : "the default");
    }

    if (c.target == Target::Level) {
        ASSERT_TRUE(playRaceToItsEnd(d));
        EXPECT_EQ(describe(listOf(app)), describe(kOldList)) << "a race enters no score";
        quitAndFinish(d);
        asAnyone.reset();
        EXPECT_EQ(d.readFile("Data/Highscore.zip"), listFile(kOldList));
    } else {
        const int32_t zielhilfe = visitEveryScreen(d);
        ASSERT_TRUE(playClassicToGameOver(d));
        const std::vector<ListRow> entered = listOf(app);
        EXPECT_EQ(entryFault(readAtStart, entered, app.game.total, kPlayer), "") << "the list in memory";
        quitAndFinish(d);
        asAnyone.reset();

        if (c.target == Target::List && c.damage == Damage::Folder) {
            EXPECT_EQ(d.readFile(path + "/keep.txt"), "keep") << "the folder in the list's place was touched";
            EXPECT_FALSE(d.fileExists(path + ".tmp"));
        } else if (c.target == Target::List && unreadable) {
            EXPECT_EQ(d.readFile(path), before) << "a list that could not be read was written over";
            EXPECT_FALSE(d.fileExists(path + ".tmp"));
        } else if (c.target == Target::List) {
            // Whatever was read, what is written is a whole list that reads
            // back as the list the game ended with.
            const std::string written = d.readFile(path);
            std::string why;
            EXPECT_TRUE(isWholeList(written, why)) << why;
            EXPECT_EQ(written, listFile(entered));
            PlayerName nobody;
            HighscoreList again(nobody, (d.folder() / path).string());
            EXPECT_EQ(describe(listOf(again)), describe(entered)) << "the written list reads back otherwise";
        } else {
            EXPECT_EQ(d.readFile(kListPath), listFile(entered));
        }

        if (c.target == Target::Settings) {
            const std::string key = "Zielhilfe=" + std::to_string(zielhilfe) + "\r\n";
            if (c.damage == Damage::Folder) {
                EXPECT_EQ(d.readFile(path + "/keep.txt"), "keep");
            } else if (unreadable) {
                EXPECT_EQ(d.readFile(path), before) << "a file that could not be read was written over";
            } else {
                // Readable damage: the bytes stay, the setting is added and reads back.
                const std::string after = d.readFile(path);
                EXPECT_EQ(after.compare(0, before.size(), before), 0) << "the damaged bytes were not kept";
                EXPECT_EQ(GetProfileInt((d.folder() / path).string(), "Optionen", "Zielhilfe", -1), zielhilfe);
            }
            EXPECT_FALSE(d.fileExists(path + ".tmp"));
        }
    }
    if (c.target == Target::Level) {
        if (c.damage == Damage::Folder)
            EXPECT_EQ(d.readFile(path + "/keep.txt"), "keep") << "the folder in the level's place was touched";
        else
            EXPECT_EQ(d.readFile(path), before) << "the level file changed";
    }
    EXPECT_TRUE(logEndsCleanly(d.readFile("log.txt")));
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (Target t : {Target::List, Target::Settings, Target::Level})
        for (Damage m : {Damage::Truncated, Damage::Garbage, Damage::Folder, Damage::Unreadable})
            cases.push_back({t, m});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedFile, ::testing::ValuesIn(allCases()), nameOf);

TEST(HostileValues, SettingsAndListFarOutOfRange)
{
    // Values no options click makes, and a list a hand edit could leave.
    const std::string ini =
        "[Optionen]\r\nVorbelegung=2147483647\r\nZielhilfe=-1\r\nVorschauzwei=99\r\nMusik=2\r\nmodus=-7\r\n";
    DriverSetup setup = setupWith(ini);
    setup.files[0].second = "-2147483648,Mallory\r\n2147483647,Max\r\n99999999999999999999,Gro\xDF\r\n,\r\n,,,,\r\n"
                            "5,\xE4\xF6\xFC\xC4\xD6\xDC\xDF\x80\x81\x8D\x8F\x90\x9D\xFF\r\n\r\n";
    Driver d(setup);
    App& app = d.app();
    EXPECT_EQ(app.highscores.scoreAt(0), INT32_MIN);
    EXPECT_EQ(app.highscores.scoreAt(1), INT32_MAX);
    ASSERT_TRUE(playClassicToGameOver(d));
    const std::vector<ListRow> entered = listOf(app);
    quitAndFinish(d);
    const std::string written = d.readFile(kListPath);
    std::string why;
    EXPECT_TRUE(isWholeList(written, why)) << why;
    EXPECT_EQ(written, listFile(entered));
    EXPECT_TRUE(logEndsCleanly(d.readFile("log.txt")));
}

}  // namespace
