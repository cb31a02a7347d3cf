#include "highscore/highscore_list.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

#include "files/game_files.h"
#include "list_rows.h"
#include "scratch_folder.h"

namespace {

using Rows = ListRows;

// The nine rows, with the defaults for ranks beyond `expected`.
Rows withDefaults(Rows expected)
{
    expected.resize(HighscoreList::kRows, {0, "---"});
    return expected;
}

class HighscoreFile : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(folder / "Data"); }

    HighscoreList load() const { return HighscoreList(player, gamePath); }
    void store(const std::string& bytes) const { writeBytes(file, bytes); }

    ScratchFolder folder;
    PlayerName player;
    // Named the game's way; the list turns the backslash into a slash.
    const std::string gamePath = folder / "Data\\Highscore.zip";
    const std::string file = folder / "Data/Highscore.zip";
};

TEST_F(HighscoreFile, MissingFileGivesDefaultsAndSavesNineDefaultLines)
{
    HighscoreList list = load();
    EXPECT_EQ(listOf(list), withDefaults({}));
    EXPECT_FALSE(exists(file));

    ASSERT_TRUE(list.save());
    std::string expected;
    for (int i = 0; i < 9; ++i) expected += "0,---\r\n";
    EXPECT_EQ(readBytes(file), expected);
    EXPECT_FALSE(exists(file + ".tmp"));
}

