#include "highscore/highscore_screen.h"

#include <string>

#include "highscore/highscore_list.h"
#include "platform/display.h"
#include "platform/font.h"
#include "shell/catalogue.h"

namespace {
constexpr uint32_t kListColour = 0xF84850;  // GDI RGB(80, 72, 248)
constexpr uint32_t kHintColour = 0xC0C0C0;  // light grey
constexpr const char* kHint = "Auf/Ab: Spiel w\xE4hlen   Eingabe oder Klick: ansehen   Esc: zur\xFC" "ck";
}

void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font,
                         int markedRow, Font* hintFont)
{
    Surface* sheet = pictures.highscoreSurface.get();
    if (pictures.highscoreBackground)
        BltFast(sheet, 0, 0, pictures.highscoreBackground.get());
    else
        FillRectBlack(sheet, Rect{0, 0, 800, 600});  // no picture: keep the rows from smearing
    for (int i = 0; i < 9; ++i) {
        const int32_t y = 214 + 40 * i;
        font.DrawString(sheet, 580, y, std::to_string(list.scoreAt(i)), kListColour);
        font.DrawString(sheet, 120, y, list.nameAt(i), kListColour);
        if (i == markedRow) font.DrawString(sheet, 90, y, "\xBB", kListColour);
    }
    if (hintFont) hintFont->DrawString(sheet, 120, 580, kHint, kHintColour);
    display.ClearBackBuffer(0);
    BltFast(display.GetBackBuffer(), 0, 0, sheet);
    display.Flip();
}
