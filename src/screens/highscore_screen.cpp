#include "screens/highscore_screen.h"

#include <string>

#include "highscore/highscore_list.h"
#include "platform/display.h"
#include "platform/font.h"
#include "screens/catalogue.h"
#include "screens/screen_layout.h"

namespace {
constexpr int32_t kResultRight = 728;  // the line's right end, inside the list's panel
constexpr int32_t kResultY = 571;
constexpr int32_t kNameX = 120;
constexpr int32_t kScoreX = 580;
}  // namespace

std::string finishedGameLine(const FinishedGame& finished)
{
    switch (finished.kind) {
    case FinishedGame::Kind::Classic:
        return "Letztes Spiel: " + std::to_string(finished.total) + " Punkte" +
               (finished.rank >= 0 ? ", Platz " + std::to_string(finished.rank + 1) : " (nicht in der Liste)");
    case FinishedGame::Kind::Race:
        return std::string(finished.raceFinished ? "Rennen: Ziel erreicht" : "Rennen: ausgeschieden") + " nach " +
               std::to_string(finished.rowsDriven) + " Zeilen";
    case FinishedGame::Kind::None: break;
    }
    return std::string();
}

namespace {

void drawRows(Surface* target, const HighscoreList& list, Font& font, const FinishedGame& finished)
{
    for (int i = 0; i < 9; ++i) {
        const int32_t y = kHighscoreRowTop + kHighscoreRowStep * i;
        // CHANGE: [result-after-game] the row a game just entered stands out.
        const bool isNew = finished.kind == FinishedGame::Kind::Classic && finished.rank == i;
        const uint32_t colour = isNew ? kNewRowColour : kListColour;
        font.DrawString(target, kScoreX, y, std::to_string(list.scoreAt(i)), colour);
        font.DrawString(target, kNameX, y, list.nameAt(i), colour);
    }
}

}  // namespace

void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font,
                         Font& resultFont, const FinishedGame& finished, int markedRow)
{
    display.ClearBackBuffer(0);
    Surface* back = display.GetBackBuffer();
    if (Surface* sheet = pictures.highscoreSurface.get()) {
        // The list is written on its own copy of the picture, which goes onto
        // the black frame with the picture's colour key.
        if (pictures.highscoreBackground)
            BltFast(sheet, 0, 0, pictures.highscoreBackground.get());
        else
            FillRectBlack(sheet, Rect{0, 0, 800, 600});  // no picture: keep the rows from smearing
        drawRows(sheet, list, font, finished);
        BltFast(back, 0, 0, sheet);
    } else if (const Surface* picture = pictures.highscoreBackground.get()) {
        // A picture without key pixels covers its copy wholly at every
        // drawing, so the list can be written on the frame itself: the same
        // pixels, once those the keyed copy would have left black are black.
        BltFast(back, 0, 0, picture);
        drawRows(back, list, font, finished);
        if (back && picture->hasColorKey) {
            for (uint32_t& pixel : back->pixels) pixel = pixel == picture->colorKey ? 0u : pixel;
        }
    }
    // On the frame only, like the result: the picture keeps what it kept.
    if (markedRow >= 0 && markedRow < 9) {
        const int32_t top = kHighscoreRowTop - 4 + kHighscoreRowStep * markedRow;
        FrameRect(back, Rect{68, top, 732, top + kHighscoreRowStep}, 3, kFocusPixel);
    }
    // On the frame, at the right of the bottom line, whose left half holds
    // the picture's own hint.
    const std::string line = finishedGameLine(finished);
    resultFont.DrawString(back, kResultRight - resultFont.MeasureString(line), kResultY, line, kNewRowColour);
    display.Flip();
}
