#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/font.h"

namespace {

constexpr uint32_t kGreenGdi = 65280;
constexpr uint32_t kRedGdi = 255;
constexpr uint32_t kBlueGdi = 16271440;  // red 80, green 72, blue 248

Surface MakeSurface(int32_t width, int32_t height, uint32_t pixel)
{
    Surface surface;
    surface.width = width;
    surface.height = height;
    surface.pixels.assign(static_cast<size_t>(width) * height, pixel);
    return surface;
}

// Every pixel different from its neighbours, so any overwrite shows.
Surface MakePatternSurface(int32_t width, int32_t height)
{
    Surface surface = MakeSurface(width, height, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            surface.row(y)[x] = (static_cast<uint32_t>(x) * 2654435761u + y * 40503u) & 0xFFFFFF;
    }
    return surface;
}

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { font_ = new Font(MakeGameFont()); }
    static void TearDownTestSuite()
    {
        delete font_;
        font_ = nullptr;
    }
    static Font* font_;
};
Font* FontTest::font_ = nullptr;

TEST_F(FontTest, GameFontIsLiberationSansWithA34PixelCell)
{
    ASSERT_TRUE(font_->IsLoaded());
    EXPECT_EQ(font_->FamilyName(), "Liberation Sans");
    EXPECT_EQ(font_->CellHeight(), 34);
    EXPECT_EQ(font_->PointSize(), 30);

    const Font small = MakeDeviceContextFont();
    ASSERT_TRUE(small.IsLoaded());
    EXPECT_EQ(small.FamilyName(), "Liberation Sans");
    EXPECT_EQ(small.CellHeight(), 16);

    // A cell no point size hits exactly gets the tallest one below it.
    const Font odd("Arial", 20, 400, 0);
    EXPECT_EQ(odd.CellHeight(), 19);
}

TEST_F(FontTest, OnlyGlyphPixelsChange)
{
    // The glyph pixels: whatever turns non-black on a black picture.
    Surface black = MakeSurface(800, 600, 0);
    EXPECT_EQ(font_->DrawString(&black, 120, 290, "PAUSE", kGreenGdi), 1);
    Surface pattern = MakePatternSurface(800, 600);
    const Surface before = pattern;
    EXPECT_EQ(font_->DrawString(&pattern, 120, 290, "PAUSE", kGreenGdi), 1);

    const int32_t width = font_->MeasureString("PAUSE");
    int glyphPixels = 0;
    int changedPixels = 0;
    int fullyGreen = 0;
    for (int32_t y = 0; y < 600; ++y) {
        for (int32_t x = 0; x < 800; ++x) {
            const bool glyph = black.row(y)[x] != 0;
            const bool changed = pattern.row(y)[x] != before.row(y)[x];
            glyphPixels += glyph;
            changedPixels += changed;
            fullyGreen += pattern.row(y)[x] == 0x00FF00;
            if (glyph) {
                ASSERT_TRUE(x >= 120 && x < 120 + width + 2 && y >= 290 && y < 290 + 34) << x << "," << y;
            }
            ASSERT_TRUE(glyph || !changed) << "background pixel changed at " << x << "," << y;
        }
    }
    EXPECT_GT(glyphPixels, 300);
    EXPECT_GE(changedPixels, glyphPixels * 95 / 100);
    EXPECT_GT(fullyGreen, 100);
    // The letters do not fill their cells: the background between them stays.
    EXPECT_LT(glyphPixels, width * 34 / 2);
}

TEST_F(FontTest, ColoursAreGdiValuesAndBlackFollowsRed)
{
    Surface surface = MakeSurface(400, 60, 0xFFFFFF);
    font_->DrawString(&surface, 10, 10, "Klotzar", kRedGdi);
    const Surface red = surface;
    int fullyRed = 0;
    for (uint32_t pixel : red.pixels) fullyRed += pixel == 0xFF0000;
    EXPECT_GT(fullyRed, 100);

    // Black is a colour like any other, also after another one was used.
    font_->DrawString(&surface, 10, 10, "Klotzar", 0);
    for (size_t i = 0; i < surface.pixels.size(); ++i) {
        ASSERT_EQ(surface.pixels[i] == 0, red.pixels[i] == 0xFF0000) << "pixel " << i;
    }

    Surface blue = MakeSurface(400, 60, 0);
    font_->DrawString(&blue, 10, 10, "Liste", kBlueGdi);
    int exact = 0;
    for (uint32_t pixel : blue.pixels) exact += pixel == 0x5048F8;
    EXPECT_GT(exact, 50);
}

