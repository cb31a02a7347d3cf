#include "screens/game_screen.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "game/game.h"
#include "platform/display.h"
#include "platform/font.h"
#include "screens/catalogue.h"
#include "screens/screen_layout.h"

namespace {

void restoreFromBackground(GameScreen& screen, const Rect& area)
{
    BltFast(screen.pictures.playSurface.get(), area.left, area.top, screen.pictures.backgroundSurface.get(), &area);
}

// Clearing the back buffer to black and then copying the whole play surface
// over it with its colour key, in one pass: a pixel becomes the play
// surface's pixel, or black where that one is the key colour. The same picture
// as the two steps, without filling 1.9 MB first only to overwrite it. True
// when the row changed, found in the same pass.
bool copyRowOntoBlack(uint32_t* __restrict to, const uint32_t* __restrict from, size_t count, uint32_t key)
{
    // Blocks of 8 so that g++ -O2 turns them into vector compares; the two
    // buffers never overlap, which it must be told.
    uint32_t differs = 0;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        for (size_t j = 0; j < 8; ++j) {
            const uint32_t pixel = from[i + j] != key ? from[i + j] : 0u;
            differs |= pixel ^ to[i + j];
            to[i + j] = pixel;
        }
    }
    for (; i < count; ++i) {
        const uint32_t pixel = from[i] != key ? from[i] : 0u;
        differs |= pixel ^ to[i];
        to[i] = pixel;
    }
    return differs != 0;
}

Rect clipped(const Rect& area, const Surface& surface)
{
    return Intersection(area, Rect{0, 0, surface.width, surface.height});
}

// copyRowOntoBlack over the given areas of two surfaces of one size.
void copyOntoBlack(Surface& back, const Surface& play, const ChangedAreas& areas)
{
    for (const Rect& area : areas) {
        const Rect r = clipped(area, back);
        if (IsEmpty(r)) continue;
        for (int32_t y = r.top; y < r.bottom; ++y)
            copyRowOntoBlack(back.row(y) + r.left, play.row(y) + r.left, static_cast<size_t>(r.right - r.left),
                             play.colorKey);
    }
}

// The same, returning only the parts that came out different. After a lock
// the whole playfield is drawn again on the play surface, but most of its
// rows come out as they were.
ChangedAreas copyOntoBlackWhereDifferent(Surface& back, const Surface& play, const ChangedAreas& areas)
{
    ChangedAreas changed;
    for (const Rect& area : areas) {
        const Rect r = clipped(area, back);
        if (IsEmpty(r)) continue;
        const size_t count = static_cast<size_t>(r.right - r.left);
        int32_t first = r.bottom;
        int32_t last = r.top;
        for (int32_t y = r.top; y < r.bottom; ++y) {
            if (!copyRowOntoBlack(back.row(y) + r.left, play.row(y) + r.left, count, play.colorKey)) continue;
            first = std::min(first, y);
            last = y + 1;
        }
        if (first < last) changed.add(Rect{r.left, first, r.right, last});
    }
    return changed;
}

bool touches(const ChangedAreas& areas, const Rect& r)
{
    for (const Rect& a : areas) {
        if (!IsEmpty(Intersection(a, r))) return true;
    }
    return false;
}

