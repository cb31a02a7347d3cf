#include "art.h"

#include <algorithm>
#include <cmath>

#include "palette.h"

Rgb blockPixel(int i, int j, int size, Rgb c)
{
    const int bevel = std::max(2, size / 8);
    const float fs = static_cast<float>(size);
    const int left = i, top = j, right = size - 1 - i, bottom = size - 1 - j;
    const int edge = std::min({left, top, right, bottom});
    if (edge == 0) return darken(c, 0.62f);
    if (edge <= bevel) {
        // Which side is nearest decides lit or shaded; corners split on the diagonal.
        const bool lit = std::min(top, left) < std::min(bottom, right) ||
                         (std::min(top, left) == std::min(bottom, right) && top <= left);
        const float depth = static_cast<float>(edge - 1) / static_cast<float>(bevel);
        return lit ? lighten(c, 0.55f - 0.2f * depth) : darken(c, 0.42f - 0.12f * depth);
    }
    Rgb p = mix(lighten(c, 0.16f), darken(c, 0.14f), static_cast<float>(j) / fs);
    // A soft gloss towards the top left of the face.
    const float gx = (static_cast<float>(i) - fs * 0.36f) / (fs * 0.32f);
    const float gy = (static_cast<float>(j) - fs * 0.32f) / (fs * 0.22f);
    const float g = std::max(0.f, 1.f - (gx * gx + gy * gy));
    return lighten(p, 0.30f * g * g);
}

void drawBlock(Image& img, int x, int y, int size, Rgb c)
{
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) img.set(x + i, y + j, blockPixel(i, j, size, c));
}

void drawFrame(Image& img, int x, int y, int w, int h, int thickness, Rgb base)
{
    const int half = std::max(1, thickness / 2);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int left = i, top = j, right = w - 1 - i, bottom = h - 1 - j;
            const int edge = std::min({left, top, right, bottom});
            if (edge >= thickness) continue;
            const bool topLeft = std::min(top, left) < std::min(bottom, right) ||
                                 (std::min(top, left) == std::min(bottom, right) && top <= left);
            Rgb p;
            if (edge == 0 || edge == thickness - 1) {
                p = darken(base, 0.65f);
            } else if (edge < half) {
                p = topLeft ? lighten(base, 0.38f) : darken(base, 0.38f);
            } else {
                p = topLeft ? darken(base, 0.30f) : lighten(base, 0.22f);
            }
            img.set(x + i, y + j, p);
        }
}

void drawPanel(Image& img, int x, int y, int w, int h, float radius, Rgb top, Rgb bottom, Rgb border, int borderWidth)
{
    const Mask outer = roundRectMask(w, h, radius);
    img.paint(outer, x, y, border);
    const int b = borderWidth;
    const Mask inner = roundRectMask(w - 2 * b, h - 2 * b, std::max(0.f, radius - static_cast<float>(b)));
    const float span = static_cast<float>(std::max(1, h - 2 * b - 1));
    img.paint(inner, x + b, y + b,
              [&](int, int py) { return mix(top, bottom, static_cast<float>(py - y - b) / span); });
}

void drawTileTexture(Image& img, int tile, float strength)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int u = x % tile, v = y % tile;
            if (u == 0 || v == 0) {
                img.blend(x, y, rgb(255, 255, 255), strength);
            } else if (u == tile - 1 || v == tile - 1) {
                img.blend(x, y, rgb(0, 0, 0), strength * 1.6f);
            }
        }
}

