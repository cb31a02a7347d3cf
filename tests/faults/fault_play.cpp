#include "fault_play.h"

#include <gtest/gtest.h>

#include <cstdlib>

const std::vector<ListRow> kOldList = {{9, "Anna"},  {8, "Bert"}, {7, "Carl"}, {6, "Dora"}, {5, "Emil"},
                                       {4, "Fritz"}, {3, "Gina"}, {2, "Hans"}, {1, "Ida"}};
const char* const kPlayer = "Tester";

ListRows listOf(const App& app)
{
    return listOf(app.highscores);
}

DriverSetup setupWith(const std::string& iniText)
{
    DriverSetup setup;
    setup.name = kPlayer;
    setup.files = {{"Data/Highscore.zip", listFile(kOldList)}};
    if (!iniText.empty()) setup.files.push_back({"Data/ini.ini", iniText});
    return setup;
}

bool playClassicToGameOver(Driver& d)
{
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    EXPECT_TRUE(app.game.playing) << "Enter on the title starts no game";
    if (!app.game.playing) return false;
    d.advance(150);
    int drops = 0;
    while (app.game.playing && drops < 400) {
        // A little play between the drops: turns, shifts, a row down.
        const Key moves[] = {Key::Space, Key::Left, Key::Right, Key::Up, Key::Down};
        d.press(moves[drops % 5]);
        d.advance(20);
        if (!app.game.playing) break;
        d.press(Key::Ctrl);
        ++drops;
        d.advance(30);
    }
    EXPECT_FALSE(app.game.playing) << "no game over after " << drops << " drops";
    if (app.game.playing) return false;
    d.idle();
    EXPECT_TRUE(app.shell.highscoreScreen) << "game over leads to the high scores";
    return app.shell.highscoreScreen;
}

bool playRaceToItsEnd(Driver& d)
{
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    EXPECT_TRUE(app.game.playing) << "Enter on the title starts no race";
    if (!app.game.playing) return false;
    uint32_t driven = 0;
    const uint32_t limit = 20 * 60 * 1000;  // five levels take a few minutes at most
    while (app.game.playing && driven < limit) {
        if (driven % 3000 == 0) d.press(driven % 6000 == 0 ? Key::Left : Key::Right);
        d.advance(100);
        driven += 100;
    }
    EXPECT_FALSE(app.game.playing) << "the race did not end in " << driven / 1000 << " s of play";
    if (app.game.playing) return false;
    d.advance(100);
    EXPECT_TRUE(app.shell.highscoreScreen) << "a race's end leads to the high scores";
    return app.shell.highscoreScreen;
}

int32_t visitEveryScreen(Driver& d)
{
    App& app = d.app();
    d.idle();
    d.click(400, 405);  // "Highscores"
    d.idle();
    EXPECT_TRUE(app.shell.highscoreScreen) << "the high-score entry";
    d.rightClick(10, 10);
    d.idle();
    d.click(400, 440);  // "Optionen"
    d.idle();
    EXPECT_TRUE(app.shell.optionsScreen) << "the options entry";
    const int32_t before = app.settings.Zielhilfe;
    d.click(525, 300);  // the landing-guide box
    d.idle();
    EXPECT_NE(app.settings.Zielhilfe, before) << "the landing-guide box did not switch";
    d.key(Key::Escape);
    d.press(Key::Up);
    d.press(Key::Up);
    d.idle();
    EXPECT_EQ(app.shell.menuSelection, 0) << "back on the title's first entry";
    return app.settings.Zielhilfe;
}

void quitAndFinish(Driver& d)
{
    App& app = d.app();
    d.key(Key::Escape);
    d.press(Key::Escape);
    EXPECT_TRUE(app.quitPosted()) << "Esc, Esc from the high scores ends the program";
    app.shutDown();
    d.finish();
}

bool isWholeList(const std::string& text, std::string& why)
{
    const std::vector<std::string> lines = crlfLines(text);
    if (lines.size() != 9) {
        why = std::to_string(lines.size()) + " lines";
        return false;
    }
    std::string joined;
    for (const std::string& line : lines) joined += line + "\r\n";
    if (joined != text) {
        why = "a line without its CR LF";
        return false;
    }
    for (const std::string& line : lines) {
        const size_t comma = line.find(',');
        size_t digits = line.rfind('-', 0) == 0 ? 1 : 0;
        const size_t first = digits;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        if (comma == std::string::npos || comma != digits || digits == first || line.find('\n') != std::string::npos) {
            why = "line \"" + line + "\" is not score,name";
            return false;
        }
    }
    return true;
}

bool logEndsCleanly(const std::string& log)
{
    // Between the two releases only the shell's own lines may stand: a failed
    // save of the list at exit is told there.
    const std::string display = "DDraw: Freigegeben OK \r\n";
    const std::string audio = "Audio: Freigabe OK\r\n";
    const size_t at = log.rfind(display);
    if (at == std::string::npos || log.size() < at + display.size() + audio.size()) return false;
    if (log.compare(log.size() - audio.size(), audio.size(), audio) != 0) return false;
    size_t line = at + display.size();
    const size_t end = log.size() - audio.size();
    while (line < end) {
        if (log.compare(line, 7, "Main : ") != 0) return false;
        line = log.find("\r\n", line) + 2;
    }
    return line == end;
}

int countOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}
