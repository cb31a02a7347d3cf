#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/surface.h"

namespace {

SurfacePtr Filled(int32_t width, int32_t height, uint32_t value)
{
    SurfacePtr s = CreateSurface(width, height);
    std::fill(s->pixels.begin(), s->pixels.end(), value);
    return s;
}

// A 3 x 1 picture holding 19, 20 and 21 next to the key, keyed like a loaded one.
SurfacePtr KeyNeighbours()
{
    SurfacePtr s = CreateSurface(3, 1);
    s->pixels = {19, 20, 21};
    s->hasColorKey = true;
    s->colorKey = kColorKey;
    return s;
}

}  // namespace

TEST(Surface, CreatesBlackSurfacesOfThatSizeAndNothingForEmptySizes)
{
    SurfacePtr s = CreateSurface(7, 3);
    ASSERT_TRUE(s);
    EXPECT_EQ(7, s->width);
    EXPECT_EQ(3, s->height);
    EXPECT_EQ(21u, s->pixels.size());
    EXPECT_FALSE(s->hasColorKey);
    for (uint32_t p : s->pixels) EXPECT_EQ(0u, p);
    EXPECT_FALSE(CreateSurface(0, 5));
    EXPECT_FALSE(CreateSurface(5, -1));
}

TEST(BltFast, SkipsExactlyTheKeyValue)
{
    SurfacePtr target = Filled(4, 2, 0xABCDEF);
    SurfacePtr source = KeyNeighbours();
    EXPECT_EQ(1, BltFast(target.get(), 1, 1, source.get()));
    EXPECT_EQ((std::vector<uint32_t>{0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF,  //
                                     0xABCDEF, 19, 0xABCDEF, 21}),
              target->pixels);

    // Without a key every pixel is copied, 20 included.
    source->hasColorKey = false;
    EXPECT_EQ(1, BltFast(target.get(), 0, 0, source.get()));
    EXPECT_EQ((std::vector<uint32_t>{19, 20, 21}),
              std::vector<uint32_t>(target->pixels.begin(), target->pixels.begin() + 3));
}

TEST(BltFast, APictureLosesOnlyAKeyItNeverUses)
{
    // One key pixel: it must stay see-through, so the key stays.
    SurfacePtr holed = WithoutUnusedColorKey(KeyNeighbours());
    ASSERT_TRUE(holed);
    EXPECT_TRUE(holed->hasColorKey);

    // No key pixel: copied whole, the same pixels as with the key.
    SurfacePtr solid = KeyNeighbours();
    solid->pixels[1] = 22;
    SurfacePtr keyed = Filled(3, 1, 5);
    ASSERT_EQ(1, BltFast(keyed.get(), 0, 0, solid.get()));
    solid = WithoutUnusedColorKey(std::move(solid));
    EXPECT_FALSE(solid->hasColorKey);
    SurfacePtr whole = Filled(3, 1, 5);
    ASSERT_EQ(1, BltFast(whole.get(), 0, 0, solid.get()));
    EXPECT_EQ(keyed->pixels, whole->pixels);
    EXPECT_EQ(nullptr, WithoutUnusedColorKey(nullptr));
}

TEST(BltFast, KeyedCopyOfLongRowsMatchesPixelByPixel)
{
    // Rows longer than the copy's blocks of 8, with an odd tail and keys everywhere.
    SurfacePtr source = CreateSurface(37, 5);
    for (size_t i = 0; i < source->pixels.size(); ++i)
        source->pixels[i] = (i % 3 == 0) ? kColorKey : 1000 + static_cast<uint32_t>(i);
    source->hasColorKey = true;
    source->colorKey = kColorKey;
    SurfacePtr target = Filled(40, 6, 7);
    ASSERT_EQ(1, BltFast(target.get(), 2, 1, source.get()));
    for (int32_t y = 0; y < target->height; ++y) {
        for (int32_t x = 0; x < target->width; ++x) {
            uint32_t expected = 7;
            if (x >= 2 && x < 39 && y >= 1 && y < 6) {
                const uint32_t s = source->row(y - 1)[x - 2];
                if (s != kColorKey) expected = s;
            }
            ASSERT_EQ(expected, target->row(y)[x]) << "at " << x << "," << y;
        }
    }
}

TEST(BltFast, DrawsNothingUnlessTheCopyLiesWhollyInside)
{
    SurfacePtr target = Filled(800, 600, 5);
    SurfacePtr block = Filled(25, 25, 9);
    const std::vector<uint32_t> untouched = target->pixels;

    EXPECT_EQ(0, BltFast(target.get(), 776, 0, block.get()));  // one pixel past the right edge
    EXPECT_EQ(0, BltFast(target.get(), 0, 576, block.get()));  // one pixel past the bottom edge
    EXPECT_EQ(0, BltFast(target.get(), -1, 0, block.get()));
    EXPECT_EQ(0, BltFast(target.get(), 0, -1, block.get()));
    EXPECT_EQ(0, BltFast(target.get(), 2147483647, 0, block.get()));
    EXPECT_EQ(untouched, target->pixels);

    // Flush with the corner is inside.
    EXPECT_EQ(1, BltFast(target.get(), 775, 575, block.get()));
    EXPECT_EQ(9u, target->row(599)[799]);
    EXPECT_EQ(9u, target->row(575)[775]);
    EXPECT_EQ(5u, target->row(574)[775]);
}

