// The game's five keys, written in any order and with any values into any
// settings file, read back as written, and every line the game does not own
// keeps its bytes: other sections, comments, foreign keys, blank lines, with
// LF or CR LF line ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "ini_lines.h"
#include "scratch_folder.h"
#include "shell/settings_file.h"
#include "text_1252.h"

namespace {

const std::vector<std::string> kKeys = {"Vorbelegung", "Zielhilfe", "Vorschauzwei", "Musik", "modus"};

template <typename T>
const T& pick(std::mt19937& rng, const std::vector<T>& items)
{
    return items[rng() % items.size()];
}

int32_t randomValue(std::mt19937& rng)
{
    switch (rng() % 6) {
    case 0: return INT32_MIN;
    case 1: return INT32_MAX;
    case 2: return static_cast<int32_t>(rng());
    default: return static_cast<int32_t>(rng() % 24) - 2;
    }
}

// One line a person or another program may have put into the file.
std::string randomLine(std::mt19937& rng, bool inGameSection)
{
    static const std::vector<std::string> keys = {"Farbe",  "Breite", "Vorbelegung2", "modus_alt", "Musik ",
                                                  " Hoehe", "Pfad",   "Zielhilfe;",   "x"};
    switch (rng() % 10) {
    case 0: return "";
    case 1: return std::string(1 + rng() % 3, ' ');
    case 2: return "; " + random1252Text(rng, 30);
    case 3: return "  ;" + pick(rng, kKeys) + "=3";
    case 4: return "Notiz ohne Gleichheitszeichen";
    case 5:
        // The game's own keys count only in its section; elsewhere they are foreign.
        if (!inGameSection) return pick(rng, kKeys) + "=" + std::to_string(randomValue(rng));
        [[fallthrough]];
    default: {
        std::string key = pick(rng, keys);
        if (key == "Musik " && inGameSection) key = "Musikstueck";
        const std::string equals = rng() % 4 == 0 ? " = " : "=";
        return key + equals + random1252Text(rng, 12);
    }
    }
}

// A settings file as people leave them: lines before any section, other
// sections (also ones named almost like the game's), perhaps the game's own
// section in another letter case and with some of its keys, perhaps twice.
std::string randomFile(std::mt19937& rng)
{
    const std::string eol = rng() % 2 ? "\r\n" : "\n";
    static const std::vector<std::string> sections = {"Grafik", "Optionen2", "Optionen ]", "Audio", "Optione"};
    static const std::vector<std::string> gameSection = {"Optionen", "OPTIONEN", "optionen", " Optionen"};
    std::vector<std::string> lines;
    for (int i = static_cast<int>(rng() % 3); i > 0; --i) lines.push_back(randomLine(rng, false));
    int gameSections = 0;
    for (int s = static_cast<int>(rng() % 5); s > 0; --s) {
        const bool game = rng() % 3 == 0;
        const std::string name = game ? pick(rng, gameSection) : pick(rng, sections);
        // " Optionen" has a blank inside the brackets and is not the game's.
        const bool owned = game && name[0] != ' ' && gameSections++ == 0;
        lines.push_back((rng() % 5 == 0 ? "  [" : "[") + name + "]");
        for (int i = static_cast<int>(rng() % 6); i > 0; --i) {
            if (owned && rng() % 3 == 0) {
                std::string key = pick(rng, kKeys);
                if (rng() % 4 == 0) std::transform(key.begin(), key.end(), key.begin(), ::toupper);
                lines.push_back((rng() % 4 == 0 ? " " : "") + key + (rng() % 3 == 0 ? " = " : "=") +
                                std::to_string(randomValue(rng)));
            } else {
                lines.push_back(randomLine(rng, owned));
            }
        }
    }
    std::string text;
    for (const std::string& line : lines) text += line + eol;
    if (!text.empty() && rng() % 4 == 0) text.resize(text.size() - eol.size());  // no line end at the end
    return text;
}

// The lines the game does not own: all but its five keys in its section.
std::vector<IniLine> foreignLines(const std::string& bytes)
{
    std::vector<IniLine> lines = splitIniLines(bytes);
    std::vector<bool> owned(lines.size(), false);
    for (const std::string& key : kKeys) {
        // Every line of the key counts, not just the first: a repeated key is
        // the game's too, though only the first is read.
        std::vector<IniLine> rest = lines;
        for (int at; (at = iniKeyLine(rest, "Optionen", key)) >= 0;) {
            owned[static_cast<size_t>(at)] = true;
            rest[static_cast<size_t>(at)].content = ";";
        }
    }
    std::vector<IniLine> foreign;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!owned[i]) foreign.push_back(lines[i]);
    return foreign;
}

}  // namespace

TEST(SettingsRoundTrip, WrittenKeysReadBackAndForeignLinesSurvive)
{
    constexpr int kFiles = 1500;
    ScratchFolder folder;
    const std::string path = folder / "ini.ini";
    std::mt19937 rng(20);
    int withGameSection = 0;
    for (int n = 0; n < kFiles; ++n) {
        const std::string original = randomFile(rng);
        ASSERT_TRUE(writeBytes(path, original));
        bool hasSection = false;
        iniKeyLine(splitIniLines(original), "Optionen", "-", &hasSection);
        withGameSection += hasSection;

        // Every key once, in a random order, then a few more writes.
        std::vector<std::string> order = kKeys;
        std::shuffle(order.begin(), order.end(), rng);
        for (int extra = static_cast<int>(rng() % 4); extra > 0; --extra) order.push_back(pick(rng, kKeys));
        Settings expected;
        for (const std::string& key : order) {
            const int32_t value = randomValue(rng);
            const std::string before = readBytes(path);
            writeSetting(key.c_str(), value, path);
            ASSERT_EQ(iniWriteFault(before, readBytes(path), "Optionen", key, std::to_string(value)), "")
                << "file " << n << ", writing " << key << "=" << value << " into:\n"
                << before;
            int32_t* fields[] = {&expected.Vorbelegung, &expected.Zielhilfe, &expected.Vorschauzwei, &expected.Musik,
                                 &expected.modus};
            *fields[std::find(kKeys.begin(), kKeys.end(), key) - kKeys.begin()] = value;
        }

        Settings read{-7, -7, -7, -7, -7};
        readSettings(read, path);
        EXPECT_EQ(read.Vorbelegung, expected.Vorbelegung) << "file " << n;
        EXPECT_EQ(read.Zielhilfe, expected.Zielhilfe) << "file " << n;
        EXPECT_EQ(read.Vorschauzwei, expected.Vorschauzwei) << "file " << n;
        EXPECT_EQ(read.Musik, expected.Musik) << "file " << n;
        EXPECT_EQ(read.modus, expected.modus) << "file " << n;

        // End to end: the foreign lines of the original, in order, byte for
        // byte, then at most the blank line and header of a section added.
        std::vector<IniLine> was = foreignLines(original);
        std::vector<IniLine> is = foreignLines(readBytes(path));
        if (!hasSection) {
            ASSERT_FALSE(is.empty());
            EXPECT_EQ(is.back(), (IniLine{"[Optionen]", "\r\n"})) << "file " << n;
            is.pop_back();
            if (is.size() == was.size() + 1 && is.back() == IniLine{"", "\r\n"}) is.pop_back();
        }
        // The last line may have gained its line end.
        if (!was.empty() && was.back().ending.empty() && is.size() == was.size()) is.back().ending = "";
        EXPECT_EQ(is, was) << "file " << n << ":\n" << original;
    }
    EXPECT_GT(withGameSection, kFiles / 4);
    EXPECT_LT(withGameSection, kFiles * 3 / 4);
}
