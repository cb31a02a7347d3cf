#include "highscore/highscore_screen.h"

#include <string>

#include "highscore/highscore_list.h"
#include "platform/display.h"
#include "platform/font.h"
#include "shell/catalogue.h"

namespace {
constexpr uint32_t kListColour = 0xF84850;   // GDI RGB(80, 72, 248)
constexpr uint32_t kNewRowColour = 0x1E1EC8; // GDI RGB(200, 30, 30)
constexpr int32_t kResultRight = 728;        // the line's right end, inside the list's panel
constexpr int32_t kResultY = 571;
constexpr uint32_t kMarkPixel = 0xFFC800;    // surface pixel: the frame round the chosen row
}  // namespace

std::string finishedGameLine(const FinishedGame& finished)
{
    switch (finished.kind) {
    case FinishedGame::Kind::Classic:
        return "Letztes Spiel: " + std::to_string(finished.total) + " Punkte" +
               (finished.rank >= 0 ? ", Platz " + std::to_string(finished.rank + 1)
                                   : " (nicht in der Liste)");
    case FinishedGame::Kind::Race:
        return std::string(finished.raceFinished ? "Rennen: Ziel erreicht" : "Rennen: ausgeschieden") + " nach " +
               std::to_string(finished.rowsDriven) + " Zeilen";
    case FinishedGame::Kind::None:
        break;
    }
    return std::string();
}

void drawHighscoreScreen(const HighscoreList& list, const Catalogue& pictures, Display& display, Font& font,
                         Font& resultFont, const FinishedGame& finished, int markedRow)
{
    Surface* sheet = pictures.highscoreSurface.get();
    if (pictures.highscoreBackground)
        BltFast(sheet, 0, 0, pictures.highscoreBackground.get());
    else
        FillRectBlack(sheet, Rect{0, 0, 800, 600});  // no picture: keep the rows from smearing
    for (int i = 0; i < 9; ++i) {
        const int32_t y = 214 + 40 * i;
        // CHANGE: [result-after-game] the row a game just entered stands out.
        const bool isNew = finished.kind == FinishedGame::Kind::Classic && finished.rank == i;
        const uint32_t colour = isNew ? kNewRowColour : kListColour;
        font.DrawString(sheet, 580, y, std::to_string(list.scoreAt(i)), colour);
        font.DrawString(sheet, 120, y, list.nameAt(i), colour);
    }
    display.ClearBackBuffer(0);
    Surface* back = display.GetBackBuffer();
    BltFast(back, 0, 0, sheet);
    // On the frame only, like the result: the picture keeps what it kept.
    if (markedRow >= 0 && markedRow < 9) {
        const int32_t top = 210 + 40 * markedRow;
        FrameRect(back, Rect{68, top, 732, top + 40}, 3, kMarkPixel);
    }
    // On the frame, at the right of the bottom line, whose left half holds
    // the picture's own hint.
    const std::string line = finishedGameLine(finished);
    resultFont.DrawString(back, kResultRight - resultFont.MeasureString(line), kResultY, line, kNewRowColour);
    display.Flip();
}
