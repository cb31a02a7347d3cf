// The colours of the game's pictures.
#pragma once

#include "image.h"

namespace palette {

// Block colours by cell value 1 to 8.
inline Rgb green()
{
    return rgb(46, 190, 64);
}
inline Rgb cyan()
{
    return rgb(20, 196, 214);
}
inline Rgb pink()
{
    return rgb(240, 110, 186);
}
inline Rgb orange()
{
    return rgb(248, 140, 24);
}
inline Rgb red()
{
    return rgb(216, 36, 36);
}
inline Rgb yellow()
{
    return rgb(242, 210, 26);
}
inline Rgb blue()
{
    return rgb(44, 92, 226);
}
inline Rgb silver()
{
    return rgb(176, 182, 194);
}

inline Rgb blockColour(int cellValue)
{
    switch (cellValue) {
    case 1: return green();
    case 2: return cyan();
    case 3: return pink();
    case 4: return orange();
    case 5: return red();
    case 6: return yellow();
    case 7: return blue();
    default: return silver();
    }
}

// The screens: deep blue backdrop, steel frames, dark outlines.
inline Rgb backdropTop()
{
    return rgb(16, 32, 104);
}
inline Rgb backdropBottom()
{
    return rgb(6, 12, 52);
}
inline Rgb steel()
{
    return rgb(96, 120, 184);
}
inline Rgb ink()
{
    return rgb(8, 10, 34);
}  // outlines around lettering
inline Rgb shadow()
{
    return rgb(2, 4, 22);
}
inline Rgb gold()
{
    return rgb(255, 206, 64);
}
inline Rgb paper()
{
    return rgb(238, 242, 252);
}  // light panels under the blue list text
inline Rgb paperShade()
{
    return rgb(222, 229, 248);
}
inline Rgb slate()
{
    return rgb(72, 82, 128);
}  // small print on light panels
inline Rgb slot()
{
    return rgb(70, 84, 130);
}  // the recess under the options' value pictures

}  // namespace palette
