#include "image.h"

#include <algorithm>
#include <cmath>

Rgb rgb(int r, int g, int b)
{
    return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
}

Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float f)
{
    return {std::min(255.f, c.r * f), std::min(255.f, c.g * f), std::min(255.f, c.b * f)};
}

Rgb lighten(Rgb c, float t)
{
    return mix(c, rgb(255, 255, 255), t);
}

Rgb darken(Rgb c, float t)
{
    return mix(c, rgb(0, 0, 0), t);
}

Mask::Mask(int width, int height) : w(width), h(height), v(static_cast<size_t>(width * height), 0.f) {}

float Mask::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return v[static_cast<size_t>(y * w + x)];
}

Image::Image(int width, int height) : w_(width), h_(height), px_(static_cast<size_t>(width * height)) {}

Image::Image(int width, int height, Rgb fill) : Image(width, height)
{
    fillRect(0, 0, width, height, fill);
}

void Image::blend(int x, int y, Rgb c, float coverage)
{
    if (!inside(x, y) || coverage <= 0) return;
    coverage = std::min(coverage, 1.f);
    Pixel& p = at(x, y);
    const float a = coverage + p.a * (1 - coverage);
    if (a <= 0) return;
    // Straight-alpha "over": weight the old colour by what still shows of it.
    const float keep = p.a * (1 - coverage) / a;
    p.c = {c.r * (coverage / a) + p.c.r * keep, c.g * (coverage / a) + p.c.g * keep,
           c.b * (coverage / a) + p.c.b * keep};
    p.a = a;
}

void Image::set(int x, int y, Rgb c)
{
    if (!inside(x, y)) return;
    at(x, y) = {c, 1.f};
}

void Image::fillRect(int x, int y, int w, int h, Rgb c, float coverage)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) blend(i, j, c, coverage);
}

void Image::verticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom)
{
    for (int j = 0; j < h; ++j) {
        const Rgb c = mix(top, bottom, h > 1 ? static_cast<float>(j) / static_cast<float>(h - 1) : 0.f);
        for (int i = 0; i < w; ++i) set(x + i, y + j, c);
    }
}

void Image::clearRect(int x, int y, int w, int h)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (inside(i, j)) at(i, j) = Pixel{};
}

void Image::paint(const Mask& m, int x, int y, Rgb c, float opacity)
{
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) blend(x + i, y + j, c, m.at(i, j) * opacity);
}

void Image::paint(const Mask& m, int x, int y, const std::function<Rgb(int, int)>& colourAt, float opacity)
{
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) {
            const float cov = m.at(i, j) * opacity;
            if (cov > 0) blend(x + i, y + j, colourAt(x + i, y + j), cov);
        }
}

void Image::draw(const Image& src, int x, int y)
{
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i) {
            const Pixel& p = src.at(i, j);
            blend(x + i, y + j, p.c, p.a);
        }
}

namespace {

constexpr int kSamples = 4;

template <typename Inside>
Mask supersample(int w, int h, Inside inside)
{
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSamples;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSamples;
                    if (inside(px, py)) ++hits;
                }
            m.ref(x, y) = static_cast<float>(hits) / (kSamples * kSamples);
        }
    return m;
}

}  // namespace

Mask roundRectMask(int w, int h, float radius)
{
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    return supersample(w, h, [=](float x, float y) {
        const float cx = std::clamp(x, radius, fw - radius);
        const float cy = std::clamp(y, radius, fh - radius);
        const float dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= radius * radius;
    });
}

Mask polygonMask(int w, int h, const std::vector<float>& xy)
{
    const size_t n = xy.size() / 2;
    return supersample(w, h, [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    });
}

Mask thickLineMask(int w, int h, float x0, float y0, float x1, float y1, float halfWidth)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    return supersample(w, h, [=](float x, float y) {
        const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.f, 1.f);
        const float ex = x - (x0 + t * dx), ey = y - (y0 + t * dy);
        return ex * ex + ey * ey <= halfWidth * halfWidth;
    });
}

Mask discMask(int diameter)
{
    const float r = static_cast<float>(diameter) / 2;
    return supersample(diameter, diameter,
                       [=](float x, float y) { return (x - r) * (x - r) + (y - r) * (y - r) <= r * r; });
}

Mask dilate(const Mask& m, int radius, int pad)
{
    Mask out(m.w + 2 * pad, m.h + 2 * pad);
    std::vector<std::pair<int, int>> offsets;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius + radius) offsets.emplace_back(dx, dy);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            float best = 0;
            for (const auto& [dx, dy] : offsets) {
                best = std::max(best, m.at(x - pad + dx, y - pad + dy));
                if (best >= 1) break;
            }
            out.ref(x, y) = best;
        }
    return out;
}

Mask blur(const Mask& m, int radius)
{
    // Two box passes per axis approximate a soft gaussian.
    Mask cur = m;
    const float n = static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        Mask tmp(cur.w, cur.h);
        for (int y = 0; y < cur.h; ++y)
            for (int x = 0; x < cur.w; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += cur.at(x + k, y);
                tmp.ref(x, y) = s / n;
            }
        for (int y = 0; y < cur.h; ++y)
            for (int x = 0; x < cur.w; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += tmp.at(x, y + k);
                cur.ref(x, y) = s / n;
            }
    }
    return cur;
}

Mask shifted(const Mask& m, int dx, int dy)
{
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) out.ref(x, y) = m.at(x - dx, y - dy);
    return out;
}

void subtract(Mask& m, const Mask& cut, int dx, int dy)
{
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) m.ref(x, y) = std::max(0.f, m.at(x, y) - cut.at(x - dx, y - dy));
}
