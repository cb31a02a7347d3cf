#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "scratch_folder.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    int32_t get(const std::string& section, const std::string& key, int32_t fallback = 99) const
    {
        return GetProfileInt(gamePath, section, key, fallback);
    }
    bool put(const std::string& section, const std::string& key, const std::string& value) const
    {
        return WriteProfileString(gamePath, section, key, value);
    }

    ScratchFolder folder;
    const std::string gamePath = folder / "ini.ini";
    const std::string file = folder / "ini.ini";
};

TEST_F(IniFile, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(get("Optionen", "modus", -3), -3);
    writeBytes(file, "top=1\r\n[Andere]\r\nmodus=5\r\n[Optionen]\r\nMusik=1\r\n;modus=6\r\n");
    EXPECT_EQ(get("Optionen", "modus", -3), -3);  // only in another section, or commented out
    EXPECT_EQ(get("Fehlt", "Musik", 4), 4);
    EXPECT_EQ(get("Optionen", "top", 4), 4);  // a key before any section belongs to none
    EXPECT_EQ(get("Optionen", "Musik", 4), 1);
}

TEST_F(IniFile, ValuesReadLikeTheWindowsProfileFunctions)
{
    writeBytes(file, "[Optionen]\n"
                     "a=abc\n"
                     "b=12abc\n"
                     "c=-7\n"
                     "d= +5\n"
                     "e=\n"
                     "  f  =  42  \r\n"
                     "g=\"17\"\n"
                     "h=99999999999\n"
                     "i=-99999999999\n"
                     "j=- 3\n"
                     "k=0x1F\n");
    const struct {
        const char* key;
        int32_t value;
    } cases[] = {{"a", 0},  {"b", 12},        {"c", -7},        {"d", 5}, {"e", 0}, {"f", 42},
                 {"g", 17}, {"h", INT32_MAX}, {"i", INT32_MIN}, {"j", 0}, {"k", 0}};
    for (const auto& c : cases) EXPECT_EQ(get("Optionen", c.key), c.value) << c.key;
}

TEST_F(IniFile, NamesCompareWithoutLetterCaseAndTheFirstMatchCounts)
{
    writeBytes(file, "[OPTIONEN]\r\nMODUS=3\r\nmodus=4\r\n[optionen]\r\nZielhilfe=0\r\n");
    EXPECT_EQ(get("Optionen", "modus"), 3);
    EXPECT_EQ(get("Optionen", "Zielhilfe"), 99);  // the second section of that name is not read

    ASSERT_TRUE(put("optionen", "Modus", "2"));
    EXPECT_EQ(readBytes(file), "[OPTIONEN]\r\nMODUS=2\r\nmodus=4\r\n[optionen]\r\nZielhilfe=0\r\n");
}

TEST_F(IniFile, ReplacingAKeyKeepsEveryOtherByte)
{
    const std::string before = "; Einstellungen\n"
                               "[Optionen]   \r\n"
                               "Musik=1\n"
                               "   modus = 1 ; alt\r\n"
                               "\r\n"
                               "Zielhilfe=0\n"
                               "[Anderes]\n"
                               "modus=7";
    writeBytes(file, before);
    ASSERT_TRUE(put("Optionen", "modus", "2"));
    EXPECT_EQ(readBytes(file), "; Einstellungen\n"
                               "[Optionen]   \r\n"
                               "Musik=1\n"
                               "modus=2\r\n"
                               "\r\n"
                               "Zielhilfe=0\n"
                               "[Anderes]\n"
                               "modus=7");
    EXPECT_FALSE(exists(file + ".tmp"));

    ASSERT_TRUE(put("Anderes", "modus", "-1"));  // the last line gains its line end
    EXPECT_EQ(get("Anderes", "modus"), -1);
    EXPECT_EQ(get("Optionen", "modus"), 2);
    const std::string after = readBytes(file);
    EXPECT_EQ(after.substr(after.rfind('[')), "[Anderes]\nmodus=-1\r\n");
}

TEST_F(IniFile, AddsTheKeyTheSectionOrTheFile)
{
    ASSERT_TRUE(put("Optionen", "Vorbelegung", "1"));
    EXPECT_EQ(readBytes(file), "[Optionen]\r\nVorbelegung=1\r\n");

    // A new key follows the section's last entry, ahead of the blank line and
    // the comment that lead into the next section.
    writeBytes(file, "[Optionen]\nMusik=1\n\n; Rennen\n[Rennen]\nStrecke=1\n");
    ASSERT_TRUE(put("Optionen", "modus", "3"));
    EXPECT_EQ(readBytes(file), "[Optionen]\nMusik=1\nmodus=3\r\n\n; Rennen\n[Rennen]\nStrecke=1\n");

    writeBytes(file, "[Leer]");
    ASSERT_TRUE(put("Leer", "a", "1"));
    EXPECT_EQ(readBytes(file), "[Leer]\r\na=1\r\n");

    writeBytes(file, "[Rennen]\nStrecke=1");
    ASSERT_TRUE(put("Optionen", "Musik", "0"));
    EXPECT_EQ(readBytes(file), "[Rennen]\nStrecke=1\r\n\r\n[Optionen]\r\nMusik=0\r\n");
    EXPECT_EQ(get("Optionen", "Musik"), 0);
    EXPECT_EQ(get("Rennen", "Strecke"), 1);
}

TEST_F(IniFile, RefusedWritesLeaveTheFileAlone)
{
    const std::string before = "[Optionen]\r\nMusik=1\r\n";
    writeBytes(file, before);
    EXPECT_FALSE(put("Optionen", "Musik", "1\r\nmodus=3"));
    EXPECT_FALSE(put("Optionen", "a=b", "1"));
    EXPECT_FALSE(put("Optionen", " Musik", "1"));
    EXPECT_FALSE(put("Opt]ionen", "Musik", "1"));
    EXPECT_FALSE(put("", "Musik", "1"));
    EXPECT_EQ(readBytes(file), before);

    EXPECT_FALSE(WriteProfileString(folder / "Fehlt\\ini.ini", "Optionen", "Musik", "1"));
    EXPECT_FALSE(exists(folder / "Fehlt"));

    std::filesystem::remove(file);
    std::filesystem::create_directory(file);  // a folder where the file should be
    EXPECT_FALSE(put("Optionen", "Musik", "1"));
    EXPECT_EQ(get("Optionen", "Musik", 5), 5);
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST_F(IniFile, PathsWithBackslashesNameTheSameFile)
{
    std::filesystem::create_directory(folder / "Data");
    ASSERT_TRUE(WriteProfileString(folder / "Data\\ini.ini", "Optionen", "modus", "2"));
    EXPECT_EQ(readBytes(folder / "Data/ini.ini"), "[Optionen]\r\nmodus=2\r\n");
    EXPECT_EQ(GetProfileInt(folder / "Data\\ini.ini", "Optionen", "modus", 0), 2);
}

}  // namespace
