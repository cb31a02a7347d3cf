// The replay file on its own: what the writer writes the reader reads back
// unchanged, and a file cut short, of another version or damaged gets a
// message naming its line, never a crash (the sanitizer build runs this too).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "replay/recording.h"

namespace {

std::string storedGame(const std::string& name)
{
    std::ifstream in(std::string(KLOTZAR_REPLAY_GAMES) + "/" + name + ".replay", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Recording everyKindOfItem()
{
    Recording r;
    r.seed = 4294967295u;
    r.settings = Settings{-3, 1, 1, 0, 2};
    r.name = "K\xE4the, 2 Leerz. ";
    auto add = [&r](ReplayItem::Type type, uint32_t ms, InputEvent e = {}) {
        ReplayItem item;
        item.type = type;
        item.ms = ms;
        item.event = e;
        r.items.push_back(item);
    };
    add(ReplayItem::Type::Clock, 0);
    for (Key key : {Key::Enter, Key::Ctrl, Key::Pause, Key::Escape, Key::Space, Key::Left, Key::Up, Key::Right,
                    Key::Down, Key::Other}) {
        InputEvent e;
        e.type = InputEvent::Type::KeyDown;
        e.key = key;
        add(ReplayItem::Type::Input, 5, e);
    }
    InputEvent mouse;
    mouse.type = InputEvent::Type::MouseMove;
    mouse.x = -12;
    mouse.y = 900;
    add(ReplayItem::Type::Input, 6, mouse);
    mouse.type = InputEvent::Type::RightButtonDown;
    mouse.stillHeld = false;
    mouse.clicks = 2;
    add(ReplayItem::Type::Input, 7, mouse);
    add(ReplayItem::Type::Wake, 4000);
    ReplayItem scores;
    scores.type = ReplayItem::Type::Scores;
    scores.ms = 4001;
    scores.values[0] = -2147483647 - 1;
    scores.values[3] = 41;
    r.items.push_back(scores);
    InputEvent quit;
    quit.type = InputEvent::Type::Quit;
    add(ReplayItem::Type::Input, 4002, quit);
    r.outcome.how = "raceover";
    r.outcome.board[0][9] = -7;
    r.outcome.board[19][0] = 99;
    r.outcome.race = true;
    r.outcome.level = 5;
    r.outcome.lives = 0;
    r.outcome.rowsDriven = 1401;
    r.outcome.handed = true;
    r.outcome.enteredRank = -1;
    r.outcome.enteredScore = 12;
    return r;
}

TEST(RecordingFormat, WhatIsWrittenReadsBackUnchanged)
{
    const Recording original = everyKindOfItem();
    const std::string text = writeRecording(original);
    Recording back;
    std::string error;
    ASSERT_TRUE(readRecording(text, back, error)) << error << "\n" << text;
    EXPECT_EQ(writeRecording(back), text);
    EXPECT_EQ(back.seed, original.seed);
    EXPECT_EQ(back.name, original.name);
    EXPECT_EQ(back.settings.Vorbelegung, -3);
    ASSERT_EQ(back.items.size(), original.items.size());
    EXPECT_EQ(back.items[9].event.key, Key::Down);
    EXPECT_EQ(back.items[12].event.type, InputEvent::Type::RightButtonDown);
    EXPECT_FALSE(back.items[12].event.stillHeld);
    EXPECT_EQ(back.items[12].event.clicks, 2);
    EXPECT_EQ(outcomeDifferences(back.outcome, original.outcome), "");

    // CR LF line ends, as an editor on another system may leave them, read the same.
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(readRecording(crlf, back, error)) << error;
    EXPECT_EQ(writeRecording(back), text);
}

TEST(RecordingFormat, DifferencesAreNamedFieldByField)
{
    const Recording r = everyKindOfItem();
    ReplayOutcome other = r.outcome;
    other.board[19][0] = 98;
    other.lives = 1;
    EXPECT_EQ(outcomeDifferences(other, r.outcome),
              "board row 19 [98 0 0 0 0 0 0 0 0 0] instead of [99 0 0 0 0 0 0 0 0 0]; lives 1 instead of 0");
}

// Cut after any byte, a stored game never reads as whole, and says why.
TEST(RecordingFormat, EveryCutOfAStoredGameIsRefusedWithItsLine)
{
    const std::string whole = storedGame("pause");
    ASSERT_GT(whole.size(), 1000u) << "stored game missing";
    Recording r;
    std::string error;
    ASSERT_TRUE(readRecording(whole, r, error)) << error;
    // Only the last line end may go.
    ASSERT_TRUE(readRecording(whole.substr(0, whole.size() - 1), r, error)) << error;
    size_t refused = 0;
    for (size_t cut = 0; cut + 1 < whole.size(); cut += (cut < 200 || cut + 1200 > whole.size()) ? 1 : 97) {
        ASSERT_FALSE(readRecording(whole.substr(0, cut), r, error)) << "cut after " << cut << " bytes read as whole";
        ++refused;
        EXPECT_EQ(error.compare(0, 5, "line "), 0) << "at " << cut << ": " << error;
    }
    EXPECT_GT(refused, 1000u);
}

TEST(RecordingFormat, DamagedFilesSayWhatIsWrongWhere)
{
    const std::string good = writeRecording(everyKindOfItem());
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        std::string text;
        std::string says;
    };
    const Case cases[] = {
        {"", "line 1: empty file"},
        {"GIF89a\x01\x02", "line 1: not a replay"},
        {replaced("klotzar-replay 1", "klotzar-replay 2"), "version 2, this game reads version 1"},
        {replaced("seed 4294967295", "seed 4294967296"), "line 2: expected 'seed'"},
        {replaced("settings -3 1 1 0 2", "settings -3 1 1 0"), "line 3: 'settings' needs 5 number(s)"},
        {replaced("name K", "name 123456789012345678901"), "line 4: a name is at most 20"},
        {replaced("k 5 Enter", "k 5 Return"), "line 6: unknown key 'Return'"},
        {replaced("w 4000", "w 3"), "time goes backwards"},
        {replaced("m 6 -12 900", "m 6 -12 9x0"), "'9x0' is not a number"},
        {replaced("r 7 -12 900 0 2", "r 7 -12 900 0 3"), "1 or 2 clicks"},
        {replaced("c 0", "z 0"), "line 5: unknown item 'z'"},
        {replaced("end raceover", "end exploded"), "unknown ending 'exploded'"},
        {replaced("board 7 ", "board 8 "), "board row 7 expected"},
        {replaced("total 0", "total"), "'total' needs 1 number(s)"},
        {replaced("entered -1 12", "entered 9 12"), "a rank is -1 to 8"},
        {good + "c 5000\n", "unexpected line after 'eof'"},
        {replaced("eof\n", "eo"), "expected 'eof'"},
        {replaced("s 4001", "s 99999999999999999999"), "is not a time"},
    };
    for (const Case& c : cases) {
        Recording r;
        std::string error;
        EXPECT_FALSE(readRecording(c.text, r, error)) << "read as whole, should say: " << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << "said '" << error << "', should say " << c.says;
    }
}

}  // namespace
