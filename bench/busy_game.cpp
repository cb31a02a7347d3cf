#include "busy_game.h"

void startBusyGame(App& app)
{
    app.game.playing = 0;
    app.shell = ShellState{};
    app.handleEvent(InputEvent{InputEvent::Type::KeyDown, Key::Enter});
    for (int r = 10; r < kRows; ++r) {
        app.game.rowFill[r] = 0;
        for (int c = 0; c < kColumns; ++c) {
            const bool hole = (c + r) % 4 == 0;
            app.game.board[r][c] = hole ? 0 : 1 + (r * 3 + c) % 8;
            if (!hole) ++app.game.rowFill[r];
        }
    }
    app.game.pieceRow = 3;
    app.game.fallOffset = 12;
    app.game.points = 1234;
    app.game.lines = 56;
    app.game.bonus = 78;
}

void movePieceOnePixel(App& app)
{
    app.game.fallOffset = app.game.fallOffset == 12 ? 13 : 12;
}
