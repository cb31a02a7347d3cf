#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/display.h"
#include "platform_test_support.h"

namespace {

// 4 x 2: the key and its two neighbours among ordinary colours.
const std::vector<uint32_t> kPicture = {
    0xFF0000, 20,       0x00FF00, 19,  //
    21,       0x0000FF, 20,       0x808080,
};

class BitmapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseDummyVideo();
        ASSERT_TRUE(display_.CreateMainWindow("Klotzar", nullptr));
        log_.Open("log.txt", Log::Mode::Append);
        display_.Init(log_);
    }
    void TearDown() override { display_.Release(); }

    ScratchWorkingFolder folder_;
    Log log_;
    Display display_;
};

}  // namespace

TEST_F(BitmapTest, Reads24BitFilesAtTheirOwnSizeExactlyAndKeyed)
{
    WriteBmp24("Data/bild.bmp", 4, 2, kPicture);
    SurfacePtr s = display_.LoadBitmapSurface("Data\\bild.bmp", 4, 2);
    ASSERT_TRUE(s);
    EXPECT_EQ(kPicture, s->pixels);
    EXPECT_TRUE(s->hasColorKey);
    EXPECT_EQ(kColorKey, s->colorKey);

    // Copied with the key: exactly the two 20s stay out.
    SurfacePtr target = CreateSurface(4, 2);
    std::fill(target->pixels.begin(), target->pixels.end(), 0xABCDEFu);
    ASSERT_EQ(1, BltFast(target.get(), 0, 0, s.get()));
    EXPECT_EQ((std::vector<uint32_t>{0xFF0000, 0xABCDEF, 0x00FF00, 19, 21, 0x0000FF, 0xABCDEF, 0x808080}),
              target->pixels);
}

TEST_F(BitmapTest, ScalesToExactlyTheRequestedSizeWithoutMixingColours)
{
    WriteBmp24("Data/bild.bmp", 4, 2, kPicture);
    const std::set<uint32_t> colours(kPicture.begin(), kPicture.end());
    for (auto [w, h] : std::vector<std::pair<int32_t, int32_t>>{{304, 43}, {8, 4}, {3, 1}, {1, 1}, {800, 600}}) {
        SurfacePtr s = display_.LoadBitmapSurface("Data\\bild.bmp", w, h);
        ASSERT_TRUE(s) << w << "x" << h;
        EXPECT_EQ(w, s->width);
        EXPECT_EQ(h, s->height);
        ASSERT_EQ(static_cast<size_t>(w) * h, s->pixels.size());
        for (uint32_t p : s->pixels)
            ASSERT_TRUE(colours.count(p)) << std::hex << p << " at " << std::dec << w << "x" << h;
    }

    // Doubling repeats every pixel twice each way: the key blocks stay whole.
    SurfacePtr doubled = display_.LoadBitmapSurface("Data\\bild.bmp", 8, 4);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 8; ++x)
            ASSERT_EQ(kPicture[static_cast<size_t>((y / 2) * 4 + x / 2)], doubled->row(y)[x]);
    }
    // A width or height of 0 keeps the file's own.
    SurfacePtr own = display_.LoadBitmapSurface("Data\\bild.bmp", 0, 0);
    ASSERT_TRUE(own);
    EXPECT_EQ(kPicture, own->pixels);
}

TEST_F(BitmapTest, Reads8BitFilesThroughTheirPalette)
{
    const std::vector<uint32_t> palette = {0x000000, 0x000014, 0xFFCC00, 0x336699};
    std::vector<uint8_t> indices(16 * 4);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 4);
    WriteBmp8("Data/lade.bmp", 16, 4, palette, indices);

    SurfacePtr s = display_.LoadBitmapSurface("Data\\lade.bmp", 304, 43);
    ASSERT_TRUE(s);
    EXPECT_EQ(304, s->width);
    EXPECT_EQ(43, s->height);
    std::set<uint32_t> seen(s->pixels.begin(), s->pixels.end());
    EXPECT_EQ(std::set<uint32_t>(palette.begin(), palette.end()), seen);  // the key 20 among them
    // Pixel 1 of each row is palette entry 1: source column 1 covers columns 19..37.
    EXPECT_EQ(kColorKey, s->row(0)[19]);
    EXPECT_EQ(kColorKey, s->row(42)[37]);
    EXPECT_EQ(0xFFCC00u, s->row(20)[38]);
}

TEST_F(BitmapTest, EveryLoadLogsOneLineWithThePathAsGiven)
{
    WriteBmp24("Data/mark1.bmp", 4, 2, kPicture);
    std::ofstream("Data/kaputt.bmp") << "not a picture";

    EXPECT_TRUE(display_.LoadBitmapSurface("Data\\mark1.bmp", 36, 36));
    EXPECT_FALSE(display_.LoadBitmapSurface("Data\\fehlt.bmp", 36, 36));
    EXPECT_FALSE(display_.LoadBitmapSurface("Data\\kaputt.bmp", 36, 36));
    EXPECT_FALSE(display_.LoadBitmapSurface("Data\\mark1.bmp", -1, 36));
    display_.Release();
    display_.Release();

    EXPECT_EQ("DDraw: Initialisierung OK\r\n"
              "DDraw: Grafik geladen OK : Data\\mark1.bmp\r\n"
              "DDraw: Datei nicht gefunden : Data\\fehlt.bmp\r\n"
              "DDraw: Datei nicht gefunden : Data\\kaputt.bmp\r\n"
              "DDraw: Fehler beim Anlegen der Oberfl\xE4"
              "che f\xFC"
              "r : Data\\mark1.bmp\r\n"
              "DDraw: Freigegeben OK \r\n",
              readBytes("log.txt"));
}

TEST(BitmapWithoutDisplay, LoadsBeforeInitAndItsLinesAreDropped)
{
    ScratchWorkingFolder folder;
    WriteBmp24("Data/bild.bmp", 4, 2, kPicture);
    Display display;
    SurfacePtr s = display.LoadBitmapSurface("Data\\bild.bmp", 8, 4);
    ASSERT_TRUE(s);
    EXPECT_EQ(kColorKey, s->row(0)[2]);
    EXPECT_FALSE(display.LoadBitmapSurface("Data\\fehlt.bmp", 8, 4));
    display.Release();
    EXPECT_EQ("", readBytes("log.txt"));  // the display reports from Init on
}
