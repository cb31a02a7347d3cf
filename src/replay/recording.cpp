#include "replay/recording.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "race/race.h"

namespace {

const Key kKeys[] = {Key::Other, Key::Enter, Key::Ctrl, Key::Pause,     Key::Escape,   Key::Space,       Key::Left,
                     Key::Up,    Key::Right, Key::Down, Key::PadAccept, Key::PadStart, Key::PadTurnBack, Key::PadBack};

const char* kEndings[] = {"gameover", "abandoned", "quit", "raceover"};

// Splits a line at blanks; the name line is taken apart by its caller.
std::vector<std::string> wordsOf(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

bool toInt(const std::string& word, int64_t low, int64_t high, int64_t& value)
{
    if (word.empty() || word.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

// The line-by-line reader: remembers where it is, so every message names the line.
struct Reader {
    std::vector<std::string> lines;
    size_t at = 0;
    std::string error;

    bool fail(const std::string& what)
    {
        error = "line " + std::to_string(at + 1) + ": " + what;
        return false;
    }

    bool numbers(const std::vector<std::string>& words, size_t from, int64_t low, int64_t high, int32_t* out,
                 size_t count)
    {
        if (words.size() != from + count)
            return fail("'" + words[0] + "' needs " + std::to_string(count) + " number(s)");
        for (size_t i = 0; i < count; ++i) {
            int64_t v = 0;
            if (!toInt(words[from + i], low, high, v))
                return fail("'" + words[from + i] + "' is not a number in range");
            out[i] = static_cast<int32_t>(v);
        }
        return true;
    }

    // "key value" with one number.
    bool field(const char* key, int64_t low, int64_t high, int32_t& out)
    {
        if (at >= lines.size()) return fail(std::string("cut short before '") + key + "'");
        const std::vector<std::string> words = wordsOf(lines[at]);
        if (words.empty() || words[0] != key) return fail(std::string("expected '") + key + "'");
        if (!numbers(words, 1, low, high, &out, 1)) return false;
        ++at;
        return true;
    }

    bool item(const std::vector<std::string>& words, uint32_t& lastMs, ReplayItem& item);
    bool outcome(ReplayOutcome& outcome);
};

bool Reader::item(const std::vector<std::string>& w, uint32_t& lastMs, ReplayItem& it)
{
    const std::string& tag = w[0];
    if (w.size() < 2) return fail("'" + tag + "' without its time");
    int64_t ms = 0;
    if (!toInt(w[1], 0, UINT32_MAX, ms)) return fail("'" + w[1] + "' is not a time");
    it.ms = static_cast<uint32_t>(ms);
    if (it.ms < lastMs) return fail("time goes backwards");
    lastMs = it.ms;
    InputEvent& e = it.event;
    int32_t v[4] = {};
    if (tag == "c" || tag == "w" || tag == "q" || tag == "f") {
        if (w.size() != 2) return fail("'" + tag + "' takes only a time");
        it.type = tag == "c" ? ReplayItem::Type::Clock : tag == "w" ? ReplayItem::Type::Wake : ReplayItem::Type::Input;
        if (tag == "q") e.type = InputEvent::Type::Quit;
        if (tag == "f") e.type = InputEvent::Type::FocusLost;
        return true;
    }
    if (tag == "k") {
        if (w.size() != 3) return fail("'k' takes a time and a key");
        it.type = ReplayItem::Type::Input;
        e.type = InputEvent::Type::KeyDown;
        for (Key key : kKeys) {
            if (w[2] == keyName(key)) {
                e.key = key;
                return true;
            }
        }
        return fail("unknown key '" + w[2] + "'");
    }
    if (tag == "m") {
        if (!numbers(w, 2, -100000, 100000, v, 2)) return false;
        it.type = ReplayItem::Type::Input;
        e.type = InputEvent::Type::MouseMove;
        e.x = v[0];
        e.y = v[1];
        return true;
    }
    if (tag == "l" || tag == "r") {
        if (!numbers(w, 2, -100000, 100000, v, 4)) return false;
        if (v[2] < 0 || v[2] > 1 || v[3] < 1 || v[3] > 2) return fail("a click is held 0 or 1, with 1 or 2 clicks");
        it.type = ReplayItem::Type::Input;
        e.type = tag == "l" ? InputEvent::Type::LeftButtonDown : InputEvent::Type::RightButtonDown;
        e.x = v[0];
        e.y = v[1];
        e.stillHeld = v[2] == 1;
        e.clicks = v[3];
        return true;
    }
    if (tag == "s") {
        if (!numbers(w, 2, INT32_MIN, INT32_MAX, it.values, 4)) return false;
        it.type = ReplayItem::Type::Scores;
        return true;
    }
    return fail("unknown item '" + tag + "'");
}

bool Reader::outcome(ReplayOutcome& o)
{
    for (int32_t r = 0; r < kRows; ++r) {
        if (at >= lines.size()) return fail("cut short in the board");
        const std::vector<std::string> w = wordsOf(lines[at]);
        if (w.empty() || w[0] != "board") return fail("expected 'board'");
        int32_t values[1 + kColumns] = {};
        if (!numbers(w, 1, INT32_MIN, INT32_MAX, values, 1 + kColumns)) return false;
        if (values[0] != r) return fail("board row " + std::to_string(r) + " expected");
        for (int32_t c = 0; c < kColumns; ++c) o.board[r][c] = values[1 + c];
        ++at;
    }
    if (!field("points", INT32_MIN, INT32_MAX, o.points) || !field("lines", INT32_MIN, INT32_MAX, o.lines) ||
        !field("bonus", INT32_MIN, INT32_MAX, o.bonus) || !field("total", INT32_MIN, INT32_MAX, o.total))
        return false;
    if (at < lines.size() && wordsOf(lines[at]).size() > 0 && wordsOf(lines[at])[0] == "race") {
        int32_t race[3] = {};
        if (!numbers(wordsOf(lines[at]), 1, INT32_MIN, INT32_MAX, race, 3)) return false;
        o.race = true;
        o.level = race[0];
        o.lives = race[1];
        o.rowsDriven = race[2];
        ++at;
    }
    if (at < lines.size() && lines[at].compare(0, 8, "entered ") == 0) {
        const std::vector<std::string> w = wordsOf(lines[at]);
        int32_t entered[2] = {};
        if (!numbers(w, 1, INT32_MIN, INT32_MAX, entered, 2)) return false;
        if (entered[0] < -1 || entered[0] > 8) return fail("a rank is -1 to 8");
        o.handed = true;
        o.enteredRank = entered[0];
        o.enteredScore = entered[1];
        ++at;
    }
    // The last line: without it the file was cut short, maybe inside a number.
    if (at >= lines.size()) return fail("cut short: no 'eof'");
    if (lines[at] != "eof") return fail("expected 'eof'");
    if (++at < lines.size()) return fail("unexpected line after 'eof'");
    return true;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

const char* keyName(Key key)
{
    switch (key) {
    case Key::Enter: return "Enter";
    case Key::Ctrl: return "Ctrl";
    case Key::Pause: return "Pause";
    case Key::Escape: return "Escape";
    case Key::Space: return "Space";
    case Key::Left: return "Left";
    case Key::Up: return "Up";
    case Key::Right: return "Right";
    case Key::Down: return "Down";
    case Key::PadAccept: return "PadAccept";
    case Key::PadStart: return "PadStart";
    case Key::PadTurnBack: return "PadTurnBack";
    case Key::PadBack: return "PadBack";
    case Key::Other: break;
    }
    return "Other";
}

std::string writeRecording(const Recording& rec)
{
    std::ostringstream out;
    const Settings& s = rec.settings;
    out << kReplayMagic << ' ' << kReplayVersion << '\n'
        << "seed " << rec.seed << '\n'
        << "settings " << s.Vorbelegung << ' ' << s.Zielhilfe << ' ' << s.Vorschauzwei << ' ' << s.Musik << ' '
        << s.modus << '\n'
        << "name " << rec.name << '\n';
    for (const ReplayItem& it : rec.items) {
        const InputEvent& e = it.event;
        switch (it.type) {
        case ReplayItem::Type::Clock: out << "c " << it.ms; break;
        case ReplayItem::Type::Wake: out << "w " << it.ms; break;
        case ReplayItem::Type::Scores:
            out << "s " << it.ms << ' ' << it.values[0] << ' ' << it.values[1] << ' ' << it.values[2] << ' '
                << it.values[3];
            break;
        case ReplayItem::Type::Input:
            switch (e.type) {
            case InputEvent::Type::KeyDown: out << "k " << it.ms << ' ' << keyName(e.key); break;
            case InputEvent::Type::MouseMove: out << "m " << it.ms << ' ' << e.x << ' ' << e.y; break;
            case InputEvent::Type::LeftButtonDown:
            case InputEvent::Type::RightButtonDown:
                out << (e.type == InputEvent::Type::LeftButtonDown ? "l " : "r ") << it.ms << ' ' << e.x << ' ' << e.y
                    << ' ' << (e.stillHeld ? 1 : 0) << ' ' << e.clicks;
                break;
            case InputEvent::Type::Quit: out << "q " << it.ms; break;
            case InputEvent::Type::FocusLost: out << "f " << it.ms; break;
            case InputEvent::Type::None:
            case InputEvent::Type::ToggleFullScreen:
            case InputEvent::Type::Redraw: continue;  // never recorded
            }
            break;
        }
        out << '\n';
    }
    const ReplayOutcome& o = rec.outcome;
    out << "end " << o.how << '\n';
    for (int32_t r = 0; r < kRows; ++r) {
        out << "board " << r;
        for (int32_t c = 0; c < kColumns; ++c) out << ' ' << o.board[r][c];
        out << '\n';
    }
    out << "points " << o.points << "\nlines " << o.lines << "\nbonus " << o.bonus << "\ntotal " << o.total << '\n';
    if (o.race) out << "race " << o.level << ' ' << o.lives << ' ' << o.rowsDriven << '\n';
    if (o.handed) out << "entered " << o.enteredRank << ' ' << o.enteredScore << '\n';
    out << "eof\n";
    return out.str();
}

bool readRecording(const std::string& text, Recording& rec, std::string& error)
{
    Reader in;
    in.lines = splitLines(text);
    rec = Recording{};
    const bool ok = [&] {
        if (in.lines.empty()) return in.fail("empty file, not a replay");
        const std::vector<std::string> head = wordsOf(in.lines[0]);
        if (head.size() != 2 || head[0] != kReplayMagic) return in.fail("not a replay");
        if (head[1] != std::to_string(kReplayVersion))
            return in.fail("replay of version " + head[1] + ", this game reads version " +
                           std::to_string(kReplayVersion));
        ++in.at;
        const std::vector<std::string> seedWords = wordsOf(in.lines.size() > 1 ? in.lines[1] : "");
        int64_t seed = 0;
        if (seedWords.size() != 2 || seedWords[0] != "seed" || !toInt(seedWords[1], 0, UINT32_MAX, seed))
            return in.fail("expected 'seed' and a number 0 to 4294967295");
        rec.seed = static_cast<uint32_t>(seed);
        ++in.at;
        if (in.at >= in.lines.size()) return in.fail("cut short before 'settings'");
        const std::vector<std::string> sw = wordsOf(in.lines[in.at]);
        int32_t s[5] = {};
        if (sw.empty() || sw[0] != "settings") return in.fail("expected 'settings'");
        if (!in.numbers(sw, 1, INT32_MIN, INT32_MAX, s, 5)) return false;
        rec.settings = Settings{s[0], s[1], s[2], s[3], s[4]};
        ++in.at;
        if (in.at >= in.lines.size()) return in.fail("cut short before 'name'");
        const std::string& nameLine = in.lines[in.at];
        if (nameLine.compare(0, 5, "name ") != 0) return in.fail("expected 'name'");
        rec.name = nameLine.substr(5);
        if (rec.name.size() > PlayerName::kMaxLength) return in.fail("a name is at most 20 characters");
        for (char ch : rec.name) {
            if (static_cast<unsigned char>(ch) < 32) return in.fail("a control character in the name");
        }
        ++in.at;
        uint32_t lastMs = 0;
        for (; in.at < in.lines.size(); ++in.at) {
            const std::vector<std::string> w = wordsOf(in.lines[in.at]);
            if (w.empty()) return in.fail("empty line");
            if (w[0] == "end") {
                if (w.size() != 2) return in.fail("'end' takes how the game ended");
                for (const char* how : kEndings) {
                    if (w[1] == how) rec.outcome.how = how;
                }
                if (rec.outcome.how.empty()) return in.fail("unknown ending '" + w[1] + "'");
                ++in.at;
                return in.outcome(rec.outcome);
            }
            ReplayItem item;
            if (!in.item(w, lastMs, item)) return false;
            rec.items.push_back(item);
        }
        return in.fail("cut short: no 'end'");
    }();
    if (!ok) error = in.error;
    return ok;
}

std::string outcomeDifferences(const ReplayOutcome& got, const ReplayOutcome& want)
{
    std::ostringstream out;
    auto differ = [&out](const std::string& name, auto a, auto b) {
        if (a == b) return;
        if (out.tellp() > 0) out << "; ";
        out << name << ' ' << a << " instead of " << b;
    };
    differ("end", got.how, want.how);
    for (int32_t r = 0; r < kRows; ++r) {
        std::string a, b;
        for (int32_t c = 0; c < kColumns; ++c) {
            a += std::to_string(got.board[r][c]) + (c + 1 < kColumns ? " " : "");
            b += std::to_string(want.board[r][c]) + (c + 1 < kColumns ? " " : "");
        }
        differ("board row " + std::to_string(r), "[" + a + "]", "[" + b + "]");
    }
    differ("points", got.points, want.points);
    differ("lines", got.lines, want.lines);
    differ("bonus", got.bonus, want.bonus);
    differ("total", got.total, want.total);
    differ("race", got.race, want.race);
    differ("level", got.level, want.level);
    differ("lives", got.lives, want.lives);
    differ("rows driven", got.rowsDriven, want.rowsDriven);
    differ("handed to the list", got.handed, want.handed);
    differ("score handed to the list", got.enteredScore, want.enteredScore);
    return out.str();
}

ReplayOutcome outcomeOf(const Game& game, const RaceState* race, const std::string& how)
{
    ReplayOutcome o;
    o.how = how;
    for (int32_t r = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) o.board[r][c] = game.board[r][c];
    }
    o.points = game.points;
    o.lines = game.lines;
    o.bonus = game.bonus;
    o.total = game.total;
    o.race = race != nullptr;
    if (race) {
        o.level = race->level;
        o.lives = race->lives;
        o.rowsDriven = race->racePoints;
    }
    return o;
}
