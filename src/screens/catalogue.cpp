#include "screens/catalogue.h"

#include <string>

#include "platform/display.h"

namespace {

constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;

// CHANGE: [missing-picture-black] a missing picture becomes a black one
// The play, high-score and options surfaces are drawn on. Without their file
// the game still needs something to draw on, so they start as plain black.
SurfacePtr drawingTarget(SurfacePtr loaded)
{
    return loaded ? std::move(loaded) : CreateSurface(kScreenWidth, kScreenHeight);
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
    p.backgroundSurface = d.LoadBitmapSurface("Data\\blauklein.bmp", 800, 600);
    p.aimFrame = d.LoadBitmapSurface("Data\\steinramen.bmp", 25, 25);
    p.menuImage = d.LoadBitmapSurface("Data\\op.bmp", 170, 144);
    p.offImage = d.LoadBitmapSurface("Data\\off.bmp", 60, 60);
    p.onImage = d.LoadBitmapSurface("Data\\on.bmp", 60, 60);
    p.lineClearStrip = d.LoadBitmapSurface("Data\\anim.bmp", 250, 375);
    p.highscoreBackground = d.LoadBitmapSurface("Data\\hiscore.bmp", 800, 600);
    p.highscoreSurface = drawingTarget(d.LoadBitmapSurface("Data\\hiscore.bmp", 800, 600));
    p.optionsSurface = drawingTarget(d.LoadBitmapSurface("Data\\optionen.bmp", 800, 600));
    p.noPreviewImage = d.LoadBitmapSurface("Data\\ausr.bmp", 100, 100);
    p.blocks[6] = d.LoadBitmapSurface("Data\\gelb.bmp", 25, 25);
    p.blocks[3] = d.LoadBitmapSurface("Data\\rosa.bmp", 25, 25);
    p.blocks[1] = d.LoadBitmapSurface("Data\\steinG.bmp", 25, 25);
    p.blocks[7] = d.LoadBitmapSurface("Data\\steinB.bmp", 25, 25);
    p.blocks[5] = d.LoadBitmapSurface("Data\\steinR.bmp", 25, 25);
    p.blocks[2] = d.LoadBitmapSurface("Data\\steinC.bmp", 25, 25);
    p.blocks[8] = d.LoadBitmapSurface("Data\\silber.bmp", 25, 25);
    p.blocks[4] = d.LoadBitmapSurface("Data\\steino.bmp", 25, 25);
    for (int digit = 1; digit <= 9; ++digit)
        p.digits[digit] = d.LoadBitmapSurface("Data\\" + std::to_string(digit) + ".bmp", 60, 60);
    p.digits[0] = d.LoadBitmapSurface("Data\\0.bmp", 60, 60);
}

void releasePictures(Catalogue& p)
{
    SurfacePtr* singles[] = {&p.leftMarker,       &p.rightMarker,       &p.titleLogo,      &p.smallLogo,
                             &p.playSurface,      &p.backgroundSurface, &p.aimFrame,       &p.menuImage,
                             &p.offImage,         &p.onImage,           &p.lineClearStrip, &p.highscoreBackground,
                             &p.highscoreSurface, &p.optionsSurface,    &p.noPreviewImage};
    for (SurfacePtr* slot : singles) slot->reset();
    for (SurfacePtr& block : p.blocks) block.reset();
    for (SurfacePtr& digit : p.digits) digit.reset();
    p.loadingImage.reset();
}
