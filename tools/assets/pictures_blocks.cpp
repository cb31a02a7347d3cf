// The playfield's pieces: blocks, the landing guide, the line-clear strip,
// the covered preview box and the window icon.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "palette.h"
#include "pictures.h"

namespace {

constexpr int kCell = 25;

}  // namespace

Image makeBlock(Rgb colour)
{
    Image img(kCell, kCell);
    drawBlock(img, 0, 0, kCell, colour);
    return img;
}

Image makeAimFrame()
{
    // Only the ring is drawn; the inside stays transparent so the landing
    // cell's content shows through.
    Image img(kCell, kCell);
    for (int j = 0; j < kCell; ++j)
        for (int i = 0; i < kCell; ++i) {
            const int edge = std::min({i, j, kCell - 1 - i, kCell - 1 - j});
            if (edge == 0)
                img.set(i, j, rgb(236, 240, 255));
            else if (edge == 1)
                img.set(i, j, rgb(138, 152, 226));
        }
    // Brighter corners make the guide read at a glance.
    for (int k = 0; k < 5; ++k) {
        for (const auto& [x, y] : {std::pair{k, 0}, std::pair{0, k}, std::pair{kCell - 1 - k, 0},
                                   std::pair{kCell - 1, k}, std::pair{k, kCell - 1}, std::pair{0, kCell - 1 - k},
                                   std::pair{kCell - 1 - k, kCell - 1}, std::pair{kCell - 1, kCell - 1 - k}})
            img.set(x, y, rgb(255, 255, 255));
    }
    return img;
}

Image makeLineClearStrip()
{
    // Fifteen frames of one full row, top to bottom: the row flashes white,
    // then its blocks burst from the middle outwards and leave sparks behind.
    constexpr int kColumns = 10, kFrames = 15;
    Image img(kColumns * kCell, kFrames * kCell);
    for (int f = 0; f < kFrames; ++f)
        for (int c = 0; c < kColumns; ++c) {
            const int x = c * kCell, y = f * kCell;
            const Rgb base = palette::blockColour((c * 3) % 7 + 1);
            const int ring = static_cast<int>(std::abs(static_cast<float>(c) - 4.5f));  // 0 in the middle, 4 outside
            const int gone = f - 5;  // frame at which the middle pair has burst
            if (f < 5) {
                Image block = makeBlock(lighten(base, 0.18f * static_cast<float>(f)));
                img.draw(block, x, y);
            } else if (ring > gone) {
                img.draw(makeBlock(lighten(base, 0.85f)), x, y);
            } else {
                // A spark that shrinks and fades over the frames after the burst.
                const int age = gone - ring;
                const int arm = std::max(0, 10 - 2 * age);
                const Rgb spark = mix(rgb(255, 255, 255), base, std::min(1.f, 0.15f * static_cast<float>(age)));
                for (int k = -arm; k <= arm; ++k) {
                    img.set(x + 12 + k, y + 12, spark);
                    img.set(x + 12, y + 12 + k, spark);
                    if (std::abs(k) <= arm / 2) {
                        img.set(x + 12 + k, y + 12 + k, spark);
                        img.set(x + 12 + k, y + 12 - k, spark);
                    }
                }
            }
        }
    return img;
}

Image makeNoPreview()
{
    constexpr int kSize = 100;
    Image img(kSize, kSize, rgb(8, 10, 28));
    for (int k = 1; k < 4; ++k) {
        img.fillRect(k * kCell, 0, 1, kSize, rgb(28, 36, 78));
        img.fillRect(0, k * kCell, kSize, 1, rgb(28, 36, 78));
    }
    const Mask a = thickLineMask(kSize, kSize, 18, 18, 82, 82, 7);
    const Mask b = thickLineMask(kSize, kSize, 82, 18, 18, 82, 7);
    for (const Mask* m : {&a, &b}) img.paint(dilate(*m, 2, 0), 0, 0, rgb(40, 0, 0));
    for (const Mask* m : {&a, &b})
        img.paint(*m, 0, 0, [](int x, int y) {
            return mix(rgb(255, 96, 80), rgb(196, 20, 24), static_cast<float>(x + y) / 200.f);
        });
    drawFrame(img, 0, 0, kSize, kSize, 3, palette::steel());
    return img;
}

Image makeIcon()
{
    constexpr int kSize = 32, kBlock = 10;
    Image img(kSize, kSize, palette::backdropBottom());
    img.paint(roundRectMask(kSize, kSize, 6), 0, 0,
              [](int, int y) { return mix(rgb(30, 54, 150), rgb(10, 18, 70), static_cast<float>(y) / 31.f); });
    // A T piece settling onto a filled bottom row.
    const int x0 = 1, y0 = 1;
    drawBlock(img, x0 + kBlock, y0, kBlock, palette::orange());
    for (int c = 0; c < 3; ++c) drawBlock(img, x0 + c * kBlock, y0 + kBlock, kBlock, palette::orange());
    drawBlock(img, x0, y0 + 2 * kBlock, kBlock, palette::green());
    drawBlock(img, x0 + kBlock, y0 + 2 * kBlock, kBlock, palette::blue());
    drawBlock(img, x0 + 2 * kBlock, y0 + 2 * kBlock, kBlock, palette::cyan());
    return img;
}

Image makeDesktopIcon(int size)
{
    // The window icon's design at any size, with clear corners for menus and docks.
    Image img(size, size);
    const float unit = static_cast<float>(size) / 32.f;
    const int block = std::max(3, static_cast<int>(std::lround(10 * unit)));
    const int margin = std::max(0, (size - 3 * block) / 2);
    img.paint(roundRectMask(size, size, std::max(2, static_cast<int>(std::lround(6 * unit)))), 0, 0,
              [size](int, int y) {
                  return mix(rgb(30, 54, 150), rgb(10, 18, 70), static_cast<float>(y) / static_cast<float>(size - 1));
              });
    drawBlock(img, margin + block, margin, block, palette::orange());
    for (int c = 0; c < 3; ++c) drawBlock(img, margin + c * block, margin + block, block, palette::orange());
    drawBlock(img, margin, margin + 2 * block, block, palette::green());
    drawBlock(img, margin + block, margin + 2 * block, block, palette::blue());
    drawBlock(img, margin + 2 * block, margin + 2 * block, block, palette::cyan());
    return img;
}
