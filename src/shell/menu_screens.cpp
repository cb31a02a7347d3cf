// The menu-screen painter: title, high scores or options, whichever is current.
#include <iterator>
#include <string>

#include "screens/highscore_screen.h"
#include "screens/screen_layout.h"
#include "shell/app.h"
#include "shell/version.h"

namespace {

const Surface* onOff(const Catalogue& pictures, int32_t value)
{
    return value == 0 ? pictures.offImage.get() : pictures.onImage.get();
}

const Surface* digit(const Catalogue& pictures, int32_t value, int32_t lowest, int32_t highest)
{
    return (value >= lowest && value <= highest) ? pictures.digits[value].get() : nullptr;
}

}  // namespace

void App::paintMenuScreen()
{
    // The screens' big pictures are held only while they show.
    closeGamePictures(pictures);
    if (!shell.highscoreScreen) closeHighscorePictures(pictures);
    if (shell.highscoreScreen || !shell.optionsScreen) closeOptionsPicture(pictures);
    if (shell.highscoreScreen) {
        shell.optionsScreen = false;
        shell.menuSelection = 1;
        openHighscorePictures(pictures);
        drawHighscoreScreen(highscores, pictures, display, font, smallFont, lastGame, replayMark_);
    } else if (shell.optionsScreen) {
        paintOptionsScreen();
    } else {
        paintTitleScreen();
    }
}

void App::paintTitleScreen()
{
    display.ClearBackBuffer(0);
    Surface* back = display.GetBackBuffer();
    BltFast(back, kTitleLogoX, kTitleLogoY, pictures.titleLogo.get());
    BltFast(back, kTitleMenu.left, kTitleMenu.top, pictures.menuImage.get());
    BltFast(back, kLeftMarkerX, titleMarkerY(shell.menuSelection), pictures.leftMarker.get());
    BltFast(back, kRightMarkerX, titleMarkerY(shell.menuSelection), pictures.rightMarker.get());
    smallFont.DrawString(back, 0, 0, std::string("Klotzar ") + kVersion, kVersionColour);
    font.DrawString(back, 0, kNameTextY, playerName.str(), kNameColour);
    display.Flip();
}

void App::paintOptionsScreen()
{
    shell.menuSelection = 2;
    shell.highscoreScreen = false;
    display.ClearBackBuffer(0);
    // QUIRK: [option-pictures-stay] a value without a picture leaves the last one (kept)
    // Labels and values are drawn into the options picture itself and stay
    // there; a value only changes where the next picture covers it. The labels
    // never change, and smooth text drawn over itself would thicken, so once.
    if (openOptionsPicture(pictures)) optionLabelsDrawn_ = false;
    Surface* sheet = pictures.optionsSurface.get();
    if (!optionLabelsDrawn_) {
        for (const OptionRow& row : kOptionRows)
            font.DrawString(sheet, kOptionLabelX, row.labelY, row.label, kListColour);
        optionLabelsDrawn_ = true;
        restoreOptionBoxes(pictures);  // the values drawn before it was last given up
    }
    const Surface* values[] = {
        digit(pictures, settings.Vorbelegung, 0, 9),
        onOff(pictures, settings.Zielhilfe),
        onOff(pictures, settings.Vorschauzwei),
        digit(pictures, settings.modus, 1, 4),
        onOff(pictures, settings.Musik),
    };
    static_assert(std::size(values) == std::size(kOptionRows));
    for (size_t i = 0; i < std::size(values); ++i) BltFast(sheet, kOptionValueX, kOptionRows[i].valueTop, values[i]);
    Surface* back = display.GetBackBuffer();
    BltFast(back, 0, 0, sheet);
    // The focus goes on the frame only: the picture keeps what it always kept.
    // Three pixels just outside the 60 x 60 value picture.
    const int32_t top = kOptionRows[shell.optionsFocus].valueTop;
    FrameRect(back, Rect{kOptionValueX - 5, top - 5, kOptionValueX + 65, top + 65}, 3, kFocusPixel);
    display.Flip();
}
