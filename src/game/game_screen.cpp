#include "game/game_screen.h"

#include <cstddef>
#include <cstdio>

#include "game/game.h"
#include "platform/display.h"
#include "platform/font.h"
#include "shell/catalogue.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;  // GDI colour: blue high, red low

constexpr Rect kPlayfield{50, 50, 300, 550};
constexpr Rect kSidePanel{340, 320, 800, 600};
constexpr Rect kTopStrip{40, 0, 310, 50};

int32_t cellX(int32_t column) { return 50 + 25 * column; }
int32_t cellY(int32_t row) { return 50 + 25 * row; }

Rect previewBox(int32_t i) { return Rect{440 + 200 * i, 200, 540 + 200 * i, 300}; }

void restoreFromBackground(GameScreen& screen, const Rect& area)
{
    BltFast(screen.pictures.playSurface.get(), area.left, area.top, screen.pictures.backgroundSurface.get(), &area);
}

// Clearing the back buffer to black and then copying the whole play surface
// over it with its colour key, in one pass: a pixel becomes the play
// surface's pixel, or black where that one is the key colour. The same picture
// as the two steps, without filling 1.9 MB first only to overwrite it.
void copyOntoBlack(uint32_t* __restrict to, const uint32_t* __restrict from, size_t count, uint32_t key)
{
    // Blocks of 8 so that g++ -O2 turns them into vector compares; the two
    // buffers never overlap, which it must be told.
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        for (size_t j = 0; j < 8; ++j) to[i + j] = from[i + j] != key ? from[i + j] : 0u;
    }
    for (; i < count; ++i) to[i] = from[i] != key ? from[i] : 0u;
}

bool sameSize(const Surface* a, const Surface* b)
{
    return a && b && a->width == b->width && a->height == b->height &&
           a->pixels.size() == static_cast<size_t>(a->width) * static_cast<size_t>(a->height) &&
           b->pixels.size() == a->pixels.size();
}

}  // namespace

void clearPlayfield(GameScreen& screen)
{
    FillRectBlack(screen.pictures.playSurface.get(), kPlayfield);
}

void drawFrame(Game& game, GameScreen& screen)
{
    clearPlayfield(screen);
    drawBoardCells(game, screen);
    if (game.previewBoxesActive == 1) {
        // Boxes 0 to Vorschauzwei: one box, or two when the setting is 1.
        for (int32_t i = 0; i <= game.settings.Vorschauzwei && i < 2; ++i)
            FillRectBlack(screen.pictures.playSurface.get(), previewBox(i));
    }
    drawFallingPiece(game, screen);
    drawPreviews(game, screen);
    presentFrame(game, screen);
}

void drawBoardCells(const Game& game, GameScreen& screen)
{
    Surface* play = screen.pictures.playSurface.get();
    for (int32_t r = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            if (game.board[r][c] != 0) BltFast(play, cellX(c), cellY(r), screen.pictures.blockImage(game.board[r][c]));
        }
    }
}

void drawSidePanel(Game& game, GameScreen& screen)
{
    Surface* play = screen.pictures.playSurface.get();
    restoreFromBackground(screen, kSidePanel);
    game.total = game.points + game.lines + game.bonus;
    char text[64];
    std::snprintf(text, sizeof text, "Punkte :            %d", game.points);
    screen.font.DrawString(play, 460, 330, text, kGreen);
    std::snprintf(text, sizeof text, "Zeilen  :            %d", game.lines);
    screen.font.DrawString(play, 460, 390, text, kGreen);
    std::snprintf(text, sizeof text, "Bonus  :            %d", game.bonus);
    screen.font.DrawString(play, 460, 450, text, kGreen);
    std::snprintf(text, sizeof text, "Gesamt:            %d", game.total);
    screen.font.DrawString(play, 460, 510, text, kGreen);
}

void drawFallingPiece(Game& game, GameScreen& screen)
{
    const PieceShape& s = game.shape();
    // The landing row ignores fallOffset: where the piece would lock if it
    // fell straight down from its row.
    int32_t landing = game.pieceRow;
    while (game.landsAt(landing) == 0) ++landing;

    // The panel is the same for every cell of the piece, so it is drawn once
    // per frame; it does not overlap the playfield, so the picture is the same.
    drawSidePanel(game, screen);
    if (s.colourId == 9) return;  // the race car draws itself

    Surface* play = screen.pictures.playSurface.get();
    const Surface* block = screen.pictures.blockImage(s.colourId);
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            if (!s.cells[i][j]) continue;
            const int32_t column = game.pieceColumn + j;
            if (game.settings.Zielhilfe == 1)
                BltFast(play, cellX(column), cellY(landing + i), screen.pictures.aimFrame.get());
            BltFast(play, cellX(column), cellY(game.pieceRow + i) + game.fallOffset, block);
        }
    }
}

void drawPreviews(const Game& game, GameScreen& screen)
{
    Surface* play = screen.pictures.playSurface.get();
    const Surface* block = screen.pictures.blocks[7].get();
    for (int32_t i = 0; i < game.previewCount; ++i) {
        const PieceShape& s = pieceShapes[game.nextPieces[i].kind][game.nextPieces[i].rotation];
        for (int32_t j = 0; j < s.height; ++j) {
            for (int32_t k = 0; k < s.width; ++k) {
                if (!s.cells[j][k]) continue;
                BltFast(play, 440 + 200 * i + 25 * k + ((4 - s.width) * 25) / 2, 200 + 25 * j + ((4 - s.height) * 25) / 2,
                        block);
                if (game.settings.Vorschauzwei < 1) BltFast(play, 640, 200, screen.pictures.noPreviewImage.get());
            }
        }
    }
}

void presentFrame(const Game& game, GameScreen& screen)
{
    Surface* play = screen.pictures.playSurface.get();
    // Erases whatever part of the piece or its frames lay above the playfield.
    restoreFromBackground(screen, kTopStrip);
    BltFast(play, 350, 30, screen.pictures.smallLogo.get());
    if (game.shell.paused == 1) screen.font.DrawString(play, 120, 290, "PAUSE", kGreen);

    Surface* back = screen.display.GetBackBuffer();
    if (sameSize(back, play) && play->hasColorKey) {
        copyOntoBlack(back->pixels.data(), play->pixels.data(), back->pixels.size(), play->colorKey);
    } else {
        screen.display.ClearBackBuffer(0);
        BltFast(back, 0, 0, play);
    }
    if (screen.drawStatusLine) screen.drawStatusLine(back);
    screen.display.Flip();
}
