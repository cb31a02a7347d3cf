#include "game/game.h"

#include <cctype>

Game::Game(GameHost& host_, const Settings& settings_, const PlayerName& playerName_)
    : host(host_), settings(settings_), playerName(playerName_)
{
    random_.seed(host.randomSeed());
    clearBoard();
    prefillRows = 0;
    previewCount = 1;
}

void Game::clearBoard()
{
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) board[r][c] = 0;
        rowFill[r] = 0;
    }
    playing = false;
    previewBoxesActive = false;
    points = 0;
    lines = 0;
    total = 0;
}

void Game::setPrefillRows(int32_t n)
{
    prefillRows = n < 0 ? 0 : (n > kRows ? kRows : n);
}

void Game::setPreviewCount(int32_t n)
{
    previewCount = n < 0 ? 0 : (n > kQueueLength ? kQueueLength : n);
}

void Game::prefillBoard()
{
    const int32_t n = prefillRows;
    if (n <= 0) return;
    for (int32_t i = 0; i < 5 * n; ++i) {
        const int32_t row = kRows - 1 - random_.next() % n;
        const int32_t column = random_.next() % kColumns;
        if (board[row][column] == 0) {
            board[row][column] = random_.next() % 7 + 1;
            ++rowFill[row];
        }
    }
    // QUIRK: [start-points-and-bonus] pre-filled rows count 30 points each (kept)
    points = 30 * n;
}

void Game::resetFallClock()
{
    fallClock = host.timeGetTime();
}

namespace {

bool startsWithIgnoringCase(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text == '\0') return false;
        if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*prefix)))
            return false;
    }
    return true;
}

}  // namespace

void Game::newGame()
{
    clearBoard();
    setPrefillRows(settings.Vorbelegung);
    if (settings.Vorbelegung > 0) prefillBoard();
    setPreviewCount(settings.Vorschauzwei == 1 ? 2 : 1);
    playing = true;
    for (int i = 0; i < kQueueLength; ++i) advanceQueue();
    spawnPiece();
    previewBoxesActive = true;
    resetFallClock();
    speed = 50;
    paused = false;
    bonus = 0;
    // QUIRK: [start-points-and-bonus] two names start with a bonus (kept)
    if (startsWithIgnoringCase(playerName.text, "Oxu")) bonus = 200;
    if (startsWithIgnoringCase(playerName.text, "Qelin")) bonus = 200;
}

bool Game::cellOccupied(int32_t row, int32_t column) const
{
    return row >= 0 && row < kRows && column >= 0 && column < kColumns && board[row][column] != 0;
}
