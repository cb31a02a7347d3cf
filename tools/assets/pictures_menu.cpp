// The title screen's logo, menu and markers, the options' value pictures and
// the loading banner.
#include <string>

#include "art.h"
#include "palette.h"
#include "pictures.h"

Image makeLogo(Typesetter& type)
{
    // Drawn at the title size; the game shrinks it for the play screen.
    Image img(600, 200);
    const std::vector<Rgb> colours = {palette::green(), palette::cyan(),   palette::pink(), palette::orange(),
                                      palette::red(),   palette::yellow(), palette::blue()};
    const int size = type.fit("Klotzar", true, 548, 150);
    drawBlockLettering(img, type, "Klotzar", size, 296, 22, colours);
    return img;
}

Image makeMenu(Typesetter& type)
{
    constexpr int kWidth = 170, kBand = 36;
    const char* entries[] = {"Spiel starten", "Highscores", "Optionen", "Beenden"};
    Image img(kWidth, 4 * kBand);
    TextLook look;
    look.top = rgb(255, 240, 170);
    look.bottom = rgb(255, 190, 60);
    look.outline = palette::ink();
    look.outlineWidth = 1;
    look.shadow = rgb(0, 0, 0);
    look.shadowOffset = 2;
    look.shadowOpacity = 0.8f;
    const int size = type.fit("Spiel starten", true, kWidth - 24, 22);
    for (int i = 0; i < 4; ++i) {
        const int y = i * kBand;
        drawPanel(img, 1, y + 2, kWidth - 2, kBand - 4, 9, rgb(44, 72, 170), rgb(14, 26, 92), rgb(120, 150, 236), 2);
        img.fillRect(8, y + 5, kWidth - 16, 1, rgb(255, 255, 255), 0.25f);
        // Centre on the cap height, so entries with and without descenders line up.
        const InkBox cap = inkBox(type.render("H", size, true));
        drawText(img, type, entries[i], size, true, kWidth / 2, y + (kBand - cap.height()) / 2, Anchor::Centre, look);
    }
    return img;
}

Image makeMarker(bool pointsRight)
{
    constexpr int kSize = 36;
    Image img(kSize, kSize);
    std::vector<float> tip = {9, 6, 31, 18, 9, 30};
    if (!pointsRight)
        for (size_t i = 0; i < tip.size(); i += 2) tip[i] = kSize - tip[i];
    const Mask arrow = polygonMask(kSize, kSize, tip);
    img.paint(dilate(arrow, 2, 0), 0, 0, palette::ink());
    const Mask soft = blur(arrow, 2);
    img.paint(arrow, 0, 0, [&](int x, int y) {
        Rgb c = mix(rgb(255, 232, 120), rgb(236, 128, 16), static_cast<float>(y - 6) / 24.f);
        const float light = (soft.at(x + 1, y + 1) - soft.at(x - 1, y - 1)) * 2.5f;
        return light > 0 ? lighten(c, std::min(0.8f, light)) : darken(c, std::min(0.6f, -light));
    });
    return img;
}

namespace {

constexpr int kButton = 60;

Image button(Rgb top, Rgb bottom)
{
    // Every value picture has the same outline, so drawing one over another
    // on the options screen replaces it completely.
    Image img(kButton, kButton);
    drawPanel(img, 0, 0, kButton, kButton, 10, top, bottom, palette::ink(), 2);
    const Mask rimTop = roundRectMask(kButton - 8, 3, 1.5f);
    img.paint(rimTop, 4, 4, rgb(255, 255, 255), 0.35f);
    return img;
}

void centreLabel(Image& img, Typesetter& type, const std::string& text, int maxHeight)
{
    TextLook look;
    look.top = rgb(255, 255, 255);
    look.bottom = rgb(222, 228, 240);
    look.shadow = rgb(0, 0, 0);
    look.shadowOffset = 2;
    look.shadowOpacity = 0.55f;
    look.shadowBlur = 1;
    const int size = type.fit(text, true, kButton - 14, maxHeight);
    const InkBox ink = inkBox(type.render(text, size, true));
    drawText(img, type, text, size, true, kButton / 2, (kButton - ink.height()) / 2, Anchor::Centre, look);
}

}  // namespace

Image makeSwitch(Typesetter& type, bool on)
{
    Image img = on ? button(rgb(92, 214, 96), rgb(22, 118, 40)) : button(rgb(206, 84, 84), rgb(112, 24, 30));
    centreLabel(img, type, on ? "An" : "Aus", 24);
    return img;
}

Image makeDigit(Typesetter& type, int digit)
{
    Image img = button(rgb(96, 136, 236), rgb(28, 50, 140));
    centreLabel(img, type, std::to_string(digit), 34);
    return img;
}

Image makeLoadingBanner(Typesetter& type)
{
    constexpr int kWidth = 304, kHeight = 43;
    Image img(kWidth, kHeight);
    drawPanel(img, 0, 0, kWidth, kHeight, 10, rgb(40, 66, 160), rgb(12, 22, 80), rgb(130, 160, 240), 2);
    TextLook look;
    look.top = rgb(255, 244, 190);
    look.bottom = rgb(255, 196, 70);
    look.shadow = rgb(0, 0, 0);
    look.shadowOffset = 2;
    look.shadowOpacity = 0.7f;
    const int size = type.fit("Lade ...", true, 140, 22);
    const InkBox cap = inkBox(type.render("L", size, true));
    drawText(img, type, "Lade ...", size, true, 18, (kHeight - cap.height()) / 2, Anchor::Left, look);
    // A row of blocks filling up, the game's own progress bar.
    const Rgb colours[] = {palette::green(),  palette::cyan(), palette::pink(),
                           palette::orange(), palette::red(),  palette::yellow()};
    for (int i = 0; i < 6; ++i) {
        const int x = 160 + i * 22;
        if (i < 4)
            drawBlock(img, x, 12, 19, colours[i]);
        else
            img.fillRect(x, 12, 19, 19, rgb(6, 12, 44));
    }
    return img;
}