bool touchesAny(const ChangedAreas& areas, const ChangedAreas& others)
{
    for (const Rect& r : others) {
        if (touches(areas, r)) return true;
    }
    return false;
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

namespace {

bool sameBoard(const int32_t (&a)[kRows][kColumns], const int32_t (&b)[kRows][kColumns])
{
    for (int32_t r = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            if (a[r][c] != b[r][c]) return false;
        }
    }
    return true;
}

// Clears the given areas of the playfield and draws the board's blocks there
// again: with the board unchanged, the playfield is then what clearing it and
// drawing every block gives. Blocks reaching out of the cleared part are drawn
// whole, over their own pixels.
void redrawBoardWithin(const Game& game, GameScreen& screen, const ChangedAreas& areas)
{
    Surface* play = screen.pictures.playSurface.get();
    for (const Rect& area : areas) {
        const Rect r = Intersection(area, kPlayfield);
        if (IsEmpty(r)) continue;
        FillRectBlack(play, r);
        for (int32_t row = rowAt(r.top); row <= rowAt(r.bottom - 1); ++row) {
            for (int32_t column = columnAt(r.left); column <= columnAt(r.right - 1); ++column) {
                if (game.board[row][column] != 0)
                    BltFast(play, cellX(column), cellY(row), screen.pictures.blockImage(game.board[row][column]));
            }
        }
    }
}

// The landing row ignores fallOffset: where the piece would lock if it fell
// straight down from its row.
int32_t landingRow(const Game& game)
{
    int32_t landing = game.pieceRow;
    while (game.landsAt(landing) == 0) ++landing;
    return landing;
}

// Calls place(column, row) for every cell of the falling piece, the row
// counted within the piece's shape.
template <typename Place>
void forEachPieceCell(const Game& game, Place place)
{
    const PieceShape& s = game.shape();
    for (int32_t i = 0; i < s.height; ++i) {
        for (int32_t j = 0; j < s.width; ++j) {
            if (s.cells[i][j]) place(game.pieceColumn + j, i);
        }
    }
}

bool showsAims(const Game& game)
{
    // QUIRK: [guide-only-when-1] exactly 1, though the options screen shows 2 as on (kept)
    return game.settings.Zielhilfe == 1 && game.shape().colourId != 9;  // the race car draws itself
}

// Where this frame's aim frames go, or where its blocks go.
ChangedAreas aimAreas(const Game& game, const Surface& aim)
{
    ChangedAreas areas;
    if (!showsAims(game)) return areas;
    const int32_t landing = landingRow(game);
    forEachPieceCell(game, [&](int32_t column, int32_t row) {
        const int32_t x = cellX(column);
        const int32_t y = cellY(landing + row);
        areas.add(Rect{x, y, x + aim.width, y + aim.height});
    });
    return areas;
}

ChangedAreas blockAreas(const Game& game, const Surface& block)
{
    ChangedAreas areas;
    forEachPieceCell(game, [&](int32_t column, int32_t row) {
        const int32_t x = cellX(column);
        const int32_t y = cellY(game.pieceRow + row) + game.fallOffset;
        areas.add(Rect{x, y, x + block.width, y + block.height});
    });
    return areas;
}

bool sameAreas(const ChangedAreas& a, const ChangedAreas& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// Whether the aim frames on show can stay as they are: they stand where this
// frame wants them, and the piece neither leaves them (its old blocks are
// cleared) nor enters them (its blocks go over them in the order drawn).
bool aimsStay(const Game& game, const GameScreen& screen)
{
    const GameScreen::ShownFrame& shown = screen.shown;
    const Surface* aim = screen.pictures.aimFrame.get();
    const Surface* block = screen.pictures.blockImage(game.shape().colourId);
    if (shown.aim.count == 0 || !aim || !block) return false;
    // The board is the one the frames were drawn on (a new board clears
    // them). A piece that has only fallen since, not past its landing row,
    // lands where it did: no need to look for that row again.
    const bool onlyFell = game.pieceColumn == shown.aimColumn && &game.shape() == shown.aimShape &&
                          game.pieceRow >= shown.aimRow && game.pieceRow <= shown.aimLanding && showsAims(game);
    if (!onlyFell && !sameAreas(aimAreas(game, *aim), shown.aim)) return false;
    return !touchesAny(shown.aim, shown.piece) && !touchesAny(shown.aim, blockAreas(game, *block));
}

bool samePreviews(const GameScreen::ShownFrame& shown, const Game& game)
{
    if (shown.previewBoxesActive != game.previewBoxesActive || shown.previewSetting != game.settings.Vorschauzwei ||
        shown.previewCount != game.previewCount)
        return false;
    for (int32_t i = 0; i < game.previewCount && i < kQueueLength; ++i) {
        if (shown.previews[i].kind != game.nextPieces[i].kind ||
            shown.previews[i].rotation != game.nextPieces[i].rotation)
            return false;
    }
    return true;
}

void rememberPreviews(GameScreen::ShownFrame& shown, const Game& game)
{
    shown.previewsValid = true;
    shown.previewBoxesActive = game.previewBoxesActive;
    shown.previewSetting = game.settings.Vorschauzwei;
    shown.previewCount = game.previewCount;
    std::copy(game.nextPieces, game.nextPieces + kQueueLength, shown.previews);
}

}  // namespace

void drawFrame(Game& game, GameScreen& screen)
{
    composeFrame(game, screen);
    presentFrame(game, screen);
}

void composeFrame(Game& game, GameScreen& screen)
{
    GameScreen::ShownFrame& shown = screen.shown;
    if (shown.playfieldValid && sameBoard(shown.board, game.board)) {
        // While the piece falls straight, its aim frames stand still.
        if (!aimsStay(game, screen)) {
            redrawBoardWithin(game, screen, shown.aim);
            shown.aim.clear();
        }
        redrawBoardWithin(game, screen, shown.piece);
    } else {
        clearPlayfield(screen);
        drawBoardCells(game, screen);
        std::copy(&game.board[0][0], &game.board[0][0] + kRows * kColumns, &shown.board[0][0]);
        shown.aim.clear();
    }
    shown.playfieldValid = true;
    // The same previews drawn again over themselves give the same pixels.
    const bool previewsShown = shown.previewsValid && samePreviews(shown, game);
    if (game.previewBoxesActive == 1 && !previewsShown) {
        // Boxes 0 to Vorschauzwei: one box, or two when the setting is 1.
        for (int32_t i = 0; i <= game.settings.Vorschauzwei && i < 2; ++i)
            FillRectBlack(screen.pictures.playSurface.get(), previewBox(i));
    }
    drawFallingPiece(game, screen);
    if (!previewsShown) {
        drawPreviews(game, screen);
        rememberPreviews(shown, game);
    }
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
    game.total = game.points + game.lines + game.bonus;
    GameScreen::ShownFrame& shown = screen.shown;
    if (shown.panelValid && shown.points == game.points && shown.lines == game.lines && shown.bonus == game.bonus &&
        shown.total == game.total)
        return;  // the play surface shows these very values already
    shown.panelValid = true;
    shown.points = game.points;
    shown.lines = game.lines;
    shown.bonus = game.bonus;
    shown.total = game.total;
    PanelLines lines;
    std::snprintf(lines[0], sizeof lines[0], "Punkte :            %d", game.points);
    std::snprintf(lines[1], sizeof lines[1], "Zeilen  :            %d", game.lines);
    std::snprintf(lines[2], sizeof lines[2], "Bonus  :            %d", game.bonus);
    std::snprintf(lines[3], sizeof lines[3], "Gesamt:            %d", game.total);
    drawPanelLines(screen, lines);
}

void drawPanelLines(GameScreen& screen, const PanelLines& lines)
{
    restoreFromBackground(screen, kSidePanel);
    for (int32_t i = 0; i < kPanelLineCount; ++i)
        screen.font.DrawString(screen.pictures.playSurface.get(), kPanelTextX, panelLineY(i), lines[i], kPanelGreen);
}

void drawFallingPiece(Game& game, GameScreen& screen)
{
    // CHANGE: [panel-once-per-frame] the side panel once per frame
    // The panel is the same for every cell of the piece, so it is drawn once
    // per frame; it does not overlap the playfield, so the picture is the same.
    drawSidePanel(game, screen);
    GameScreen::ShownFrame& shown = screen.shown;
    shown.piece.clear();
    const int32_t colour = game.shape().colourId;
    if (colour == 9) return;  // the race car draws itself

    Surface* play = screen.pictures.playSurface.get();
    const Surface* block = screen.pictures.blockImage(colour);
    const Surface* aim = screen.pictures.aimFrame.get();
    // Aim frames still on show stay; new ones are drawn cell by cell, each
    // under its own block, as the piece may reach into another cell's frame.
    const bool drawAims = shown.aim.count == 0 && showsAims(game);
    const int32_t landing = drawAims ? landingRow(game) : 0;
    if (drawAims) {
        shown.aimColumn = game.pieceColumn;
        shown.aimShape = &game.shape();
        shown.aimRow = game.pieceRow;
        shown.aimLanding = landing;
    }
    const auto drawCell = [&](int32_t x, int32_t y, const Surface* picture, ChangedAreas& drawn) {
        if (BltFast(play, x, y, picture) == 1) drawn.add(Rect{x, y, x + picture->width, y + picture->height});
    };
    forEachPieceCell(game, [&](int32_t column, int32_t row) {
        if (drawAims) drawCell(cellX(column), cellY(landing + row), aim, shown.aim);
        drawCell(cellX(column), cellY(game.pieceRow + row) + game.fallOffset, block, shown.piece);
    });
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
                const Rect box = previewBox(i);
                BltFast(play, box.left + kCellSize * k + ((4 - s.width) * kCellSize) / 2,
                        box.top + kCellSize * j + ((4 - s.height) * kCellSize) / 2, block);
                if (game.settings.Vorschauzwei < 1)
                    BltFast(play, previewBox(1).left, previewBox(1).top, screen.pictures.noPreviewImage.get());
            }
        }
    }
}

