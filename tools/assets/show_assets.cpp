// Draws one contact sheet of the game's pictures as the game would load them:
// each file scaled to its slot size, and the screens put together the way the
// game composes them, with sample texts in the game's font.
//
//   klotzar-contact-sheet ASSET_DIR FONT_DIR OUTPUT.bmp
//
// Transparent (key-coloured) pixels are shown as a grey checkerboard.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sdl_handles.h"

namespace {

using SurfacePtr = SdlSurfacePtr;
using FontPtr = TtfFontPtr;

constexpr Uint32 kKey = 0x000014;

std::string gDir;

SurfacePtr blank(int w, int h, Uint32 fill)
{
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
    SDL_FillRect(s.get(), nullptr, fill);
    return s;
}

// A picture as the game loads it: its file scaled (nearest) to the slot size,
// key colour transparent.
SurfacePtr load(const std::string& file, int w, int h)
{
    SurfacePtr raw(SDL_LoadBMP((gDir + "/" + file).c_str()));
    if (!raw) {
        std::fprintf(stderr, "missing %s\n", file.c_str());
        return blank(w, h, 0xFF00FF);
    }
    SurfacePtr conv(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB888, 0));
    SurfacePtr out = blank(w, h, kKey);
    SDL_Rect all{0, 0, w, h};
    SDL_BlitScaled(conv.get(), nullptr, out.get(), &all);
    SDL_SetColorKey(out.get(), SDL_TRUE, kKey);
    return out;
}

void put(SDL_Surface* dst, SDL_Surface* src, int x, int y)
{
    SDL_Rect at{x, y, src->w, src->h};
    SDL_BlitSurface(src, nullptr, dst, &at);
}

void checker(SDL_Surface* dst, int x, int y, int w, int h)
{
    for (int j = 0; j < h; j += 8)
        for (int i = 0; i < w; i += 8) {
            SDL_Rect r{x + i, y + j, std::min(8, w - i), std::min(8, h - j)};
            SDL_FillRect(dst, &r, ((i + j) / 8) % 2 ? 0x9A9A9A : 0x6E6E6E);
        }
}

// Shows a picture with its transparent parts as a checkerboard.
void showPicture(SDL_Surface* dst, SDL_Surface* pic, int x, int y)
{
    checker(dst, x, y, pic->w, pic->h);
    put(dst, pic, x, y);
}

void text(SDL_Surface* dst, TTF_Font* f, const std::string& s, int x, int y, SDL_Color c)
{
    if (s.empty()) return;
    SurfacePtr t(TTF_RenderUTF8_Blended(f, s.c_str(), c));
    if (t) put(dst, t.get(), x, y);
}

struct Fonts {
    FontPtr game;    // the game's text: Liberation Sans at a 34-pixel cell
    FontPtr label;   // the sheet's captions
    FontPtr status;  // the small status line
};

const SDL_Color kGreen{0, 255, 0, 255}, kListBlue{80, 72, 248, 255};

const char* blockFile(int v)
{
    static const char* files[] = {"silber", "steinG", "steinC", "rosa", "steino", "steinR", "gelb", "steinB", "silber"};
    return files[(v >= 1 && v <= 8) ? v : 0];
}

SurfacePtr titleScreen(Fonts& f)
{
    SurfacePtr s = blank(800, 600, 0);
    put(s.get(), load("Data/klotzar.bmp", 600, 200).get(), 100, 100);
    put(s.get(), load("Data/op.bmp", 170, 144).get(), 315, 350);
    put(s.get(), load("Data/mark1.bmp", 36, 36).get(), 277, 352 + 36);
    put(s.get(), load("Data/mark2.bmp", 36, 36).get(), 487, 352 + 36);
    text(s.get(), f.status.get(), "Klotzar 1.0", 0, 0, {200, 200, 200, 255});
    text(s.get(), f.game.get(), "Spieler", 0, 50, {255, 0, 0, 255});
    return s;
}

