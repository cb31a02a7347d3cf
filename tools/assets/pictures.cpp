#include "pictures.h"

#include "palette.h"

std::vector<Picture> makePictures(Typesetter& type)
{
    const Rgb black = rgb(0, 0, 0);
    const Rgb blue = palette::backdropBottom();
    std::vector<Picture> all;
    all.push_back({"lade.bmp", makeLoadingBanner(type), black});
    all.push_back({"mark1.bmp", makeMarker(true), black});
    all.push_back({"mark2.bmp", makeMarker(false), black});
    all.push_back({"klotzar.bmp", makeLogo(type), blue});
    all.push_back({"blauklein.bmp", makeGameScreen(type), black});
    all.push_back({"steinramen.bmp", makeAimFrame(), black});
    all.push_back({"op.bmp", makeMenu(type), black});
    all.push_back({"off.bmp", makeSwitch(type, false), palette::slot()});
    all.push_back({"on.bmp", makeSwitch(type, true), palette::slot()});
    all.push_back({"anim.bmp", makeLineClearStrip(), black});
    all.push_back({"hiscore.bmp", makeHighscoreScreen(type), black});
    all.push_back({"optionen.bmp", makeOptionsScreen(type), black});
    all.push_back({"ausr.bmp", makeNoPreview(), black});
    all.push_back({"gelb.bmp", makeBlock(palette::yellow()), black});
    all.push_back({"rosa.bmp", makeBlock(palette::pink()), black});
    all.push_back({"steinG.bmp", makeBlock(palette::green()), black});
    all.push_back({"steinB.bmp", makeBlock(palette::blue()), black});
    all.push_back({"steinR.bmp", makeBlock(palette::red()), black});
    all.push_back({"steinC.bmp", makeBlock(palette::cyan()), black});
    all.push_back({"silber.bmp", makeBlock(palette::silver()), black});
    all.push_back({"steino.bmp", makeBlock(palette::orange()), black});
    for (int d = 0; d <= 9; ++d) all.push_back({std::to_string(d) + ".bmp", makeDigit(type, d), palette::slot()});
    return all;
}
