// Text for the pictures, set in the game's own typeface (Liberation Sans).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "image.h"
#include "platform/sdl_handles.h"

struct InkBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive; all 0 for an empty mask
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

InkBox inkBox(const Mask& m);

class Typesetter {
public:
    explicit Typesetter(std::string fontDir);
    ~Typesetter();
    Typesetter(const Typesetter&) = delete;
    Typesetter& operator=(const Typesetter&) = delete;

    bool ok();  // both faces can be opened

    // The coverage of a line of UTF-8 text; the mask is the font's full line
    // cell, so texts of one size share a baseline.
    Mask render(const std::string& utf8, int size, bool bold);
    int width(const std::string& utf8, int size, bool bold);
    // The largest size at which the text's ink fits the box.
    int fit(const std::string& utf8, bool bold, int maxWidth, int maxHeight);

private:
    _TTF_Font* font(int size, bool bold);

    std::string dir_;
    bool ready_ = false;
    std::map<std::pair<int, bool>, TtfFontPtr> fonts_;
};
