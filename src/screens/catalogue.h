#pragma once
#include <cstdint>

#include "platform/surface.h"

class Display;

// Every picture the game draws, loaded once at start-up into a fixed slot and
// kept until shutdown. An empty slot (file missing) draws nothing.
struct Catalogue {
    SurfacePtr loadingImage;
    SurfacePtr leftMarker;
    SurfacePtr rightMarker;
    SurfacePtr titleLogo;
    SurfacePtr smallLogo;
    SurfacePtr playSurface;        // the game screen is composed on it
    SurfacePtr backgroundSurface;  // never drawn on; restores the play surface
    SurfacePtr aimFrame;
    SurfacePtr menuImage;
    SurfacePtr offImage;
    SurfacePtr onImage;
    SurfacePtr lineClearStrip;  // loaded and released only; nothing draws it
    SurfacePtr highscoreBackground;
    SurfacePtr highscoreSurface;
    SurfacePtr optionsSurface;
    SurfacePtr noPreviewImage;
    SurfacePtr blocks[9];  // by cell value 1..8; [0] unused
    SurfacePtr digits[10];

    // The block image for a cell value: 1..7 their own, any other value silver.
    const Surface* blockImage(int32_t value) const;
};

// Loads the loading picture "Data\lade.bmp" at 304 x 43.
void loadLoadingImage(Catalogue& pictures, Display& display);
// Loads the 33 catalogue pictures in their fixed order.
void loadPictures(Catalogue& pictures, Display& display);
void releasePictures(Catalogue& pictures);
