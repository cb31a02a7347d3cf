// The pictures: every file the game loads, as 24-bit bitmaps at the sizes of
// their slots, with the transparent colour exactly where it belongs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "asset_reading.h"
#include "generated_assets.h"

namespace {

struct Slot {
    const char* file;
    int width, height;
};

const Slot kSlots[] = {
    {"Data/lade.bmp", 304, 43},       {"Data/mark1.bmp", 36, 36},
    {"Data/mark2.bmp", 36, 36},       {"Data/klotzar.bmp", 600, 200},
    {"Data/blauklein.bmp", 800, 600}, {"Data/steinramen.bmp", 25, 25},
    {"Data/op.bmp", 170, 144},        {"Data/off.bmp", 60, 60},
    {"Data/on.bmp", 60, 60},          {"Data/anim.bmp", 250, 375},
    {"Data/hiscore.bmp", 800, 600},   {"Data/optionen.bmp", 800, 600},
    {"Data/ausr.bmp", 100, 100},      {"Data/gelb.bmp", 25, 25},
    {"Data/rosa.bmp", 25, 25},        {"Data/steinG.bmp", 25, 25},
    {"Data/steinB.bmp", 25, 25},      {"Data/steinR.bmp", 25, 25},
    {"Data/steinC.bmp", 25, 25},      {"Data/silber.bmp", 25, 25},
    {"Data/steino.bmp", 25, 25},      {"Data/0.bmp", 60, 60},
    {"Data/1.bmp", 60, 60},           {"Data/2.bmp", 60, 60},
    {"Data/3.bmp", 60, 60},           {"Data/4.bmp", 60, 60},
    {"Data/5.bmp", 60, 60},           {"Data/6.bmp", 60, 60},
    {"Data/7.bmp", 60, 60},           {"Data/8.bmp", 60, 60},
    {"Data/9.bmp", 60, 60},           {"icon.bmp", 32, 32},
};

Bitmap load(const std::string& file)
{
    return readBitmap(freshAssets() / file);
}

int keyPixels(const Bitmap& b)
{
    int n = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) n += b.isKey(x, y);
    return n;
}

TEST(Pictures, EveryFileIsA24BitBitmapAtItsSlotSize)
{
    for (const Slot& s : kSlots) {
        SCOPED_TRACE(s.file);
        const Bitmap b = load(s.file);
        ASSERT_TRUE(b.valid) << b.problem;
        EXPECT_EQ(b.width, s.width);
        EXPECT_EQ(b.height, s.height);
    }
}

TEST(Pictures, OpaquePicturesHaveNoHoles)
{
    // A key pixel in these would let whatever lies below show through.
    for (const char* f : {"Data/blauklein.bmp", "Data/hiscore.bmp", "Data/optionen.bmp", "Data/ausr.bmp",
                          "Data/gelb.bmp", "Data/rosa.bmp", "Data/steinG.bmp", "Data/steinB.bmp", "Data/steinR.bmp",
                          "Data/steinC.bmp", "Data/silber.bmp", "Data/steino.bmp", "icon.bmp"}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(keyPixels(load(f)), 0);
    }
}

struct Hsv {
    double hue, saturation, value;  // degrees, 0..1, 0..255
};

Hsv hsv(uint32_t p)
{
    const double r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), span = hi - lo;
    double h = 0;
    if (span > 0) {
        if (hi == r)
            h = 60 * std::fmod((g - b) / span + 6, 6.0);
        else if (hi == g)
            h = 60 * ((b - r) / span + 2);
        else
            h = 60 * ((r - g) / span + 4);
    }
    return {h, hi > 0 ? span / hi : 0, hi};
}

TEST(Pictures, BlocksLookLikeTheirNames)
{
    struct Expect {
        const char* file;
        double hue;  // negative: grey
    };
    const Expect blocks[] = {
        {"Data/steinG.bmp", 125}, {"Data/steinC.bmp", 185}, {"Data/rosa.bmp", 325},   {"Data/steino.bmp", 30},
        {"Data/steinR.bmp", 0},   {"Data/gelb.bmp", 52},    {"Data/steinB.bmp", 225}, {"Data/silber.bmp", -1},
    };
    for (const Expect& e : blocks) {
        SCOPED_TRACE(e.file);
        const Bitmap b = load(e.file);
        ASSERT_TRUE(b.valid);
        const Hsv face = hsv(b.pixel(15, 15));
        EXPECT_GT(face.value, 150);
        if (e.hue < 0) {
            EXPECT_LT(face.saturation, 0.15);
        } else {
            EXPECT_GT(face.saturation, 0.5);
            const double off = std::fabs(std::fmod(face.hue - e.hue + 540, 360.0) - 180);
            EXPECT_LT(off, 20) << "hue " << face.hue;
        }
        // Bevelled: the top-left edge is lighter than the bottom-right one.
        EXPECT_GT(hsv(b.pixel(2, 12)).value, hsv(b.pixel(22, 12)).value + 40);
    }
}

TEST(Pictures, AimFrameIsARingAroundTheExactKey)
{
    const Bitmap b = load("Data/steinramen.bmp");
    ASSERT_TRUE(b.valid);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
            const bool ring = x < 2 || y < 2 || x > 22 || y > 22;
            EXPECT_EQ(b.isKey(x, y), !ring) << "at " << x << "," << y << " pixel " << std::hex << b.pixel(x, y);
        }
}

