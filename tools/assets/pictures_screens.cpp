// The three full screens: the play screen with its frames and score panel,
// the high-score list and the options page.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "palette.h"
#include "pictures.h"

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

Image backdrop()
{
    Image img(kScreenW, kScreenH);
    img.verticalGradient(0, 0, kScreenW, kScreenH, palette::backdropTop(), palette::backdropBottom());
    drawTileTexture(img, 50, 0.035f);
    // Darker towards the corners, so the eye rests on the middle.
    for (int y = 0; y < kScreenH; ++y)
        for (int x = 0; x < kScreenW; ++x) {
            const float dx = (static_cast<float>(x) - 400.f) / 520.f, dy = (static_cast<float>(y) - 300.f) / 420.f;
            img.blend(x, y, rgb(0, 0, 0), std::min(0.45f, 0.5f * (dx * dx + dy * dy)));
        }
    return img;
}

// A steel frame around the rectangle (x, y, w, h), whose inside is filled.
void framedBox(Image& img, int x, int y, int w, int h, int thickness, Rgb inside)
{
    drawFrame(img, x - thickness, y - thickness, w + 2 * thickness, h + 2 * thickness, thickness, palette::steel());
    img.fillRect(x, y, w, h, inside);
}

TextLook smallPrint()
{
    TextLook look;
    look.top = palette::slate();
    look.bottom = palette::slate();
    look.alignInk = false;
    return look;
}

void titleWord(Image& img, Typesetter& type, const std::string& word, Rgb colour)
{
    const int size = type.fit(word, true, 520, 96);
    drawBlockLettering(img, type, word, size, kScreenW / 2, 36, {colour});
}

}  // namespace

Image makeGameScreen(Typesetter& type)
{
    Image img = backdrop();
    // Playfield: 10 x 20 cells from (50, 50) to (300, 550).
    framedBox(img, 50, 50, 250, 500, 12, rgb(0, 0, 0));
    // The two preview boxes.
    for (int i = 0; i < 2; ++i) framedBox(img, 440 + 200 * i, 200, 100, 100, 10, rgb(0, 0, 0));

    // Score panel: the game writes four green lines at x 460, y 330 to 544.
    drawPanel(img, 346, 322, 448, 272, 14, rgb(8, 14, 46), rgb(2, 5, 24), rgb(96, 128, 214), 2);
    const Rgb bullets[] = {palette::green(), palette::cyan(), palette::pink(), palette::orange()};
    for (int i = 0; i < 4; ++i) {
        const int y = 330 + 60 * i;
        drawPanel(img, 360, y - 6, 420, 46, 8, rgb(16, 30, 84), rgb(8, 16, 56), rgb(30, 50, 120), 1);
        drawBlock(img, 414, y + 7, 22, bullets[i]);
    }

    TextLook caption;
    caption.top = rgb(170, 192, 240);
    caption.bottom = rgb(130, 152, 214);
    caption.shadow = rgb(0, 0, 0);
    caption.shadowOffset = 1;
    caption.shadowOpacity = 0.7f;
    caption.alignInk = false;  // one baseline for both, umlaut or not
    drawText(img, type,
             "N\xC3\xA4"
             "chster",
             13, true, 490, 169, Anchor::Centre, caption);
    drawText(img, type,
             "\xC3\x9C"
             "bern\xC3\xA4"
             "chster",
             13, true, 690, 169, Anchor::Centre, caption);
    return img;
}

Image makeHighscoreScreen(Typesetter& type)
{
    Image img = backdrop();
    titleWord(img, type, "Highscores", palette::gold());

    // The list: names at x 120, scores at x 580, rows at y 214 + 40 i.
    drawPanel(img, 56, 166, 688, 426, 16, palette::paper(), palette::paperShade(), palette::ink(), 3);
    TextLook header = smallPrint();
    header.top = header.bottom = rgb(52, 62, 112);
    drawText(img, type, "Nr.", 16, true, 90, 180, Anchor::Centre, header);
    drawText(img, type, "Name", 16, true, 120, 180, Anchor::Left, header);
    drawText(img, type, "Punkte", 16, true, 580, 180, Anchor::Left, header);
    img.fillRect(68, 203, 664, 2, rgb(150, 162, 210));

    const Rgb medals[] = {rgb(236, 186, 40), rgb(178, 186, 200), rgb(204, 124, 58)};
    TextLook number;
    number.top = number.bottom = rgb(255, 255, 255);
    number.shadow = rgb(0, 0, 0);
    number.shadowOffset = 1;
    number.shadowOpacity = 0.45f;
    for (int i = 0; i < 9; ++i) {
        const int y = 214 + 40 * i;
        const Rgb band = i % 2 == 0 ? rgb(250, 251, 255) : rgb(228, 234, 250);
        drawPanel(img, 68, y - 4, 664, 40, 7, band, band, i % 2 == 0 ? rgb(214, 222, 244) : rgb(210, 218, 242), 1);
        const Rgb badge = i < 3 ? medals[i] : rgb(112, 124, 184);
        drawPanel(img, 76, y + 2, 28, 28, 14, lighten(badge, 0.25f), darken(badge, 0.15f), darken(badge, 0.45f), 1);
        drawText(img, type, std::to_string(i + 1), 15, true, 90, y + 9, Anchor::Centre, number);
    }
    // The right half of this line is left free: the game writes the result
    // of the game just finished there.
    drawText(img, type,
             "Auf/Ab, Return oder A: Spiel ansehen  \xC2\xB7  Esc, Back: zur\xC3\xBC"
             "ck",
             13, false, 80, 574, Anchor::Left, smallPrint());
    return img;
}

Image makeOptionsScreen(Typesetter& type)
{
    Image img = backdrop();
    titleWord(img, type, "Optionen", palette::cyan());

    // Labels at x 150 (y 230 + 70 i or so), value pictures 60 x 60 at x 500.
    drawPanel(img, 112, 186, 660, 404, 16, palette::paper(), palette::paperShade(), palette::ink(), 3);
    const int pictureY[] = {214, 285, 355, 426, 496};
    const char* hints[][2] = {
        {"Zeilen mit Steinen", "zu Spielbeginn"},
        {"zeigt, wo der Stein", "landen wird"},
        {"zeigt auch den", "\xC3\xBC"
                           "bern\xC3\xA4"
                           "chsten Stein"},
        {"1: klassisch", "2: Feld r\xC3\xBC"
                         "ckt nach links"},
        {"Musik w\xC3\xA4"
         "hrend",
         "des Spiels"},
    };
    for (int i = 0; i < 5; ++i) {
        const int y = pictureY[i];
        const Rgb band = i % 2 == 0 ? rgb(250, 251, 255) : rgb(228, 234, 250);
        drawPanel(img, 124, y - 4, 636, 68, 9, band, band, rgb(206, 214, 240), 1);
        // A sunken slot under the value picture.
        drawFrame(img, 494, y - 6, 72, 72, 6, rgb(150, 164, 210));
        img.fillRect(500, y, 60, 60, palette::slot());
        drawText(img, type, hints[i][0], 14, false, 580, y + 12, Anchor::Left, smallPrint());
        drawText(img, type, hints[i][1], 14, false, 580, y + 31, Anchor::Left, smallPrint());
    }
    drawText(img, type,
             "Auf/Ab oder Steuerkreuz: Wert w\xC3\xA4hlen  \xC2\xB7  Return, Leertaste, A oder Klick: \xC3\xA4ndern  "
             "\xC2\xB7  "
             "Esc, Back: zur\xC3\xBC"
             "ck",
             13, false, 442, 572, Anchor::Centre, smallPrint());
    return img;
}
