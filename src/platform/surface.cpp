#include "platform/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

SurfacePtr CreateSurface(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0) return nullptr;
    auto surface = std::make_unique<Surface>();
    try {
        surface->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
    surface->width = width;
    surface->height = height;
    surface->changed.add(Rect{0, 0, width, height});
    return surface;
}

namespace {

int64_t Area(const Rect& r)
{
    return int64_t{r.right - r.left} * int64_t{r.bottom - r.top};
}

Rect Around(const Rect& a, const Rect& b)
{
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool Contains(const Rect& outer, const Rect& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

Rect Intersection(const Rect& a, const Rect& b)
{
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

namespace {

// Two rectangles that together make one: the same columns and rows that
// meet or overlap, or the same rows and columns that meet or overlap. A block
// moved down a pixel and the place it left, say.
bool FormOneRectangle(const Rect& a, const Rect& b)
{
    if (a.left == b.left && a.right == b.right) return a.top <= b.bottom && b.top <= a.bottom;
    if (a.top == b.top && a.bottom == b.bottom) return a.left <= b.right && b.left <= a.right;
    return false;
}

}  // namespace

void ChangedAreas::add(const Rect& area)
{
    if (IsEmpty(area)) return;
    // Whatever covers exactly the same pixels as one rectangle becomes one, so
    // that no pixel is listed twice for whoever reads the areas.
    Rect joined = area;
    for (int i = 0; i < count;) {
        const Rect& r = rects[static_cast<size_t>(i)];
        if (Contains(r, joined)) return;  // a board cell inside the cleared playfield, say
        if (Contains(joined, r) || FormOneRectangle(r, joined)) {
            joined = Around(r, joined);
            rects[static_cast<size_t>(i)] = rects[static_cast<size_t>(--count)];
            i = 0;  // the larger rectangle may take in one passed over
            continue;
        }
        ++i;
    }
    if (count < kCapacity) {
        rects[static_cast<size_t>(count++)] = joined;
        return;
    }
    // Full: the new area joins the rectangle it enlarges least.
    size_t best = 0;
    int64_t bestGrowth = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        const int64_t growth = Area(Around(rects[i], joined)) - Area(rects[i]);
        if (growth < bestGrowth) {
            best = i;
            bestGrowth = growth;
        }
    }
    rects[best] = Around(rects[best], joined);
}

void ChangedAreas::add(const ChangedAreas& other)
{
    for (const Rect& r : other) add(r);
}

namespace {

bool IsEmpty(const Surface* surface)
{
    return !surface || surface->width <= 0 || surface->height <= 0 ||
           surface->pixels.size() < static_cast<size_t>(surface->width) * static_cast<size_t>(surface->height);
}

// One row of the keyed copy. The fixed inner count of 8 lets g++ -O2 (whose
// cheap vectoriser only takes loops it can replace entirely) turn the block
// into compare-and-blend instructions; a branch per pixel is five times slower.
void CopyRowKeyed(uint32_t* __restrict dst, const uint32_t* __restrict src, size_t count, uint32_t key)
{
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        for (size_t j = 0; j < 8; ++j) {
            const uint32_t p = src[i + j];
            const uint32_t old = dst[i + j];
            dst[i + j] = p != key ? p : old;
        }
    }
    for (; i < count; ++i) {
        const uint32_t p = src[i];
        const uint32_t old = dst[i];
        dst[i] = p != key ? p : old;
    }
}

}  // namespace

int BltFast(Surface* target, int32_t x, int32_t y, const Surface* source, const Rect* sourceRect)
{
    if (IsEmpty(target) || IsEmpty(source)) return 0;

    const Rect whole{0, 0, source->width, source->height};
    const Rect r = sourceRect ? *sourceRect : whole;
    // A source rectangle that is empty or leaves its surface is refused, as the
    // blitter does.
    if (r.left < 0 || r.top < 0 || r.right > source->width || r.bottom > source->height) return 0;
    if (r.left >= r.right || r.top >= r.bottom) return 0;

    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    // Never clipped: a copy that does not fit wholly draws nothing at all.
    if (x < 0 || y < 0 || x + w > target->width || y + h > target->height) return 0;

    const size_t count = static_cast<size_t>(w);
    if (source == target) {
        // Copying within one surface: take the rectangle out first so that
        // overlapping rows are read before they are overwritten.
        Surface copy;
        copy.width = static_cast<int32_t>(w);
        copy.height = static_cast<int32_t>(h);
        copy.hasColorKey = source->hasColorKey;
        copy.colorKey = source->colorKey;
        copy.pixels.resize(count * static_cast<size_t>(h));
        for (int32_t row = 0; row < copy.height; ++row) {
            const uint32_t* from = source->row(r.top + row) + r.left;
            std::copy(from, from + count, copy.row(row));
        }
        return BltFast(target, x, y, &copy, nullptr);
    }

    for (int64_t row = 0; row < h; ++row) {
        const uint32_t* src = source->row(static_cast<int32_t>(r.top + row)) + r.left;
        uint32_t* dst = target->row(static_cast<int32_t>(y + row)) + x;
        if (source->hasColorKey) {
            CopyRowKeyed(dst, src, count, source->colorKey);
        } else {
            std::copy(src, src + count, dst);
        }
    }
    target->changed.add(Rect{x, y, static_cast<int32_t>(x + w), static_cast<int32_t>(y + h)});
    return 1;
}

SurfacePtr WithoutUnusedColorKey(SurfacePtr picture)
{
    if (picture && picture->hasColorKey &&
        std::find(picture->pixels.begin(), picture->pixels.end(), picture->colorKey) == picture->pixels.end())
        picture->hasColorKey = false;
    return picture;
}

void FillRectBlack(Surface* target, const Rect& rect)
{
    if (IsEmpty(target)) return;
    const Rect r = Intersection(rect, Rect{0, 0, target->width, target->height});
    if (IsEmpty(r)) return;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = target->row(y);
        std::fill(row + r.left, row + r.right, 0u);
    }
    target->changed.add(r);
}

void FrameRect(Surface* target, const Rect& rect, int32_t thickness, uint32_t pixel)
{
    if (IsEmpty(target)) return;
    const Rect r = Intersection(rect, Rect{0, 0, target->width, target->height});
    if (IsEmpty(r)) return;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = target->row(y);
        for (int32_t x = r.left; x < r.right; ++x) {
            const bool edge = x < rect.left + thickness || x >= rect.right - thickness || y < rect.top + thickness ||
                              y >= rect.bottom - thickness;
            if (edge) row[x] = pixel;
        }
    }
    target->changed.add(r);
}
