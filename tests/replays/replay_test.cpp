// The dozen recorded games of tests/replays/games, replayed headless through
// the whole program: each must end with its recorded board and totals, give
// the named results and frame checksums of its expected file, and be the very
// game its script records today. KLOTZAR_REWRITE_REPLAYS=1 rewrites the
// expected files when a change of the results is meant.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "driver.h"
#include "files/game_files.h"
#include "recorded_games.h"
#include "replay/replay_files.h"
#include "replay_check.h"
#include "shell/replay_run.h"

namespace {

std::string gamesFolder()
{
    return KLOTZAR_REPLAY_GAMES;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool rewriting()
{
    const char* flag = std::getenv("KLOTZAR_REWRITE_REPLAYS");
    return flag && std::string(flag) == "1";
}

class StoredGame : public ::testing::TestWithParam<GameScript> {};

TEST_P(StoredGame, EndsAsRecordedWithItsExpectedResultsAndFrames)
{
    const GameScript& script = GetParam();
    const std::string stored = readText(gamesFolder() + "/" + script.name + ".replay");
    ASSERT_FALSE(stored.empty()) << "no recording " << script.name << ".replay (make it with klotzar-record-replays)";
    const ReplayedGame game = replayHeadless(stored);
    ASSERT_EQ(game.readError, "");
    EXPECT_EQ(game.verdict, "") << script.name << " does not end as recorded";
    EXPECT_GE(game.frames.size(), 2u);

    const std::string expectedPath = gamesFolder() + "/" + script.name + ".expected";
    if (rewriting()) {
        std::ofstream(expectedPath, std::ios::binary) << expectedText(game);
        std::printf("rewrote %s\n", expectedPath.c_str());
        return;
    }
    const std::string expected = readText(expectedPath);
    ASSERT_FALSE(expected.empty()) << "no " << expectedPath << " (KLOTZAR_REWRITE_REPLAYS=1 writes it)";
    EXPECT_EQ(differencesFromExpected(game, expected), "") << script.name << " against " << expectedPath;
}

TEST_P(StoredGame, IsTheGameItsScriptRecordsToday)
{
    const GameScript& script = GetParam();
    const std::string stored = readText(gamesFolder() + "/" + script.name + ".replay");
    const std::string fresh = recordScript(script);
    ASSERT_FALSE(fresh.empty());
    // A recording that does not replay itself is worse than a changed one.
    EXPECT_EQ(replayHeadless(fresh).verdict, "") << "a fresh recording of " << script.name;
    EXPECT_TRUE(fresh == stored) << script.name << " records another game today; if that is meant, run "
                                 << "klotzar-record-replays and rewrite the expected files";
}

INSTANTIATE_TEST_SUITE_P(Replays, StoredGame, ::testing::ValuesIn(gameScripts()),
                         [](const ::testing::TestParamInfo<GameScript>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) c = c == '-' ? '_' : c;
                             return name;
                         });

// The stored games between them show what a replay must cope with.
TEST(StoredGames, CoverBothVariantsTheOptionsEveryEndAndTheKeys)
{
    std::set<std::string> seen;
    for (const GameScript& script : gameScripts()) {
        Recording r;
        std::string error;
        ASSERT_TRUE(readRecording(readText(gamesFolder() + "/" + script.name + ".replay"), r, error))
            << script.name << ": " << error;
        const Settings& s = r.settings;
        if (s.modus == 2) seen.insert("shifting variant");
        if (s.modus != 2 && s.modus != 3) seen.insert("plain variant");
        if (s.Vorbelegung > 0) seen.insert("prefill");
        if (s.Zielhilfe == 1) seen.insert("landing guide");
        if (s.Vorschauzwei == 1) seen.insert("two previews");
        if (r.outcome.lines >= 4 && r.outcome.bonus > 0) seen.insert("four rows");
        if (r.outcome.enteredRank >= 0) seen.insert("entered the list");
        seen.insert("end " + r.outcome.how);
        if (r.outcome.race && r.outcome.lives == 0) seen.insert("race crashed to its end");
        if (r.outcome.race && r.outcome.lives > 0 && r.outcome.how == "raceover") seen.insert("race finished");
        for (const ReplayItem& item : r.items) {
            if (item.type == ReplayItem::Type::Input && item.event.type == InputEvent::Type::KeyDown)
                seen.insert(std::string("key ") + keyName(item.event.key));
            if (item.type == ReplayItem::Type::Wake) seen.insert("wake after a pause");
        }
    }
    for (const char* want : {"shifting variant", "plain variant", "prefill",
                             "landing guide",    "two previews",  "four rows",
                             "entered the list", "end gameover",  "end abandoned",
                             "end quit",         "end raceover",  "race crashed to its end",
                             "race finished",    "key Ctrl",      "key Down",
                             "key Space",        "key Up",        "key Left",
                             "key Right",        "key Pause",     "wake after a pause"}) {
        EXPECT_EQ(seen.count(want), 1u) << "no stored game shows: " << want;
    }
    EXPECT_GE(gameScripts().size(), 12u);
}

// A replay that goes another way says which field, and where it first went.
TEST(ReplayProof, NamesTheFieldThatDiffersAndWhereTheGameWentAnotherWay)
{
    const std::string stored = readText(gamesFolder() + "/classic-game-over.replay");
    Recording r;
    std::string error;
    ASSERT_TRUE(readRecording(stored, r, error)) << error;

    Recording wrongEnd = r;
    wrongEnd.outcome.points += 1;
    wrongEnd.outcome.board[19][0] = wrongEnd.outcome.board[19][0] == 0 ? 3 : 0;
    const ReplayedGame endDiffers = replayHeadless(writeRecording(wrongEnd));
    EXPECT_NE(endDiffers.verdict.find("points"), std::string::npos) << endDiffers.verdict;
    EXPECT_NE(endDiffers.verdict.find("board row 19"), std::string::npos) << endDiffers.verdict;
    EXPECT_EQ(endDiffers.verdict.find("total"), std::string::npos) << "only what differs: " << endDiffers.verdict;

    // Another seed: other pieces, so the first score note already disagrees.
    Recording otherSeed = r;
    otherSeed.seed += 1;
    const ReplayedGame wentAnotherWay = replayHeadless(writeRecording(otherSeed));
    EXPECT_NE(wentAnotherWay.verdict.find("first at line"), std::string::npos) << wentAnotherWay.verdict;

    // A key taken out: the piece lands elsewhere.
    Recording keyLost = r;
    for (size_t i = 0; i < keyLost.items.size(); ++i) {
        if (keyLost.items[i].type == ReplayItem::Type::Input && keyLost.items[i].event.key == Key::Left) {
            keyLost.items.erase(keyLost.items.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    EXPECT_NE(replayHeadless(writeRecording(keyLost)).verdict, "") << "a lost key went unnoticed";
}

// --replay with a file that is no whole recording: a clear line, status 1.
TEST(ReplayProof, WatchingABrokenFileSaysWhyAndFails)
{
    Driver d;  // a folder to write into, and no display to pop up on
    const std::string stored = readText(gamesFolder() + "/pause.replay");
    std::ofstream("cut.replay", std::ios::binary) << stored.substr(0, stored.find('\n', stored.size() / 2) + 1);
    std::ofstream("other.replay", std::ios::binary) << "klotzar-replay 7\nseed 1\n";
    struct Case {
        const char* file;
        const char* says;
    };
    for (const Case& c : {Case{"cut.replay", "cut short"}, Case{"other.replay", "version 7"},
                          Case{"missing.replay", "No such file"}, Case{".", "not a regular file"}}) {
        ::testing::internal::CaptureStderr();
        const int status = watchReplay(c.file);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 1) << c.file;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.file << " said: " << said;
    }
}

// Each game over that enters the list keeps its replay beside the list; a
// row pushed out of the list takes its replay with it; replaying enters nothing.
TEST(RowReplays, KeptWithTheirRowAndGoneWithIt)
{
    DriverSetup setup;
    std::string list;
    for (int i = 0; i < 8; ++i) list += "5000,Meister\r\n";
    list += "0,---\r\n";
    setup.files = {{"Data/Highscore.zip", list}, {"Data/ini.ini", "[Optionen]\r\nmodus=1\r\n"}};
    Driver d(setup);
    App& app = d.app();
    auto playToTheEnd = [&] {
        if (app.shell.highscoreScreen) d.key(Key::Escape);
        while (app.shell.menuSelection != 0) d.key(Key::Up);
        d.key(Key::Enter);
        ASSERT_TRUE(app.game.playing);
        for (int i = 0; i < 200 && app.game.playing; ++i) {
            d.key(i % 2 ? Key::Left : Key::Right);
            d.key(Key::Ctrl);
        }
        ASSERT_FALSE(app.game.playing);
    };

    playToTheEnd();
    ASSERT_GT(app.highscores.scoreAt(8), 0) << "the first game did not enter the list";
    const std::string first = rowReplayName(app.highscores, 8);
    ASSERT_TRUE(d.fileExists(HostPath(first))) << first;
    EXPECT_EQ(d.readFile(HostPath(first)), d.readFile("Replays/last.txt"));

    app.playerName.set("Oxu");  // the start bonus lifts the next total above the first
    playToTheEnd();
    EXPECT_STREQ(app.highscores.nameAt(8), "Oxu");
    const std::string second = rowReplayName(app.highscores, 8);
    EXPECT_TRUE(d.fileExists(HostPath(second))) << second;
    EXPECT_FALSE(d.fileExists(HostPath(first))) << "the replay of a row that left the list stayed";

    // Replaying the row's game on the same program changes no row.
    Recording r;
    std::string error;
    ASSERT_TRUE(readRecording(d.readFile(HostPath(second)), r, error)) << error;
    ReplayRun run(app, r);
    run.start();
    while (run.step()) {
    }
    EXPECT_EQ(run.verdict(), "");
    EXPECT_STREQ(app.highscores.nameAt(7), "Meister");
    EXPECT_STREQ(app.highscores.nameAt(8), "Oxu");
    EXPECT_EQ(d.readFile(HostPath(second)), d.readFile("Replays/last.txt")) << "a replay was recorded as a game";
}

// Row pixels left of the names that are not the high-score picture: the mark.
int32_t markPixels(Driver& d, int rank)
{
    const Surface* background = d.app().pictures.highscoreBackground.get();
    int32_t differ = 0;
    for (int32_t y = 214 + 40 * rank; y < 250 + 40 * rank; ++y)
        for (int32_t x = 85; x < 118; ++x) differ += d.pixel(x, y) != background->row(y)[x];
    return differ;
}

// On the high-score screen Up and Down mark the rows that have a game, and
// Return plays the marked one on the program itself; afterwards the player's
// own settings and name are back and nothing was entered or recorded.
TEST(RowReplays, MarkedWithUpAndDownAndWatchedWithReturn)
{
    DriverSetup setup;
    setup.name = "Zuschauer";
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nZielhilfe=0\r\nmodus=1\r\n"}};
    Driver d(setup);
    App& app = d.app();
    // A game of another player, kept as the list's top row would keep it.
    const std::string game = readText(gamesFolder() + "/bonus-name.replay");
    Recording r;
    std::string error;
    ASSERT_TRUE(readRecording(game, r, error)) << error;
    app.playerName.set(r.name);
    app.highscores.insert(r.outcome.total);
    app.playerName.set("Zuschauer");
    std::filesystem::create_directories("Replays");
    std::ofstream(HostPath(rowReplayName(app.highscores, 0)), std::ios::binary) << game;

    d.key(Key::Down);
    d.key(Key::Enter);  // the high-score screen
    ASSERT_TRUE(app.shell.highscoreScreen);
    EXPECT_EQ(markPixels(d, 0), 0) << "a mark before any key";
    d.key(Key::Down);
    EXPECT_EQ(app.replayMark(), 0);
    EXPECT_GT(markPixels(d, 0), 20) << "the marked row shows no mark";
    d.key(Key::Down);
    EXPECT_EQ(app.replayMark(), 0) << "the mark moved to a row without a game";
    const Surface before = d.frame();

    d.press(Key::Enter);  // from here the loop only watches, until the replay ends
    ASSERT_TRUE(app.watchingReplay());
    EXPECT_EQ(app.settings.Vorbelegung, r.settings.Vorbelegung) << "the replay plays with its own settings";
    InputEvent faster;
    faster.type = InputEvent::Type::KeyDown;
    faster.key = Key::Right;
    for (int i = 0; i < 5; ++i) app.watchPass(&faster);
    int passes = 0;
    while (app.watchingReplay() && passes++ < 100000) {
        d.passTime(10);
        app.watchPass(nullptr);
    }
    ASSERT_FALSE(app.watchingReplay()) << "the replay never ended";
    EXPECT_TRUE(app.shell.highscoreScreen);
    EXPECT_STREQ(app.playerName.text, "Zuschauer");
    EXPECT_EQ(app.settings.Zielhilfe, 0);
    EXPECT_EQ(app.highscores.scoreAt(1), 0) << "the replay entered its total";
    EXPECT_FALSE(d.fileExists("Replays/last.txt")) << "the replay was recorded";
    EXPECT_EQ(d.readFile("log.txt").find("Aufzeichnung"), std::string::npos) << d.readFile("log.txt");
    d.idle();
    EXPECT_EQ(d.frame().pixels, before.pixels) << "the high-score screen did not come back as it was";

    d.key(Key::Escape);
    EXPECT_EQ(app.replayMark(), -1) << "the mark outlived the screen";
}

}  // namespace
