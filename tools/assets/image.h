// A small RGBA canvas for drawing the game's pictures. Colours are floats in
// 0..255 with a straight alpha in 0..1, so gradients and soft edges stay smooth
// until the picture is written out as a 24-bit bitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb rgb(int r, int g, int b);
Rgb mix(Rgb a, Rgb b, float t);  // t 0 gives a, 1 gives b
Rgb scale(Rgb c, float f);       // darker below 1, brighter above
Rgb lighten(Rgb c, float t);     // towards white
Rgb darken(Rgb c, float t);      // towards black

struct Pixel {
    Rgb c;
    float a = 0;
};

// A coverage mask: 0 outside, 1 inside, fractions on soft edges.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;

    Mask() = default;
    Mask(int width, int height);
    float at(int x, int y) const;  // 0 outside the mask's rectangle
    float& ref(int x, int y) { return v[static_cast<size_t>(y * w + x)]; }
};

class Image {
public:
    Image(int width, int height);  // fully transparent
    Image(int width, int height, Rgb fill);

    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Pixel& at(int x, int y) { return px_[static_cast<size_t>(y * w_ + x)]; }
    const Pixel& at(int x, int y) const { return px_[static_cast<size_t>(y * w_ + x)]; }

    // Lays colour over the pixel with the given coverage (0..1).
    void blend(int x, int y, Rgb c, float coverage);
    void set(int x, int y, Rgb c);

    void fillRect(int x, int y, int w, int h, Rgb c, float coverage = 1);
    void verticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    void clearRect(int x, int y, int w, int h);  // back to transparent

    // Paints a mask at (x, y); the colour may depend on the canvas position.
    void paint(const Mask& m, int x, int y, Rgb c, float opacity = 1);
    void paint(const Mask& m, int x, int y, const std::function<Rgb(int, int)>& colourAt, float opacity = 1);

    // Copies another picture over this one at (x, y), alpha included.
    void draw(const Image& src, int x, int y);

private:
    int w_, h_;
    std::vector<Pixel> px_;
};

// Coverage of simple shapes, anti-aliased by 4 x 4 supersampling.
Mask roundRectMask(int w, int h, float radius);
Mask polygonMask(int w, int h, const std::vector<float>& xy);  // x0,y0,x1,y1,...
Mask thickLineMask(int w, int h, float x0, float y0, float x1, float y1, float halfWidth);
Mask discMask(int diameter);

// Mask algebra.
Mask dilate(const Mask& m, int radius, int pad);  // grows by radius, canvas grows by pad on each side
Mask blur(const Mask& m, int radius);
Mask shifted(const Mask& m, int dx, int dy);  // same size, content moved
void subtract(Mask& m, const Mask& cut, int dx = 0, int dy = 0);