TEST(BltFast, CopiesASourceRectangleOneToOne)
{
    SurfacePtr source = CreateSurface(10, 10);
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) source->row(y)[x] = static_cast<uint32_t>(100 * y + x);
    SurfacePtr target = Filled(6, 6, 1);

    const Rect part{3, 4, 6, 6};  // 3 x 2 pixels from (3, 4)
    EXPECT_EQ(1, BltFast(target.get(), 1, 2, source.get(), &part));
    EXPECT_EQ(403u, target->row(2)[1]);
    EXPECT_EQ(405u, target->row(2)[3]);
    EXPECT_EQ(503u, target->row(3)[1]);
    EXPECT_EQ(1u, target->row(2)[4]);
    EXPECT_EQ(1u, target->row(4)[1]);

    // The rectangle's size decides the fit, not the source's.
    const Rect fits{0, 0, 6, 6};
    EXPECT_EQ(1, BltFast(target.get(), 0, 0, source.get(), &fits));
    const Rect tooWide{0, 0, 7, 1};
    EXPECT_EQ(0, BltFast(target.get(), 0, 0, source.get(), &tooWide));
}

TEST(BltFast, RefusesEmptyAndInvalidSourcesAndTargets)
{
    SurfacePtr target = Filled(8, 8, 3);
    SurfacePtr source = Filled(2, 2, 4);
    const std::vector<uint32_t> untouched = target->pixels;
    const Surface empty;
    const Rect emptyRect{1, 1, 1, 2};
    const Rect outside{1, 1, 3, 2};  // leaves the 2 x 2 source
    const Rect negative{-1, 0, 1, 1};

    EXPECT_EQ(0, BltFast(target.get(), 0, 0, nullptr));
    EXPECT_EQ(0, BltFast(target.get(), 0, 0, &empty));
    EXPECT_EQ(0, BltFast(nullptr, 0, 0, source.get()));
    EXPECT_EQ(0, BltFast(target.get(), 0, 0, source.get(), &emptyRect));
    EXPECT_EQ(0, BltFast(target.get(), 0, 0, source.get(), &outside));
    EXPECT_EQ(0, BltFast(target.get(), 0, 0, source.get(), &negative));
    EXPECT_EQ(untouched, target->pixels);
}

TEST(BltFast, CopiesWithinOneSurfaceAsIfFromACopy)
{
    SurfacePtr s = CreateSurface(6, 1);
    s->pixels = {1, 2, 3, 4, 5, 6};
    const Rect firstFour{0, 0, 4, 1};
    EXPECT_EQ(1, BltFast(s.get(), 2, 0, s.get(), &firstFour));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 1, 2, 3, 4}), s->pixels);
}

TEST(FillRectBlack, FillsOnlyTheClippedRectangle)
{
    SurfacePtr s = Filled(4, 3, 8);
    FillRectBlack(s.get(), Rect{-5, 1, 2, 99});
    EXPECT_EQ((std::vector<uint32_t>{8, 8, 8, 8,  //
                                     0, 0, 8, 8,  //
                                     0, 0, 8, 8}),
              s->pixels);
    FillRectBlack(s.get(), Rect{3, 0, 3, 3});  // empty: nothing
    FillRectBlack(nullptr, Rect{0, 0, 1, 1});
    EXPECT_EQ(8u, s->row(0)[3]);
}

// Every pixel a drawing function wrote lies in one of the surface's changed
// areas, however many drawings there were, and nothing is marked that was
// not drawn while there is room.
TEST(ChangedAreas, CoverEveryPixelDrawnAndStayWithinTheirCapacity)
{
    SurfacePtr target = CreateSurface(200, 150);
    ASSERT_EQ(1, target->changed.count);  // a new surface is changed all over
    EXPECT_EQ(200, target->changed.rects[0].right);
    target->changed.clear();

    SurfacePtr block = Filled(7, 5, 3);
    std::vector<uint8_t> drawn(200 * 150, 0);
    uint32_t seed = 12345;
    const auto next = [&seed](int32_t below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 16) % static_cast<uint32_t>(below));
    };
    for (int i = 0; i < 300; ++i) {
        const int32_t x = next(210) - 5;
        const int32_t y = next(160) - 5;
        Rect wrote{};
        if (i % 3 == 0) {
            const Rect fill{x, y, x + next(40), y + next(30)};
            FillRectBlack(target.get(), fill);
            wrote = Rect{std::max(fill.left, 0), std::max(fill.top, 0), std::min(fill.right, 200),
                         std::min(fill.bottom, 150)};
        } else if (BltFast(target.get(), x, y, block.get()) == 1) {
            wrote = Rect{x, y, x + 7, y + 5};
        }
        for (int32_t py = wrote.top; py < wrote.bottom; ++py) {
            for (int32_t px = wrote.left; px < wrote.right; ++px) drawn[static_cast<size_t>(py * 200 + px)] = 1;
        }
        ASSERT_LE(target->changed.count, ChangedAreas::kCapacity);
        if (i == 5) {
            // Few drawings yet: each is kept as it is, nothing more is marked.
            int32_t marked = 0;
            for (int32_t py = 0; py < 150; ++py) {
                for (int32_t px = 0; px < 200; ++px) {
                    bool inside = false;
                    for (const Rect& r : target->changed)
                        inside = inside || (px >= r.left && px < r.right && py >= r.top && py < r.bottom);
                    marked += inside;
                    EXPECT_EQ(inside, drawn[static_cast<size_t>(py * 200 + px)] == 1) << px << ", " << py;
                }
            }
            EXPECT_GT(marked, 0);
        }
    }
    for (int32_t py = 0; py < 150; ++py) {
        for (int32_t px = 0; px < 200; ++px) {
            if (!drawn[static_cast<size_t>(py * 200 + px)]) continue;
            bool inside = false;
            for (const Rect& r : target->changed)
                inside = inside || (px >= r.left && px < r.right && py >= r.top && py < r.bottom);
            ASSERT_TRUE(inside) << "pixel " << px << ", " << py << " drawn but not marked";
        }
    }
    EXPECT_EQ(ChangedAreas::kCapacity, target->changed.count);
}