TEST(Pictures, ValuePicturesShareOneOutline)
{
    // The options screen draws each value over the last one in the same place:
    // they must cover exactly the same pixels, or old values would show.
    const Bitmap first = load("Data/on.bmp");
    ASSERT_TRUE(first.valid);
    const int corners = keyPixels(first);
    EXPECT_GT(corners, 0);
    EXPECT_LT(corners, 60 * 60 / 20);
    EXPECT_TRUE(first.isKey(0, 0));
    EXPECT_FALSE(first.isKey(30, 30));
    std::vector<std::string> others = {"Data/off.bmp"};
    for (int d = 0; d <= 9; ++d) others.push_back("Data/" + std::to_string(d) + ".bmp");
    std::set<std::vector<uint8_t>> looks = {first.rgb};
    for (const std::string& f : others) {
        SCOPED_TRACE(f);
        const Bitmap b = load(f);
        ASSERT_TRUE(b.valid);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) ASSERT_EQ(b.isKey(x, y), first.isKey(x, y)) << x << "," << y;
        looks.insert(b.rgb);
    }
    EXPECT_EQ(looks.size(), others.size() + 1) << "two value pictures look the same";
}

TEST(Pictures, OverlaysStandOnTheKeyColour)
{
    // Pictures drawn over other pictures: transparent around their shapes.
    for (const char* f : {"Data/klotzar.bmp", "Data/mark1.bmp", "Data/mark2.bmp", "Data/op.bmp", "Data/lade.bmp"}) {
        SCOPED_TRACE(f);
        const Bitmap b = load(f);
        ASSERT_TRUE(b.valid);
        EXPECT_TRUE(b.isKey(0, 0));
        EXPECT_TRUE(b.isKey(b.width - 1, b.height - 1));
        const int key = keyPixels(b);
        EXPECT_GT(key, 0);
        EXPECT_LT(key, b.width * b.height) << "nothing drawn";
    }
    // The line-clear strip starts with a full row and ends with the row gone.
    const Bitmap strip = load("Data/anim.bmp");
    ASSERT_TRUE(strip.valid);
    EXPECT_FALSE(strip.isKey(12, 12));
    EXPECT_TRUE(strip.isKey(1, strip.height - 2));
    // The markers point at the menu between them: each has more ink on the
    // side facing away from the menu (the arrow's base) than at its tip.
    auto inkInColumns = [](const Bitmap& b, int from, int to) {
        int n = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = from; x < to; ++x) n += !b.isKey(x, y);
        return n;
    };
    const Bitmap left = load("Data/mark1.bmp"), right = load("Data/mark2.bmp");
    EXPECT_GT(inkInColumns(left, 0, 18), inkInColumns(left, 18, 36));
    EXPECT_GT(inkInColumns(right, 18, 36), inkInColumns(right, 0, 18));
}

TEST(Pictures, GameScreenLeavesTheGameItsPlaces)
{
    const Bitmap b = load("Data/blauklein.bmp");
    ASSERT_TRUE(b.valid);
    auto brightness = [&](int x, int y) {
        const uint32_t p = b.pixel(x, y);
        return static_cast<int>((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF));
    };
    // Playfield and preview boxes dark inside, framed by something brighter.
    for (int y = 50; y < 550; y += 7)
        for (int x = 50; x < 300; x += 7) ASSERT_LT(brightness(x, y), 60) << x << "," << y;
    for (int i = 0; i < 2; ++i) {
        for (int y = 200; y < 300; y += 9)
            for (int x = 440 + 200 * i; x < 540 + 200 * i; x += 9) ASSERT_LT(brightness(x, y), 60) << x << "," << y;
        EXPECT_GT(brightness(440 + 200 * i - 5, 250), 150);
    }
    EXPECT_GT(brightness(45, 300), 150);
    EXPECT_GT(brightness(305, 300), 150);
    // Green score text must stand out where it is written: the panel there is dark.
    for (int row = 0; row < 4; ++row)
        for (int x = 460; x < 770; x += 11) ASSERT_LT(brightness(x, 330 + 60 * row + 17), 200) << x;
}

TEST(Pictures, ListScreensAreLightWhereTheBlueTextGoes)
{
    // RGB(80, 72, 248) reads on a light background: check behind every text
    // cell of the high-score rows and the option labels.
    auto light = [](const Bitmap& b, int x, int y) {
        const uint32_t p = b.pixel(x, y);
        return (p >> 16 & 0xFF) > 190 && (p >> 8 & 0xFF) > 190 && (p & 0xFF) > 190;
    };
    const Bitmap scores = load("Data/hiscore.bmp");
    ASSERT_TRUE(scores.valid);
    for (int i = 0; i < 9; ++i)
        for (int x : {125, 200, 300, 400, 585, 650, 700})
            EXPECT_TRUE(light(scores, x, 214 + 40 * i + 17)) << "row " << i << " x " << x;
    const Bitmap options = load("Data/optionen.bmp");
    ASSERT_TRUE(options.valid);
    for (int y : {230, 300, 370, 440, 510})
        for (int x : {155, 250, 350, 450}) EXPECT_TRUE(light(options, x, y + 17)) << "label y " << y << " x " << x;
}

}  // namespace