TEST_F(HighscoreFile, ReaderFollowsTheFieldRules)
{
    const std::string name22 = "abcdefghijklmnopqrstuv";
    const struct {
        const char* what;
        std::string bytes;
        Rows expected;  // later rows are defaults
    } cases[] = {
        {"two commas: the second belongs to the name; an empty name is a name",
         "100,a,b\r\n50,\r\n7,x\r\n",
         {{100, "a,b"}, {50, ""}, {7, "x"}}},
        {"LF line ends read like CR LF", "100,a,b\n50,\n7,x\n", {{100, "a,b"}, {50, ""}, {7, "x"}}},
        {"the last line needs no line end", "1,a\r\n2,last", {{1, "a"}, {2, "last"}}},
        {"five lines fill five rows",
         "9,a\r\n8,b\r\n7,c\r\n6,d\r\n5,e\r\n",
         {{9, "a"}, {8, "b"}, {7, "c"}, {6, "d"}, {5, "e"}}},
        {"a 22-character name is whole", "10," + name22 + "\r\n20,b\r\n", {{10, name22}, {20, "b"}}},
        {"a 23-character name costs its row only", "10," + name22 + "w\r\n20,b\r\n", {{20, "b"}}},
        {"an 11-character score is whole",
         "-2147483648,min\r\n2147483647,max\r\n",
         {{INT32_MIN, "min"}, {INT32_MAX, "max"}}},
        {"a 12-character score costs its row only, not a made-up score", "99999999999999,x\r\n5,y\r\n", {{5, "y"}}},
        {"score text: blanks, sign, digits up to the first other character",
         " +5,a\r\nabc,b\r\n12abc,c\r\n-7,d\r\n",
         {{5, "a"}, {0, "b"}, {12, "c"}, {-7, "d"}}},
        {"a score running into the end of the file is read; its name is not", "42", {{42, "---"}}},
        {"a lone CR is part of the name", "1,a\rb\r\n2,c\r\n", {{1, "a\rb"}, {2, "c"}}},
        {"an empty file", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store(c.bytes);
        EXPECT_EQ(listOf(load()), withDefaults(c.expected));
    }
}

TEST_F(HighscoreFile, InsertPlacesEqualScoresBelowDropsRankEightAndSavesAtOnce)
{
    const Rows start = {{90, "r0"}, {80, "r1"}, {70, "r2"}, {70, "r3"}, {60, "r4"},
                        {50, "r5"}, {40, "r6"}, {30, "r7"}, {20, "r8"}};
    store(listFile(start));
    HighscoreList list = load();

    EXPECT_EQ(list.insert(20), -1);  // equal to rank 8: not entered
    EXPECT_EQ(list.insert(-5), -1);
    EXPECT_EQ(listOf(list), start);

    player.set("Anna, die Zweite");
    EXPECT_EQ(list.insert(70), 4);
    player.set("later");  // the row keeps the name it was entered with
    const Rows afterAnna = {{90, "r0"}, {80, "r1"}, {70, "r2"}, {70, "r3"}, {70, "Anna, die Zweite"},
                            {60, "r4"}, {50, "r5"}, {40, "r6"}, {30, "r7"}};
    EXPECT_EQ(listOf(list), afterAnna);
    // On disk at once, without waiting for the exit.
    EXPECT_EQ(readBytes(file), listFile(afterAnna));

    EXPECT_EQ(list.insert(1000), 0);
    EXPECT_EQ(list.scoreAt(0), 1000);
    EXPECT_STREQ(list.nameAt(0), "later");
    EXPECT_EQ(list.scoreAt(8), 40);
    EXPECT_EQ(listOf(load()), listOf(list));

    // The save at exit adds nothing twice.
    ASSERT_TRUE(list.save());
    EXPECT_EQ(listOf(load()), listOf(list));
    EXPECT_EQ(list.pendingCount(), 0u);
}

TEST_F(HighscoreFile, TwoCopiesOnOneFileKeepEachOthersScores)
{
    store(listFile(withDefaults({{100, "alt"}, {10, "klein"}})));
    PlayerName anna;
    anna.set("Anna");
    PlayerName bert;
    bert.set("Bert");
    HighscoreList first(anna, gamePath);
    HighscoreList second(bert, gamePath);

    EXPECT_EQ(first.insert(50), 1);
    // The second copy still shows the list it read, but enters its total
    // into what is on disk now: below Anna's.
    EXPECT_EQ(second.insert(40), 2);
    EXPECT_EQ(listOf(second), withDefaults({{100, "alt"}, {50, "Anna"}, {40, "Bert"}, {10, "klein"}}));
    EXPECT_EQ(first.insert(200), 0);

    // Both quit, in either order; each save at exit keeps the other's rows.
    ASSERT_TRUE(first.save());
    ASSERT_TRUE(second.save());
    const Rows expected = withDefaults({{200, "Anna"}, {100, "alt"}, {50, "Anna"}, {40, "Bert"}, {10, "klein"}});
    EXPECT_EQ(listOf(load()), expected);
    EXPECT_EQ(listOf(second), expected);
    ASSERT_TRUE(first.save());
    EXPECT_EQ(listOf(load()), expected);
}

TEST_F(HighscoreFile, ASaveWaitsWhileAnotherCopyIsSavingInTheSameFolder)
{
    store(listFile(withDefaults({{100, "alt"}})));
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Saves only once the other copy below is in the middle of its save.
        char c;
        if (read(go[0], &c, 1) != 1) _exit(2);
        PlayerName bert;
        bert.set("Bert");
        HighscoreList list(bert, gamePath);
        _exit(list.insert(40) == 2 ? 0 : 1);
    }
    {
        // Another copy in the middle of its read, merge and write.
        const FolderLock otherCopySaving(file);
        ASSERT_EQ(write(go[1], "x", 1), 1);
        usleep(300 * 1000);
        EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the save did not wait for the lock";
        // Meanwhile the other copy adds its row; the waiting save must see it.
        store(listFile(withDefaults({{100, "alt"}, {50, "Anna"}})));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(listOf(load()), withDefaults({{100, "alt"}, {50, "Anna"}, {40, "Bert"}}));
    close(go[0]);
    close(go[1]);
}

TEST_F(HighscoreFile, InsertIntoDefaultsAndIntoUnorderedRows)
{
    player.set("Bert");
    HighscoreList list = load();
    list.insert(0);
    EXPECT_EQ(listOf(list), withDefaults({}));
    list.insert(5);
    EXPECT_EQ(listOf(list), withDefaults({{5, "Bert"}}));

    // The search runs upwards from rank 8 and stops at the first score that is
    // not smaller, even when a smaller one stands above it.
    store("5,a\r\n100,b\r\n");
    HighscoreList unordered = load();
    unordered.insert(50);
    EXPECT_EQ(listOf(unordered), withDefaults({{5, "a"}, {100, "b"}, {50, "Bert"}}));
}

TEST_F(HighscoreFile, SaveAndLoadKeepEveryScoreAndEveryName)
{
    std::mt19937 random(20260101);
    std::uniform_int_distribution<int32_t> anyScore(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> length(0, 20);
    std::uniform_int_distribution<int> anyByte(1, 255);  // code page 1252, no zero
    for (int round = 0; round < 200; ++round) {
        Rows rows;
        for (int i = 0; i < HighscoreList::kRows; ++i) {
            std::string name;
            for (int n = length(random); n > 0; --n) {
                const char c = static_cast<char>(anyByte(random));
                name += c == '\n' ? ',' : c;  // the name prompt gives no line feed
            }
            const int32_t extremes[] = {INT32_MIN, INT32_MAX, anyScore(random)};
            rows.push_back({extremes[i % 3], name});
        }
        SCOPED_TRACE(round);
        store(listFile(rows));
        HighscoreList list = load();
        ASSERT_EQ(listOf(list), rows);
        ASSERT_TRUE(list.save());
        ASSERT_EQ(readBytes(file), listFile(rows));
    }
}

TEST_F(HighscoreFile, AnInsertedNameWithALineFeedCannotBreakTheFile)
{
    player.set("ab\ncd,ef");
    HighscoreList list = load();
    list.insert(7);
    list.insert(3);
    ASSERT_TRUE(list.save());
    EXPECT_EQ(listOf(load()), withDefaults({{7, "ab cd,ef"}, {3, "ab cd,ef"}}));
}

using Failures = std::vector<HighscoreList::SaveFailure>;

TEST_F(HighscoreFile, FailedSavesAreReportedLeaveTheOldFileWholeAndCatchUpLater)
{
    const std::string old = listFile(withDefaults({{10, "alt"}}));
    store(old);
    player.set("Neue Spielerin");
    HighscoreList list = load();
    Failures failures;
    std::string reportedPath;
    list.setFailureReport([&](HighscoreList::SaveFailure why, const std::string& path) {
        failures.push_back(why);
        reportedPath = path;
    });

    // The spot beside the file is taken by a folder: every insert fails to
    // save, says so, and keeps its total for later.
    std::filesystem::create_directory(file + ".tmp");
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(list.insert(INT32_MAX - i), i - 1);
    EXPECT_EQ(failures, Failures(3, HighscoreList::SaveFailure::WriteFailed));
    EXPECT_EQ(reportedPath, file);
    EXPECT_EQ(readBytes(file), old);
    EXPECT_EQ(list.pendingCount(), 3u);
    std::filesystem::remove(file + ".tmp");

    // The disk fills up after 64 bytes.
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 64;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const int rankWhenFull = list.insert(INT32_MAX - 4);
    const bool savedWhenFull = list.save();
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(rankWhenFull, 3);
    EXPECT_FALSE(savedWhenFull);
    EXPECT_EQ(failures.size(), 5u);
    EXPECT_EQ(readBytes(file), old);
    EXPECT_FALSE(exists(file + ".tmp"));

    // Then it works: every pending total reaches the file once.
    ASSERT_TRUE(list.save());
    EXPECT_EQ(failures.size(), 5u);
    EXPECT_EQ(listOf(load()), withDefaults({{INT32_MAX - 1, "Neue Spielerin"},
                                            {INT32_MAX - 2, "Neue Spielerin"},
                                            {INT32_MAX - 3, "Neue Spielerin"},
                                            {INT32_MAX - 4, "Neue Spielerin"},
                                            {10, "alt"}}));
}

TEST_F(HighscoreFile, SaveFailsAndSaysSoWithoutItsFolderOrOverAFolder)
{
    Failures failures;
    const auto record = [&](HighscoreList::SaveFailure why, const std::string&) { failures.push_back(why); };

    HighscoreList nowhere(player, folder / "Missing\\Highscore.zip");
    nowhere.setFailureReport(record);
    EXPECT_FALSE(nowhere.save());
    EXPECT_FALSE(exists(folder / "Missing"));
    EXPECT_EQ(failures, Failures{HighscoreList::SaveFailure::WriteFailed});

    // A folder where the file should be cannot be read: it is never replaced,
    // not even by a game that enters a score.
    failures.clear();
    std::filesystem::create_directory(file);
    HighscoreList overFolder = load();
    overFolder.setFailureReport(record);
    EXPECT_EQ(listOf(overFolder), withDefaults({}));
    player.set("Carla");
    EXPECT_EQ(overFolder.insert(5), 0);
    EXPECT_EQ(listOf(overFolder), withDefaults({{5, "Carla"}}));
    EXPECT_FALSE(overFolder.save());
    EXPECT_EQ(failures, Failures(2, HighscoreList::SaveFailure::Unreadable));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_FALSE(exists(file + ".tmp"));
}

TEST_F(HighscoreFile, RowsTheReaderCannotTakeCostOnlyThemselvesAcrossASave)
{
    // Written by hand or by another tool: an over-long name (its line ending
    // in a lone CR, which is part of it), an over-long score, and a last line
    // without its end. Every row the reader can take survives loading and
    // the next save, in order.
    const std::string longName(40, 'n');
    store("90,Anna\r\n80," + longName + "\r\n70,Bert\n123456789012345,Carl\r\n60,Dora\r\n50,Emil\r\n" +
          "40,Fritz\r\n30,Gina\r\n20,Hans\r\n10," + longName + "\r\r\n5,Ida\r\n1,Jo");
    const Rows expected = {{90, "Anna"}, {70, "Bert"}, {60, "Dora"}, {50, "Emil"}, {40, "Fritz"},
                           {30, "Gina"}, {20, "Hans"}, {5, "Ida"},   {1, "Jo"}};
    HighscoreList list = load();
    EXPECT_EQ(listOf(list), expected);
    ASSERT_TRUE(list.save());
    EXPECT_EQ(readBytes(file), listFile(expected));
    EXPECT_EQ(listOf(load()), expected);
}

TEST_F(HighscoreFile, SpecialOrEndlessFilesAreNeverReadNorReplaced)
{
    // In the list's place: a FIFO (reading would wait for a writer forever),
    // a link to an endless device, and a sparse file far over any list. Each
    // reads as unreadable: defaults, and no save over it.
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(listOf(load()), withDefaults({}));
    EXPECT_FALSE(load().save());
    EXPECT_TRUE(std::filesystem::is_fifo(file));
    std::filesystem::remove(file);

    std::filesystem::create_symlink("/dev/zero", file);
    EXPECT_EQ(listOf(load()), withDefaults({}));
    EXPECT_FALSE(load().save());
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    std::filesystem::remove(file);

    store(listFile({{7, "a"}}));
    std::filesystem::resize_file(file, std::uintmax_t{1} << 30);
    EXPECT_EQ(listOf(load()), withDefaults({}));
    EXPECT_FALSE(load().save());
    EXPECT_EQ(std::filesystem::file_size(file), std::uintmax_t{1} << 30);
}

}  // namespace
