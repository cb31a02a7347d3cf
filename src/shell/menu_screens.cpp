// The menu-screen painter: title, high scores or options, whichever is current.
#include <string>

#include "highscore/highscore_screen.h"
#include "shell/app.h"
#include "shell/version.h"

namespace {

constexpr uint32_t kNameColour = 0x0000FF;     // GDI RGB(255, 0, 0)
constexpr uint32_t kVersionColour = 0xC0C0C0;  // light grey
constexpr uint32_t kLabelColour = 0xF84850;    // GDI RGB(80, 72, 248)
constexpr uint32_t kFocusPixel = 0xFFC800;     // surface pixel: the frame round the focused value
constexpr int32_t kValueTops[] = {214, 285, 355, 426, 496};

struct OptionLabel {
    const char* text;
    int32_t y;
};
constexpr OptionLabel kOptionLabels[] = {
    {"Vorbelegung: Zeilen", 230}, {"Zielhilfe", 300},         {"Zweites Vorschaufenster", 370},
    {"Spielmodus", 440},          {"Hintergrundmusik", 510},
};

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
    if (shell.highscoreScreen == 1) {
        shell.optionsScreen = 0;
        shell.menuSelection = 1;
        drawHighscoreScreen(highscores, pictures, display, font, smallFont, lastGame, replayMark_);
    } else if (shell.optionsScreen == 1) {
        paintOptionsScreen();
    } else {
        paintTitleScreen();
    }
}

void App::paintTitleScreen()
{
    display.ClearBackBuffer(0);
    Surface* back = display.GetBackBuffer();
    BltFast(back, 100, 100, pictures.titleLogo.get());
    BltFast(back, 315, 350, pictures.menuImage.get());
    BltFast(back, 277, 352 + 36 * shell.menuSelection, pictures.leftMarker.get());
    BltFast(back, 487, 352 + 36 * shell.menuSelection, pictures.rightMarker.get());
    smallFont.DrawString(back, 0, 0, std::string("Klotzar ") + kVersion, kVersionColour);
    font.DrawString(back, 0, 50, playerName.str(), kNameColour);
    display.Flip();
}

void App::paintOptionsScreen()
{
    shell.menuSelection = 2;
    shell.highscoreScreen = 0;
    display.ClearBackBuffer(0);
    // QUIRK: [option-pictures-stay] a value without a picture leaves the last one (kept)
    // Labels and values are drawn into the options picture itself and stay
    // there; a value only changes where the next picture covers it. The labels
    // never change, and smooth text drawn over itself would thicken, so once.
    Surface* sheet = pictures.optionsSurface.get();
    if (!optionLabelsDrawn_) {
        for (const OptionLabel& label : kOptionLabels) font.DrawString(sheet, 150, label.y, label.text, kLabelColour);
        optionLabelsDrawn_ = true;
    }
    BltFast(sheet, 500, 214, digit(pictures, settings.Vorbelegung, 0, 9));
    BltFast(sheet, 500, 285, onOff(pictures, settings.Zielhilfe));
    BltFast(sheet, 500, 355, onOff(pictures, settings.Vorschauzwei));
    BltFast(sheet, 500, 426, digit(pictures, settings.modus, 1, 4));
    BltFast(sheet, 500, 496, onOff(pictures, settings.Musik));
    Surface* back = display.GetBackBuffer();
    BltFast(back, 0, 0, sheet);
    // The focus goes on the frame only: the picture keeps what it always kept.
    // Three pixels just outside the 60 x 60 value picture.
    const int32_t top = kValueTops[shell.optionsFocus];
    FrameRect(back, Rect{495, top - 5, 565, top + 65}, 3, kFocusPixel);
    display.Flip();
}