void presentFrame(const Game& game, GameScreen& screen)
{
    Surface* play = screen.pictures.playSurface.get();
    // Erases whatever part of the piece or its frames lay above the playfield;
    // where nothing was drawn since the last erasing, it would change nothing.
    // Only the parts drawn on are restored, so that the status line, which
    // shares the strip, needs drawing again only when they reach it.
    if (play && touches(play->changed, kTopStrip)) {
        const ChangedAreas drawn = play->changed;
        for (const Rect& area : drawn) {
            const Rect part = Intersection(area, kTopStrip);
            if (!IsEmpty(part)) restoreFromBackground(screen, part);
        }
    }
    // Nothing else draws where the logo lies, so once is enough.
    if (!screen.shown.logo)
        screen.shown.logo = BltFast(play, kSmallLogoX, kSmallLogoY, screen.pictures.smallLogo.get()) == 1;
    if (game.paused) {
        drawPauseText(screen, kPanelGreen);
        forgetShownFrame(screen);
    }

    Surface* back = screen.display.GetBackBuffer();
    GameScreen::PresentHistory& history = screen.history;
    if (!sameSize(back, play) || !play->hasColorKey) {
        // Nothing to keep track of; the frame goes out whole.
        screen.display.ClearBackBuffer(0);
        BltFast(back, 0, 0, play);
        if (back && screen.drawStatusLine) screen.drawStatusLine(back);
        screen.display.Flip();
        history = GameScreen::PresentHistory{};
        return;
    }

    ChangedAreas mayDiffer;
    std::string lineText = screen.statusLineText ? screen.statusLineText() : std::string();
    bool lineStands = false;
    if (history.lastFlip != 0 && history.lastFlip == screen.display.Flips()) {
        // CHANGE: [frame-draws-changes] only what changed is drawn, copied and presented
        // The back buffer holds our last frame: only what was drawn on the
        // play surface since then, and the status line when it must be drawn
        // again, can have changed. The line on show stands while its text is
        // the same and nothing drawn since reaches it.
        lineStands = screen.statusLineText && lineText == history.statusText &&
                     !touchesAny(play->changed, history.statusLine);
        ChangedAreas stale = play->changed;
        if (!lineStands) stale.add(history.statusLine);
        mayDiffer = copyOntoBlackWhereDifferent(*back, *play, stale);
    } else {
        mayDiffer.add(Rect{0, 0, back->width, back->height});
        copyOntoBlack(*back, *play, mayDiffer);
    }
    back->changed.clear();
    if (!lineStands) {
        if (screen.drawStatusLine) screen.drawStatusLine(back);
        mayDiffer.add(back->changed);
        history.statusLine = back->changed;
        history.statusText = std::move(lineText);
    }
    screen.display.ShowChanges(mayDiffer);

    history.lastFlip = screen.display.Flips();
    play->changed.clear();
}

void drawPauseText(GameScreen& screen, uint32_t gdiColour)
{
    screen.font.DrawString(screen.pictures.playSurface.get(), kPauseTextX, kPauseTextY, "PAUSE", gdiColour);
}

void showPausePicture(GameScreen& screen)
{
    drawPauseText(screen, kPauseKeyOrange);
    forgetShownFrame(screen);
    // The whole play surface, without the status line.
    screen.display.ClearBackBuffer(0);
    BltFast(screen.display.GetBackBuffer(), 0, 0, screen.pictures.playSurface.get());
    screen.display.Flip();
}

void forgetShownFrame(GameScreen& screen)
{
    screen.shown.panelValid = false;
    screen.shown.playfieldValid = false;
    screen.shown.previewsValid = false;
}