TEST_F(FontTest, EmptyTextOrTargetDrawsNothing)
{
    Surface pattern = MakePatternSurface(100, 50);
    const Surface before = pattern;
    EXPECT_EQ(font_->DrawString(&pattern, 5, 5, "", kRedGdi), 1);
    EXPECT_EQ(font_->DrawString(&pattern, 5, 5, std::string("\0abc", 4), kRedGdi), 1);
    EXPECT_EQ(pattern.pixels, before.pixels);
    EXPECT_EQ(font_->DrawString(nullptr, 5, 5, "abc", kRedGdi), 1);
    Surface empty;
    EXPECT_EQ(font_->DrawString(&empty, 0, 0, "abc", kRedGdi), 1);

    // Text after a zero byte is not part of the text.
    Surface cut = MakeSurface(200, 50, 0);
    Surface whole = MakeSurface(200, 50, 0);
    font_->DrawString(&cut, 0, 0, std::string("ab\0cd", 5), kRedGdi);
    font_->DrawString(&whole, 0, 0, "ab", kRedGdi);
    EXPECT_EQ(cut.pixels, whole.pixels);
}

TEST_F(FontTest, TextIsCutAtTheEdges)
{
    Surface large = MakeSurface(300, 100, 0);
    font_->DrawString(&large, 20, 30, "W\x80g", kGreenGdi);
    // The same text shifted partly out of a small surface shows the same part.
    Surface small = MakeSurface(30, 20, 0);
    font_->DrawString(&small, -6, -14, "W\x80g", kGreenGdi);
    int lit = 0;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            ASSERT_EQ(small.row(y)[x], large.row(y + 44)[x + 26]) << x << "," << y;
            lit += small.row(y)[x] != 0;
        }
    }
    EXPECT_GT(lit, 20);

    Surface corner = MakeSurface(30, 20, 0);
    font_->DrawString(&corner, 25, 5, "W\x80g", kGreenGdi);
    font_->DrawString(&corner, -1000, 5000, "W\x80g", kGreenGdi);
    font_->DrawString(&corner, 30, 20, "W\x80g", kGreenGdi);
    font_->DrawString(&corner, INT32_MIN, INT32_MAX, "W\x80g", kGreenGdi);
    font_->DrawString(&corner, INT32_MAX, INT32_MIN, "W\x80g", kGreenGdi);
    int cornerLit = 0;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            if (corner.row(y)[x] == 0) continue;
            ++cornerLit;
            EXPECT_TRUE(x >= 25 && y >= 5) << x << "," << y;
        }
    }
    EXPECT_GT(cornerLit, 0);
}

TEST_F(FontTest, RenderedStringsAreReusedAndTheCacheStaysBounded)
{
    Font font = MakeGameFont();
    Surface first = MakeSurface(300, 60, 0x123456);
    Surface second = first;
    font.DrawString(&first, 3, 4, "12345", kGreenGdi);
    font.DrawString(&second, 3, 4, "12345", kGreenGdi);
    EXPECT_EQ(font.CachedStrings(), 1u);
    EXPECT_EQ(first.pixels, second.pixels);
    EXPECT_NE(first.pixels, MakeSurface(300, 60, 0x123456).pixels);

    Surface orange = MakeSurface(300, 60, 0x123456);
    font.DrawString(&orange, 3, 4, "12345", 34268);
    EXPECT_EQ(font.CachedStrings(), 2u);
    EXPECT_NE(orange.pixels, first.pixels);

    for (int i = 0; i < 200; ++i) font.DrawString(&orange, 0, 0, std::to_string(i), kGreenGdi);
    EXPECT_EQ(font.CachedStrings(), Font::kCacheCapacity);
    // Pushed out of the cache, drawn again: still the same picture.
    Surface again = MakeSurface(300, 60, 0x123456);
    font.DrawString(&again, 3, 4, "12345", kGreenGdi);
    EXPECT_EQ(again.pixels, first.pixels);
}

TEST_F(FontTest, UnknownFaceStillWritesAndStylesApply)
{
    Font fallback("NoSuchFaceAnywhere", 34, 500, 0);
    ASSERT_TRUE(fallback.IsLoaded());
    EXPECT_EQ(fallback.CellHeight(), 34);

    const Font regular("Arial", 34, 400, 0);
    const Font bold("Arial", 34, 700, 0);
    EXPECT_GT(bold.MeasureString("Klotzar"), regular.MeasureString("Klotzar"));
    EXPECT_EQ(regular.MeasureString("Klotzar"), font_->MeasureString("Klotzar"));  // no medium face: regular
    EXPECT_GT(font_->MeasureString("\x80\xE4"), 0);
}

}  // namespace
