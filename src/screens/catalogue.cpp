#include "screens/catalogue.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "platform/bitmap.h"
#include "platform/display.h"
#include "screens/screen_layout.h"

namespace {

constexpr int32_t kOptionBoxSide = 60;  // the value pictures' size

const char kGameBackground[] = "Data\\blauklein.bmp";
const char kHighscorePicture[] = "Data\\hiscore.bmp";
const char kOptionsPicture[] = "Data\\optionen.bmp";

// CHANGE: [missing-picture-black] a missing picture becomes a black one
// The play, high-score and options surfaces are drawn on. Without their file
// the game still needs something to draw on, so they start as plain black.
SurfacePtr drawingTarget(SurfacePtr loaded)
{
    return loaded ? std::move(loaded) : CreateSurface(kScreenWidth, kScreenHeight);
}

// A screen picture read again for its screen, silently: start-up logged it.
SurfacePtr readAgain(const char* path, bool readAtStart)
{
    if (!readAtStart) return nullptr;
    BitmapError error = BitmapError::None;
    return ReadBitmapFile(path, kScreenWidth, kScreenHeight, error);
}

// Copies every value box between the options picture and boxes (toBoxes:
// picture to boxes, else back).
void copyOptionBoxes(Surface& sheet, std::vector<uint32_t>& boxes, bool toBoxes)
{
    const size_t side = kOptionBoxSide;
    boxes.resize(std::size(kOptionRows) * side * side);
    uint32_t* box = boxes.data();
    for (const OptionRow& row : kOptionRows) {
        for (int32_t y = row.valueTop; y < row.valueTop + kOptionBoxSide; ++y, box += side) {
            uint32_t* onSheet = sheet.row(y) + kOptionValueX;
            if (toBoxes)
                std::memcpy(box, onSheet, side * sizeof(uint32_t));
            else
                std::memcpy(onSheet, box, side * sizeof(uint32_t));
        }
    }
}

bool hasKeyPixels(const Surface& picture)
{
    return picture.hasColorKey &&
           std::find(picture.pixels.begin(), picture.pixels.end(), picture.colorKey) != picture.pixels.end();
}

bool holdsOptionBoxes(const Surface& sheet)
{
    return sheet.width >= kOptionValueX + kOptionBoxSide &&
           std::all_of(std::begin(kOptionRows), std::end(kOptionRows),
                       [&](const OptionRow& row) { return row.valueTop + kOptionBoxSide <= sheet.height; });
}

}  // namespace

const Surface* Catalogue::blockImage(int32_t value) const
{
    return (value >= 1 && value <= 7) ? blocks[value].get() : blocks[8].get();
}

void loadLoadingImage(Catalogue& pictures, Display& display)
{
    pictures.loadingImage = display.LoadBitmapSurface("Data\\lade.bmp", 304, 43);
}