InkBox drawText(Image& img, Typesetter& type, const std::string& utf8, int size, bool bold, int x, int y, Anchor anchor,
                const TextLook& look)
{
    const Mask glyphs = type.render(utf8, size, bold);
    const InkBox ink = inkBox(glyphs);
    if (ink.width() == 0) return {};
    const int ox = (anchor == Anchor::Centre ? x - ink.width() / 2 : x) - ink.x0;
    const int oy = look.alignInk ? y - ink.y0 : y;

    const int pad = look.outlineWidth + look.shadowBlur * 2 + 2;
    if (look.shadowOffset > 0) {
        Mask shadow = dilate(glyphs, look.outlineWidth, pad);
        if (look.shadowBlur > 0) shadow = blur(shadow, look.shadowBlur);
        img.paint(shadow, ox - pad + look.shadowOffset, oy - pad + look.shadowOffset, look.shadow, look.shadowOpacity);
    }
    if (look.outlineWidth > 0) img.paint(dilate(glyphs, look.outlineWidth, pad), ox - pad, oy - pad, look.outline);

    const Mask soft = look.emboss > 0 ? blur(glyphs, std::max(1, size / 28)) : Mask{};
    const float top = static_cast<float>(oy + ink.y0), height = static_cast<float>(std::max(1, ink.height() - 1));
    img.paint(glyphs, ox, oy, [&](int px, int py) {
        Rgb c = mix(look.top, look.bottom, std::clamp((static_cast<float>(py) - top) / height, 0.f, 1.f));
        if (look.emboss > 0) {
            // Light from the top left: edges facing it brighten, the others darken.
            const int mx = px - ox, my = py - oy;
            const float slope = soft.at(mx + 1, my + 1) - soft.at(mx - 1, my - 1);
            const float light = std::clamp(slope * look.emboss, -1.f, 1.f);
            c = light > 0 ? lighten(c, light * 0.7f) : darken(c, -light * 0.55f);
        }
        return c;
    });
    return {ox + ink.x0, oy + ink.y0, ox + ink.x1, oy + ink.y1};
}

InkBox drawBlockLettering(Image& img, Typesetter& type, const std::string& text, int size, int cx, int y,
                          const std::vector<Rgb>& letterColours)
{
    const Mask glyphs = type.render(text, size, true);
    // Two tiles across a stem, so an "l" is two clean columns of blocks.
    const int tile = std::max(6, (inkBox(type.render("l", size, true)).width() + 1) / 2);
    const InkBox ink = inkBox(glyphs);
    if (ink.width() == 0 || letterColours.empty()) return {};
    const int ox = cx - ink.width() / 2 - ink.x0;
    const int oy = y - ink.y0;

    // Letter k spans the advance from the end of the first k letters; each
    // letter's tiles start at its own left edge, so strokes hold whole tiles.
    std::vector<int> edges;
    for (size_t k = 1; k < text.size(); ++k) edges.push_back(type.width(text.substr(0, k), size, true));
    std::vector<int> letterLeft(text.size(), glyphs.w);
    auto letterAt = [&](int mx) {
        size_t letter = 0;
        while (letter < edges.size() && mx >= edges[letter]) ++letter;
        return letter;
    };
    for (int mx = 0; mx < glyphs.w; ++mx)
        for (int my = 0; my < glyphs.h; ++my)
            if (glyphs.at(mx, my) > 0.5f) {
                int& left = letterLeft[letterAt(mx)];
                left = std::min(left, mx);
            }

    const int outline = std::max(3, size / 22);
    const int rim = std::max(1, outline / 2);
    const int drop = std::max(4, size / 18);
    const int pad = outline + 2;
    const Mask outer = dilate(glyphs, outline, pad);
    img.paint(outer, ox - pad + drop, oy - pad + drop, palette::shadow());
    img.paint(outer, ox - pad, oy - pad, palette::ink());
    img.paint(dilate(glyphs, rim, pad), ox - pad, oy - pad, rgb(214, 224, 250));

    const int gx = ox + ink.x0, gy = oy + ink.y0;
    const float height = static_cast<float>(ink.height());
    img.paint(glyphs, ox, oy, [&](int px, int py) {
        const size_t letter = letterAt(px - ox);
        const Rgb base = letterColours[letter % letterColours.size()];
        const int u = ((px - ox - letterLeft[letter]) % tile + tile) % tile, v = ((py - gy) % tile + tile) % tile;
        Rgb c = blockPixel(u, v, tile, base);
        // A broad sheen across the upper part of the word.
        const float t = static_cast<float>(py - gy) / height;
        if (t < 0.45f) c = lighten(c, 0.18f * (1 - t / 0.45f));
        return c;
    });
    return {gx, gy, gx + ink.width(), gy + ink.height()};
}
