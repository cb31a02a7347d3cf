#pragma once
#include <cstdint>
#include <vector>

#include "platform/surface.h"

class Display;

// Every picture the game draws, loaded once at start-up into a fixed slot and
// kept until shutdown. An empty slot (file missing) draws nothing. The
// high-score and options pictures, 1.9 MB each, are the exception: they are
// held only while their screen shows (see openHighscorePictures), and so is
// the game's pristine background.
struct Catalogue {
    SurfacePtr loadingImage;
    SurfacePtr leftMarker;
    SurfacePtr rightMarker;
    SurfacePtr titleLogo;
    SurfacePtr smallLogo;
    SurfacePtr playSurface;        // the game screen is composed on it
    SurfacePtr backgroundSurface;  // never drawn on; restores the play surface; only during games
    SurfacePtr aimFrame;
    SurfacePtr menuImage;
    SurfacePtr offImage;
    SurfacePtr onImage;
    SurfacePtr highscoreBackground;  // only while the high-score screen shows
    SurfacePtr highscoreSurface;     // likewise, the list's copy; only when needed (see openHighscorePictures)
    SurfacePtr optionsSurface;       // only while the options screen shows
    // Whether start-up read blauklein.bmp, hiscore.bmp and optionen.bmp: only then are they
    // read again when their screen opens.
    bool gameBackgroundRead = false;
    bool highscorePictureRead = false;
    bool optionsPictureRead = false;
    // The options picture's value boxes as it was given up, one after the
    // other (empty before the first time): the values drawn there stay.
    std::vector<uint32_t> optionBoxes;
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

// The game's background, read from its file again without a log line;
// missing when the file cannot be read now, as when it was missing at
// start-up. The play surface itself keeps what games drew on it.
void openGamePictures(Catalogue& pictures);
void closeGamePictures(Catalogue& pictures);

// The high-score screen's pictures, read from their file again without a log
// line (start-up wrote it); black when the file cannot be read now, as when
// it was missing at start-up. Nothing happens while they are held. The copy
// the list is written on is made only for a missing picture or one with key
// pixels; otherwise the list goes straight onto the frame.
void openHighscorePictures(Catalogue& pictures);
void closeHighscorePictures(Catalogue& pictures);
// The options picture likewise; true when it was made anew, when its labels
// must be drawn and then restoreOptionBoxes called.
bool openOptionsPicture(Catalogue& pictures);
void restoreOptionBoxes(Catalogue& pictures);
// Keeps the value boxes, then gives the picture up.
void closeOptionsPicture(Catalogue& pictures);
