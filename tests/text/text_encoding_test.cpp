#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace {

bool IsUnassigned(int byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

TEST(TextEncoding, EveryAssignedByteSurvivesTheRoundTrip)
{
    for (int byte = 1; byte < 256; ++byte) {
        if (IsUnassigned(byte)) continue;
        const std::string original(1, static_cast<char>(byte));
        const std::string utf8 = Utf8FromCp1252(original);
        std::string back;
        ASSERT_TRUE(Cp1252FromUtf8(utf8, back)) << "byte " << byte;
        EXPECT_EQ(back, original) << "byte " << byte;
    }
}

TEST(TextEncoding, KnowsTheEuroSignAndTheUmlauts)
{
    EXPECT_EQ(Utf8FromCp1252("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8FromCp1252("F\xFC"
                             "r die Highscoreliste"),
              "F\xC3\xBC"
              "r die Highscoreliste");
    EXPECT_EQ(Utf8FromCp1252("Die Namenl\xE4"
                             "nge\n"),
              "Die Namenl\xC3\xA4"
              "nge\n");
    std::string back;
    ASSERT_TRUE(Cp1252FromUtf8("\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F \xE2\x82\xAC", back));
    EXPECT_EQ(back, "\xC4\xD6\xDC\xDF \x80");
}

TEST(TextEncoding, UnassignedBytesAreKeptAsTheirLatin1Characters)
{
    EXPECT_EQ(Utf8FromCp1252("a\x81"
                             "b\x9D"),
              "a\xC2\x81"
              "b\xC2\x9D");
    EXPECT_EQ(Utf8FromCp1252(std::string(3000, '\x8D')).size(), 6000u);
}

TEST(TextEncoding, RefusesWhat1252CannotHoldAndLeavesTheOutputAlone)
{
    std::string out = "unchanged";
    EXPECT_FALSE(Cp1252FromUtf8("\xE4\xB8\xAD", out));            // a CJK character
    EXPECT_FALSE(Cp1252FromUtf8("ab\xC3\xA4\xE4\xB8\xAD", out));  // mappable text before it
    EXPECT_FALSE(Cp1252FromUtf8("\xF0\x9F\x98\x80", out));        // an emoji
    EXPECT_FALSE(Cp1252FromUtf8("\xC3", out));                    // cut-off sequence
    EXPECT_FALSE(Cp1252FromUtf8("\xFF", out));                    // not UTF-8 at all
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(Cp1252FromUtf8("", out));
    EXPECT_EQ(out, "");
}

TEST(TextEncoding, LongTextsConvertCompletely)
{
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "\xE4\x80x";
    const std::string utf8 = Utf8FromCp1252(text);
    EXPECT_EQ(utf8.size(), 1000u * (2 + 3 + 1));
    std::string back;
    ASSERT_TRUE(Cp1252FromUtf8(utf8, back));
    EXPECT_EQ(back, text);
}

}  // namespace
