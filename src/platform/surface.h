#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A rectangle as the game writes them: left/top inclusive, right/bottom exclusive.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The part two rectangles share, and whether a rectangle holds any pixel.
Rect Intersection(const Rect& a, const Rect& b);
inline bool IsEmpty(const Rect& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

// Where a surface was drawn on since its owner last cleared the list: a few
// rectangles that together cover every pixel written. When there are more
// than fit, two are merged into the rectangle around both, so the areas may
// grow but never miss a pixel.
struct ChangedAreas {
    static constexpr int kCapacity = 16;
    std::array<Rect, kCapacity> rects{};
    int count = 0;

    void add(const Rect& area);
    void add(const ChangedAreas& other);
    void clear() { count = 0; }
    const Rect* begin() const { return rects.data(); }
    const Rect* end() const { return rects.data() + count; }
};

// A 32-bit picture in the game's own memory: pixel value = red * 65536 +
// green * 256 + blue. Pictures loaded from files carry the colour key 20.
struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // row by row, width * height values
    bool hasColorKey = false;
    uint32_t colorKey = 0;
    // Filled by every drawing function below and by text drawing; whoever
    // shows the surface reads and clears it.
    ChangedAreas changed;

    uint32_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

// An asset slot: empty when its file could not be loaded.
using SurfacePtr = std::unique_ptr<Surface>;

constexpr uint32_t kColorKey = 20;  // red 0, green 0, blue 20

// A black surface, all of it marked as changed. Empty for sizes below 1.
SurfacePtr CreateSurface(int32_t width, int32_t height);

// The colour-keyed fast copy (BltFast with SRCCOLORKEY | WAIT): the source
// rectangle (or the whole source) goes 1:1 to (x, y) on the target, skipping
// pixels equal to the source's colour key. Never clips: if the destination
// rectangle is not wholly inside the target, nothing is drawn. Null or empty
// surfaces draw nothing. Returns 1 when it drew, 0 otherwise.
int BltFast(Surface* target, int32_t x, int32_t y, const Surface* source, const Rect* sourceRect = nullptr);

// For a picture only ever copied from: drops its colour key when no pixel has
// the key's value, since BltFast then copies the same pixels either way, and
// copies rows without a key whole, several times quicker. Returns the picture.
SurfacePtr WithoutUnusedColorKey(SurfacePtr picture);

// Fills a rectangle with black (the stock black brush), clipped to the target.
void FillRectBlack(Surface* target, const Rect& rect);
// Draws the edge of rect, `thickness` pixels wide and inside rect, in pixel
// value `pixel`: the focus mark of the menu screens. Clipped to the surface.
void FrameRect(Surface* target, const Rect& rect, int32_t thickness, uint32_t pixel);