void loadPictures(Catalogue& p, Display& d)
{
    p.leftMarker = d.LoadBitmapSurface("Data\\mark1.bmp", 36, 36);
    p.rightMarker = d.LoadBitmapSurface("Data\\mark2.bmp", 36, 36);
    p.titleLogo = d.LoadBitmapSurface("Data\\klotzar.bmp", 600, 200);
    p.smallLogo = d.LoadBitmapSurface("Data\\klotzar.bmp", 400, 150);
    p.playSurface = drawingTarget(d.LoadBitmapSurface("Data\\blauklein.bmp", 800, 600));
    // Read for the log; held only during games (openGamePictures), so not
    // beside the pictures read after it.
    p.gameBackgroundRead = d.LoadBitmapSurface(kGameBackground, 800, 600) != nullptr;
    p.aimFrame = d.LoadBitmapSurface("Data\\steinramen.bmp", 25, 25);
    p.menuImage = d.LoadBitmapSurface("Data\\op.bmp", 170, 144);
    p.offImage = d.LoadBitmapSurface("Data\\off.bmp", 60, 60);
    p.onImage = d.LoadBitmapSurface("Data\\on.bmp", 60, 60);
    // Nothing draws the line-clear strip; it is read for the log alone. The
    // menu screens' pictures are read here for the log too, and kept only
    // while their screen shows.
    (void)d.LoadBitmapSurface("Data\\anim.bmp", 250, 375);
    p.highscorePictureRead = d.LoadBitmapSurface(kHighscorePicture, 800, 600) != nullptr;
    (void)d.LoadBitmapSurface(kHighscorePicture, 800, 600);  // the list's copy: made from the first
    p.optionsPictureRead = d.LoadBitmapSurface(kOptionsPicture, 800, 600) != nullptr;
    p.noPreviewImage = d.LoadBitmapSurface("Data\\ausr.bmp", 100, 100);
    // Blocks are drawn many times a frame and never drawn on.
    const auto block = [&d](const char* path) { return WithoutUnusedColorKey(d.LoadBitmapSurface(path, 25, 25)); };
    p.blocks[6] = block("Data\\gelb.bmp");
    p.blocks[3] = block("Data\\rosa.bmp");
    p.blocks[1] = block("Data\\steinG.bmp");
    p.blocks[7] = block("Data\\steinB.bmp");
    p.blocks[5] = block("Data\\steinR.bmp");
    p.blocks[2] = block("Data\\steinC.bmp");
    p.blocks[8] = block("Data\\silber.bmp");
    p.blocks[4] = block("Data\\steino.bmp");
    for (int digit = 1; digit <= 9; ++digit)
        p.digits[digit] = d.LoadBitmapSurface("Data\\" + std::to_string(digit) + ".bmp", 60, 60);
    p.digits[0] = d.LoadBitmapSurface("Data\\0.bmp", 60, 60);
}

void releasePictures(Catalogue& p)
{
    SurfacePtr* singles[] = {
        &p.leftMarker,          &p.rightMarker,      &p.titleLogo,      &p.smallLogo,     &p.playSurface,
        &p.backgroundSurface,   &p.aimFrame,         &p.menuImage,      &p.offImage,      &p.onImage,
        &p.highscoreBackground, &p.highscoreSurface, &p.optionsSurface, &p.noPreviewImage};
    for (SurfacePtr* slot : singles) slot->reset();
    for (SurfacePtr& block : p.blocks) block.reset();
    for (SurfacePtr& digit : p.digits) digit.reset();
    p.loadingImage.reset();
    p.optionBoxes.clear();
}

void openGamePictures(Catalogue& p)
{
    if (!p.backgroundSurface) p.backgroundSurface = readAgain(kGameBackground, p.gameBackgroundRead);
}

void closeGamePictures(Catalogue& p)
{
    p.backgroundSurface.reset();
}

void openHighscorePictures(Catalogue& p)
{
    if (p.highscoreSurface || p.highscoreBackground) return;
    p.highscoreBackground = readAgain(kHighscorePicture, p.highscorePictureRead);
    // The list is drawn on a second copy of the same picture, as loaded. A
    // picture without key pixels needs none: every drawing covers it wholly.
    if (!p.highscoreBackground)
        p.highscoreSurface = CreateSurface(kScreenWidth, kScreenHeight);
    else if (hasKeyPixels(*p.highscoreBackground))
        p.highscoreSurface = std::make_unique<Surface>(*p.highscoreBackground);
}

void closeHighscorePictures(Catalogue& p)
{
    p.highscoreSurface.reset();
    p.highscoreBackground.reset();
}

bool openOptionsPicture(Catalogue& p)
{
    if (p.optionsSurface) return false;
    p.optionsSurface = drawingTarget(readAgain(kOptionsPicture, p.optionsPictureRead));
    return true;
}

void restoreOptionBoxes(Catalogue& p)
{
    if (p.optionsSurface && !p.optionBoxes.empty() && holdsOptionBoxes(*p.optionsSurface))
        copyOptionBoxes(*p.optionsSurface, p.optionBoxes, false);
}

void closeOptionsPicture(Catalogue& p)
{
    if (!p.optionsSurface) return;
    if (holdsOptionBoxes(*p.optionsSurface)) copyOptionBoxes(*p.optionsSurface, p.optionBoxes, true);
    p.optionsSurface.reset();
}
