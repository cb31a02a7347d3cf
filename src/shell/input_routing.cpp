// The window procedure: every key, movement and click becomes a change of the
// shell state, a setting or a game operation. Nothing here draws, except the
// pause picture and the painter run by Up and Down on the menu screens.
#include "screens/screen_layout.h"
#include "shell/app.h"
#include "shell/settings_file.h"

bool App::onWindowEvent(const InputEvent& event)
{
    switch (event.type) {
    case InputEvent::Type::ToggleFullScreen: display.ToggleFullscreen(); return true;
    case InputEvent::Type::Redraw: display.Redraw(); return true;
    default: return false;
    }
}

void App::handleEvent(const InputEvent& event)
{
    // The window's own events are no input to the game: not recorded, and
    // nothing of the game moves for them.
    if (onWindowEvent(event)) return;
    recorder.input(event, seams.clock());
    routeEvent(event);
    noteGameProgress();
}

void App::routeEvent(const InputEvent& event)
{
    switch (event.type) {
    case InputEvent::Type::Quit: quitPosted_ = true; break;
    case InputEvent::Type::KeyDown:
        catchUpBeforeInput();
        onPadKey(event.key);
        break;
    case InputEvent::Type::MouseMove: onHover(event.x, event.y); break;
    case InputEvent::Type::LeftButtonDown:
        // The second click of a double click is not a click.
        if (event.stillHeld && event.clicks < 2) onLeftClick(event.x, event.y);
        break;
    case InputEvent::Type::RightButtonDown:
        if (event.stillHeld && event.clicks < 2) onRightClick();
        break;
    case InputEvent::Type::FocusLost:
        // CHANGE: [focus-loss-pauses] leaving the window pauses a running game as the Pause key
        // does; only the player resumes it.
        if (game.playing && !game.paused) pause();
        break;
    case InputEvent::Type::None:
    case InputEvent::Type::ToggleFullScreen:
    case InputEvent::Type::Redraw: break;
    }
}

void App::onPadKey(Key key)
{
    const bool title = !game.playing && !shell.highscoreScreen && !shell.optionsScreen;
    switch (key) {
    case Key::PadAccept: onKey(game.playing ? Key::Space : Key::Enter); break;
    case Key::PadStart:
        if (game.playing)
            onKey(Key::Pause);
        else if (title)
            onKey(Key::Enter);
        break;
    case Key::PadTurnBack:
        if (game.playing && !game.paused && settings.modus != 3) game.rotatePiece(-1);
        break;
    case Key::PadBack:
        // CHANGE: [gamepad] Back pauses a running game first
        // A running game pauses first; Back again abandons it.
        if (game.playing && !game.paused)
            onKey(Key::Pause);
        else
            onKey(Key::Escape);
        break;
    default: onKey(key); break;
    }
}

void App::startGame()
{
    lastGame = FinishedGame{};  // an abandoned game reports nothing
    closeHighscorePictures(pictures);
    closeOptionsPicture(pictures);
    openGamePictures(pictures);
    loadTuneIfWanted();
    if (settings.Musik == 1) audio.PlayMusic();
    if (!replaying) recorder.begin(game.random().state(), settings, playerName.str(), seams.clock());
    handedTotal_ = false;
    if (settings.modus == 3)
        startRace(game, race);
    else
        game.newGame();
}

void App::abandonGame()
{
    // No score is entered, and the paused flag keeps its value.
    game.playing = false;
    shell.menuSelection = 1;
    shell.highscoreScreen = true;
}

void App::pause()
{
    game.paused = true;
    showPausePicture(screen);
}

bool App::onOptionsKey(Key key)
{
    if (game.playing || !shell.optionsScreen || shell.highscoreScreen) return false;
    // CHANGE: [options-focus] Up and Down move a visible focus over the value boxes, and
    // Return or Space change the focused value as a click would.
    switch (key) {
    case Key::Up:
        shell.optionsFocus = (shell.optionsFocus + kOptionCount - 1) % kOptionCount;
        paintMenuScreen();
        return true;
    case Key::Down:
        shell.optionsFocus = (shell.optionsFocus + 1) % kOptionCount;
        paintMenuScreen();
        return true;
    case Key::Enter:
    case Key::Space:
        changeOption(settings, shell.optionsFocus);
        loadTuneIfWanted();
        return true;
    default: return false;
    }
}

