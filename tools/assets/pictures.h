// Every picture the game loads from its Data folder, drawn by our own code.
#pragma once

#include <string>
#include <vector>

#include "image.h"
#include "text.h"

struct Picture {
    std::string file;  // name inside the Data folder
    Image image;
    Rgb matte;  // what soft edges are laid over (the usual background)
};

std::vector<Picture> makePictures(Typesetter& type);

// The window icon, 32 x 32.
Image makeIcon();
// The icon for the desktop menus: size x size pixels, clear outside its rounded square.
Image makeDesktopIcon(int size);

// Single pictures, grouped by where they are used.
Image makeBlock(Rgb colour);
Image makeAimFrame();
Image makeLineClearStrip();
Image makeNoPreview();

Image makeLogo(Typesetter& type);
Image makeMenu(Typesetter& type);
Image makeMarker(bool pointsRight);
Image makeSwitch(Typesetter& type, bool on);
Image makeDigit(Typesetter& type, int digit);
Image makeLoadingBanner(Typesetter& type);

Image makeGameScreen(Typesetter& type);
Image makeHighscoreScreen(Typesetter& type);
Image makeOptionsScreen(Typesetter& type);
