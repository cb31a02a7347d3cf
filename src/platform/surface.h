#pragma once
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

// A 32-bit picture in the game's own memory: pixel value = red * 65536 +
// green * 256 + blue. Pictures loaded from files carry the colour key 20.
struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // row by row, width * height values
    bool hasColorKey = false;
    uint32_t colorKey = 0;

    uint32_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

// An asset slot: empty when its file could not be loaded.
using SurfacePtr = std::unique_ptr<Surface>;

constexpr uint32_t kColorKey = 20;  // red 0, green 0, blue 20

SurfacePtr CreateSurface(int32_t width, int32_t height);

// The colour-keyed fast copy (BltFast with SRCCOLORKEY | WAIT): the source
// rectangle (or the whole source) goes 1:1 to (x, y) on the target, skipping
// pixels equal to the source's colour key. Never clips: if the destination
// rectangle is not wholly inside the target, nothing is drawn. Null or empty
// surfaces draw nothing. Returns 1 when it drew, 0 otherwise.
int BltFast(Surface* target, int32_t x, int32_t y, const Surface* source, const Rect* sourceRect = nullptr);

// Fills a rectangle with black (the stock black brush), clipped to the target.
void FillRectBlack(Surface* target, const Rect& rect);