SurfacePtr gameScreen(Fonts& f)
{
    SurfacePtr s = load("Data/blauklein.bmp", 800, 600);
    SDL_Rect field{50, 50, 250, 500};
    SDL_FillRect(s.get(), &field, 0);
    // A game in progress: a ragged stack, a falling T piece and its landing guide.
    const char* rows[] = {"0000000000", "0000000000", "0000000000", "0000000000", "0000000000",
                          "0000000000", "0000000000", "0000000000", "0000000000", "0000000000",
                          "0000000000", "0000000000", "0000000000", "0000000000", "0000300000",
                          "0000330060", "1100230066", "1170222466", "5577214448", "5517711044"};
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 10; ++c)
            if (rows[r][c] != '0')
                put(s.get(), load(std::string("Data/") + blockFile(rows[r][c] - '0') + ".bmp", 25, 25).get(),
                    50 + 25 * c, 50 + 25 * r);
    const int piece[4][2] = {{0, 1}, {1, 0}, {1, 1}, {1, 2}};
    SurfacePtr frame = load("Data/steinramen.bmp", 25, 25);
    SurfacePtr block = load("Data/steinR.bmp", 25, 25);
    for (const auto& p : piece) put(s.get(), frame.get(), 50 + 25 * (6 + p[1]), 50 + 25 * (13 + p[0]));
    for (const auto& p : piece) put(s.get(), block.get(), 50 + 25 * (6 + p[1]), 50 + 25 * (4 + p[0]) + 10);
    SurfacePtr blue = load("Data/steinB.bmp", 25, 25);
    SDL_Rect box{440, 200, 100, 100};
    SDL_FillRect(s.get(), &box, 0);
    for (const auto& p : {std::pair{0, 0}, std::pair{1, 0}, std::pair{2, 0}, std::pair{3, 0}})
        put(s.get(), blue.get(), 440 + 37, 200 + 25 * p.first);
    put(s.get(), load("Data/ausr.bmp", 100, 100).get(), 640, 200);
    put(s.get(), load("Data/klotzar.bmp", 400, 150).get(), 350, 30);
    text(s.get(), f.game.get(), "Punkte :            1840", 460, 330, kGreen);
    text(s.get(), f.game.get(), "Zeilen  :            23", 460, 390, kGreen);
    text(s.get(), f.game.get(), "Bonus  :            120", 460, 450, kGreen);
    text(s.get(), f.game.get(), "Gesamt:            1983", 460, 510, kGreen);
    text(s.get(), f.status.get(), " << Spieler >>", 0, 0, {160, 200, 200, 255});
    return s;
}

std::vector<std::vector<int>> readLevel(const std::string& file)
{
    std::ifstream in(gDir + "/" + file);
    std::vector<std::vector<int>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<int> row;
        for (char ch : line)
            if (ch >= '0' && ch <= '9') row.push_back(ch - '0');
        rows.push_back(row);
    }
    return rows;
}