void App::onKey(Key key)
{
    const bool title = !game.playing && !shell.highscoreScreen && !shell.optionsScreen;
    const bool running = game.playing && !game.paused;
    const bool racing = running && settings.modus == 3;
    if (onOptionsKey(key)) return;

    switch (key) {
    case Key::Enter:
        if (title && shell.menuSelection == 0)
            startGame();
        else if (title && shell.menuSelection == 1)
            shell.highscoreScreen = true;
        else if (title && shell.menuSelection == 2)
            shell.optionsScreen = true;
        else if (title && shell.menuSelection == 3)
            quitPosted_ = true;
        // CHANGE: [replay-from-list] Return on the high-score screen plays the marked row's game.
        else if (!game.playing && shell.highscoreScreen && replayMark_ >= 0)
            watchRowReplay(replayMark_);
        break;
    case Key::Ctrl:
        if (running) game.dropToBottom();
        break;
    case Key::Pause:
        if (running)
            pause();
        else
            game.paused = false;
        break;
    case Key::Escape:
        if (settings.Musik == 1) audio.StopAll();
        if (game.playing) {
            abandonGame();
        } else if (shell.highscoreScreen) {
            replayMark_ = -1;
            shell.highscoreScreen = false;
            shell.menuSelection = 1;
        } else if (shell.optionsScreen) {
            shell.optionsScreen = false;
            shell.menuSelection = 2;
        } else {
            quitPosted_ = true;
        }
        break;
    case Key::Space:
        if (running) game.rotatePiece(+1);
        break;
    case Key::Left:
        // QUIRK: [arrows-on-menus] no test for a running game (kept)
        // Acts in every state, also on the menus, on the last game's piece.
        game.moveSideways(-1);
        break;
    case Key::Right: game.moveSideways(+1); break;
    case Key::Up:
        // CHANGE: [replay-from-list] on the high-score screen Up and Down also mark a row's game.
        if (!game.playing && shell.highscoreScreen) moveReplayMark(-1);
        // QUIRK: [up-dead-after-paused-abandon] the paused flag is not cleared on abandoning (kept)
        // After a game abandoned while paused, Up stays dead on the menus until
        // the next game: the paused flag is still set. Kept as it always was.
        if (!game.playing && !game.paused) {
            shell.menuSelection = shell.menuSelection == 0 ? 3 : shell.menuSelection - 1;
            paintMenuScreen();
        } else if (racing) {
            moveCarUp(game, race);
        } else if (running) {
            game.rotatePiece(-1);
        }
        break;
    case Key::Down:
        if (!game.playing && shell.highscoreScreen) moveReplayMark(+1);
        if (!game.playing) {
            shell.menuSelection = shell.menuSelection == 3 ? 0 : shell.menuSelection + 1;
            paintMenuScreen();
        } else if (racing) {
            moveCarDown(game, race);
        } else if (running) {
            game.dropRow();
        }
        break;
    default: break;
    }
}

void App::onHover(int32_t x, int32_t y)
{
    const bool title = !game.playing && !shell.highscoreScreen && !shell.optionsScreen;
    const int32_t band = titleMenuBandAt(x, y);
    if (title && band >= 0) shell.menuSelection = band;
}

void App::onLeftClick(int32_t x, int32_t y)
{
    if (game.playing) return;
    const bool title = !shell.highscoreScreen && !shell.optionsScreen;
    const int32_t band = titleMenuBandAt(x, y);
    if (title && band >= 0) {
        shell.menuSelection = band;
        if (band == 0) startGame();
        if (band == 1) shell.highscoreScreen = true;
        if (band == 2) shell.optionsScreen = true;
        if (band == 3) quitPosted_ = true;
        return;
    }
    // CHANGE: [replay-from-list] a click on a high-score row that has a replay plays it.
    const int32_t rank = (y - kHighscoreRowTop) / kHighscoreRowStep;
    if (shell.highscoreScreen && x >= 100 && x < 780 && y >= kHighscoreRowTop && rank < HighscoreList::kRows &&
        rowHasReplay(rank)) {
        watchRowReplay(rank);
        return;
    }
    optionsClick(settings, shell, game.playing, x, y);
    loadTuneIfWanted();
}

void App::onRightClick()
{
    if (game.playing) {
        game.playing = 0;
        if (settings.Musik == 1) audio.StopAll();
        shell.menuSelection = 1;
        shell.highscoreScreen = true;
        return;
    }
    if (shell.highscoreScreen) {
        replayMark_ = -1;
        shell.highscoreScreen = false;
        shell.menuSelection = 1;
    }
    if (shell.optionsScreen) {
        shell.optionsScreen = false;
        shell.menuSelection = 2;
    }
}
