// The drawing vocabulary shared by all pictures: bevelled blocks, frames,
// panels and lettering with outline, bevel and shadow.
#pragma once

#include <string>
#include <vector>

#include "image.h"
#include "text.h"

// A raised square tile: dark rim, light top and left edges, dark bottom and
// right edges, a softly lit face.
void drawBlock(Image& img, int x, int y, int size, Rgb colour);
Rgb blockPixel(int i, int j, int size, Rgb colour);  // pixel (i, j) of such a tile

// A bevelled ring inside the rectangle: lit from the top left on its outer
// half, sunk on its inner half, so the inside looks set into the surface.
void drawFrame(Image& img, int x, int y, int w, int h, int thickness, Rgb base);

// A rounded panel with a vertical gradient and a border line.
void drawPanel(Image& img, int x, int y, int w, int h, float radius, Rgb top, Rgb bottom, Rgb border,
               int borderWidth = 1);

// A faint grid of large tiles over the whole picture, the backdrop texture of
// the full-screen pictures.
void drawTileTexture(Image& img, int tile, float strength);

struct TextLook {
    Rgb top = rgb(255, 255, 255);     // fill colour at the top of the ink
    Rgb bottom = rgb(255, 255, 255);  // and at its bottom
    Rgb outline = rgb(0, 0, 0);
    int outlineWidth = 0;  // 0: none
    Rgb shadow = rgb(0, 0, 0);
    int shadowOffset = 0;  // 0: none
    float shadowOpacity = 0.6f;
    int shadowBlur = 0;    // 0: hard shadow (needed on key backgrounds)
    float emboss = 0;      // strength of the light on the letters' edges
    bool alignInk = true;  // y is the top of the ink; false: the top of the line cell
};

enum class Anchor { Left, Centre };

// Bold lettering built of bevelled tiles, one colour per letter (cycling),
// with a light rim, a dark outline and a hard drop shadow, so it sits on black
// and on the blue screens alike. Centred on cx with the ink's top at y.
InkBox drawBlockLettering(Image& img, Typesetter& type, const std::string& text, int size, int cx, int y,
                          const std::vector<Rgb>& letterColours);

// Draws one line of text whose ink starts at y (top) and at x (left edge or
// centre); returns the ink box on the picture.
InkBox drawText(Image& img, Typesetter& type, const std::string& utf8, int size, bool bold, int x, int y, Anchor anchor,
                const TextLook& look);