SurfacePtr raceScreen(Fonts& f)
{
    SurfacePtr s = load("Data/blauklein.bmp", 800, 600);
    SDL_Rect field{50, 50, 250, 500};
    SDL_FillRect(s.get(), &field, 0);
    const auto track = readLevel("2.dat");
    const int scroll = 120;  // board row i shows track row 280 + i - scroll
    for (int i = 0; i < 20; ++i) {
        const int r = 280 + i - scroll;
        if (r < 0 || r >= static_cast<int>(track.size())) continue;
        for (int c = 0; c < static_cast<int>(track[static_cast<size_t>(r)].size()) && c < 10; ++c) {
            const int v = track[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (v != 0)
                put(s.get(), load(std::string("Data/") + blockFile(v) + ".bmp", 25, 25).get(), 50 + 25 * c,
                    50 + 25 * i);
        }
    }
    // The car where the lane is free, if it can be found in the bottom rows.
    const int carCells[6][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {3, 0}, {3, 2}};
    SurfacePtr blue = load("Data/steinB.bmp", 25, 25);
    for (int col = 0; col <= 7; ++col) {
        bool free = true;
        for (const auto& cell : carCells) {
            const int r = 280 + 16 + cell[0] - scroll;
            free = free && track[static_cast<size_t>(r)][static_cast<size_t>(col + cell[1])] == 0;
        }
        if (!free) continue;
        for (const auto& cell : carCells) put(s.get(), blue.get(), 50 + 25 * (col + cell[1]), 50 + 25 * (16 + cell[0]));
        break;
    }
    put(s.get(), load("Data/klotzar.bmp", 400, 150).get(), 350, 30);
    text(s.get(), f.game.get(), "Level :             2", 460, 330, kGreen);
    text(s.get(), f.game.get(), "Leben  :           3", 460, 390, kGreen);
    text(s.get(), f.game.get(), "Speed  :          62 km/h", 460, 450, kGreen);
    text(s.get(), f.game.get(), "Punkte:            0", 460, 510, kGreen);
    return s;
}

SurfacePtr highscoreScreen(Fonts& f)
{
    SurfacePtr s = load("Data/hiscore.bmp", 800, 600);
    const char* names[] = {"Annika", "Bernd", "Chiara", "Dominik", "Elif", "Florian", "---", "---", "---"};
    const int scores[] = {48210, 31377, 22004, 15460, 9981, 4120, 0, 0, 0};
    for (int i = 0; i < 9; ++i) {
        text(s.get(), f.game.get(), std::to_string(scores[i]), 580, 214 + 40 * i, kListBlue);
        text(s.get(), f.game.get(), names[i], 120, 214 + 40 * i, kListBlue);
    }
    return s;
}

SurfacePtr optionsScreen(Fonts& f)
{
    SurfacePtr s = load("Data/optionen.bmp", 800, 600);
    const char* labels[] = {"Vorbelegung: Zeilen", "Zielhilfe", "Zweites Vorschaufenster", "Spielmodus",
                            "Hintergrundmusik"};
    const int labelY[] = {230, 300, 370, 440, 510};
    for (int i = 0; i < 5; ++i) text(s.get(), f.game.get(), labels[i], 150, labelY[i], kListBlue);
    put(s.get(), load("Data/3.bmp", 60, 60).get(), 500, 214);
    put(s.get(), load("Data/on.bmp", 60, 60).get(), 500, 285);
    put(s.get(), load("Data/off.bmp", 60, 60).get(), 500, 355);
    put(s.get(), load("Data/1.bmp", 60, 60).get(), 500, 426);
    put(s.get(), load("Data/on.bmp", 60, 60).get(), 500, 496);
    return s;
}

// Places labelled pictures left to right, wrapping at the sheet's width.
struct Gallery {
    SDL_Surface* sheet;
    TTF_Font* font;
    int left, right;
    int x, y, rowHeight = 0;

    void add(const std::string& caption, SDL_Surface* pic, bool transparent = true)
    {
        int captionWidth = 0, captionHeight = 0;
        TTF_SizeUTF8(font, caption.c_str(), &captionWidth, &captionHeight);
        if (x + std::max(pic->w, captionWidth) > right && x > left) {
            x = left;
            y += rowHeight + 30;
            rowHeight = 0;
        }
        text(sheet, font, caption, x, y, {230, 230, 240, 255});
        if (transparent)
            showPicture(sheet, pic, x, y + 18);
        else
            put(sheet, pic, x, y + 18);
        x += std::max(pic->w, captionWidth) + 16;
        rowHeight = std::max(rowHeight, pic->h + 18);
    }
};

// Nearest-neighbour enlargement that keeps the key colour transparent.
SurfacePtr zoom(SDL_Surface* s, int factor)
{
    SurfacePtr out = blank(s->w * factor, s->h * factor, kKey);
    SDL_SetColorKey(s, SDL_FALSE, 0);
    SDL_BlitScaled(s, nullptr, out.get(), nullptr);
    SDL_SetColorKey(out.get(), SDL_TRUE, kKey);
    return out;
}

SurfacePtr half(SDL_Surface* s)
{
    SurfacePtr out = blank(s->w / 2, s->h / 2, 0);
    SDL_SetColorKey(s, SDL_FALSE, 0);
    SDL_BlitScaled(s, nullptr, out.get(), nullptr);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ASSET_DIR FONT_DIR OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    gDir = argv[1];
    if (SDL_Init(0) != 0 || TTF_Init() != 0) return 1;
    const std::string fonts = argv[2];
    Fonts f;
    f.game.reset(TTF_OpenFont((fonts + "/LiberationSans-Regular.ttf").c_str(), 30));
    f.label.reset(TTF_OpenFont((fonts + "/LiberationSans-Bold.ttf").c_str(), 13));
    f.status.reset(TTF_OpenFont((fonts + "/LiberationSans-Regular.ttf").c_str(), 13));
    if (!f.game || !f.label || !f.status) {
        std::fprintf(stderr, "fonts not found in %s\n", fonts.c_str());
        return 1;
    }

    constexpr int kWidth = 2460, kGap = 20;
    SurfacePtr sheet = blank(kWidth, 3000, 0x202028);
    const SDL_Color head{255, 255, 255, 255};
    struct Screen {
        const char* caption;
        SurfacePtr (*make)(Fonts&);
    } screens[] = {{"Titel (so setzt das Spiel es zusammen)", titleScreen},
                   {"Spiel", gameScreen},
                   {"Rennen (Level 2)", raceScreen},
                   {"Highscores", highscoreScreen},
                   {"Optionen", optionsScreen}};
    for (int i = 0; i < 5; ++i) {
        const int x = kGap + (i % 3) * (800 + kGap), y = kGap + (i / 3) * (600 + 40);
        text(sheet.get(), f.label.get(), screens[i].caption, x, y, head);
        SurfacePtr s = screens[i].make(f);
        put(sheet.get(), s.get(), x, y + 18);
    }

    // The level files as maps, bottom (start) to top (finish) reading upwards.
    {
        const int x0 = kGap + 800 + kGap, y0 = kGap + 640;
        text(sheet.get(), f.label.get(), "1.dat .. 5.dat (Start unten)", x0 + 820, y0, head);
        for (int l = 1; l <= 5; ++l) {
            const auto track = readLevel(std::to_string(l) + ".dat");
            const int x = x0 + 820 + (l - 1) * 70, y = y0 + 18;
            SDL_Rect bg{x, y, 60, 600};
            SDL_FillRect(sheet.get(), &bg, 0);
            static const Uint32 colours[] = {0, 0x2EBE40, 0x14C4D6, 0xF06EBA, 0xF88C18, 0xD82424, 0xF2D21A, 0x2C5CE2};
            for (size_t r = 0; r < track.size() && r < 300; ++r)
                for (size_t c = 0; c < track[r].size() && c < 10; ++c)
                    if (track[r][c] != 0) {
                        SDL_Rect cell{x + static_cast<int>(c) * 6, y + static_cast<int>(r) * 2, 6, 2};
                        SDL_FillRect(sheet.get(), &cell, colours[track[r][c] & 7]);
                    }
        }
    }

    Gallery g{sheet.get(), f.label.get(), kGap, kWidth - kGap, kGap, kGap + 2 * 640, 0};
    const char* blocks[] = {"steinG", "steinC", "rosa", "steino", "steinR", "gelb", "steinB", "silber", "steinramen"};
    for (const char* b : blocks)
        g.add(std::string(b) + " (3x)", zoom(load(std::string("Data/") + b + ".bmp", 25, 25).get(), 3).get());
    g.add("mark1 (2x)", zoom(load("Data/mark1.bmp", 36, 36).get(), 2).get());
    g.add("mark2 (2x)", zoom(load("Data/mark2.bmp", 36, 36).get(), 2).get());
    g.add("op 170x144", load("Data/op.bmp", 170, 144).get());
    g.add("on", load("Data/on.bmp", 60, 60).get());
    g.add("off", load("Data/off.bmp", 60, 60).get());
    for (int d = 0; d <= 9; ++d) g.add(std::to_string(d), load("Data/" + std::to_string(d) + ".bmp", 60, 60).get());
    g.add("ausr 100x100", load("Data/ausr.bmp", 100, 100).get());
    g.add("lade 304x43", load("Data/lade.bmp", 304, 43).get());
    g.add("anim 250x375", load("Data/anim.bmp", 250, 375).get());
    g.add("klotzar 600x200", load("Data/klotzar.bmp", 600, 200).get());
    g.add("klotzar 400x150", load("Data/klotzar.bmp", 400, 150).get());
    g.add("icon.bmp (2x)", zoom(load("icon.bmp", 32, 32).get(), 2).get());
    g.add("blauklein (halbe Gr.)", half(load("Data/blauklein.bmp", 800, 600).get()).get(), false);
    g.add("hiscore (halbe Gr.)", half(load("Data/hiscore.bmp", 800, 600).get()).get(), false);
    g.add("optionen (halbe Gr.)", half(load("Data/optionen.bmp", 800, 600).get()).get(), false);

    const int used = g.y + g.rowHeight + kGap;
    SurfacePtr out = blank(kWidth, used, 0);
    SDL_Rect top{0, 0, kWidth, used};
    SDL_BlitSurface(sheet.get(), &top, out.get(), nullptr);
    const int rc = SDL_SaveBMP(out.get(), argv[3]) == 0 ? 0 : 1;
    f = Fonts{};
    TTF_Quit();
    SDL_Quit();
    return rc;
}
