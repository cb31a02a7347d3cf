#include "shell/app.h"

#include <algorithm>
#include <cstdio>

#include "platform/display_loss.h"
#include "platform/name_prompt.h"
#include "screens/screen_layout.h"
#include "shell/remembered_name.h"
#include "shell/replay_run.h"
#include "shell/settings_file.h"

namespace {

// QUIRK: [long-name-stray-line] the stray second line stays (kept)
constexpr const char* kTooLongMessage = "Die Namenl\xE4nge darf max.20 Zeichen lang sein.\nie es ab.\n";
constexpr uint32_t kFrameIntervalMs = 16;  // about one refresh of a 60 Hz screen

// A save that did not reach the disk is told in the log (when it can be
// written) and on standard error, so no lost score goes unnoticed.
// CHANGE: [failed-save-said] a failed save is said in the log and on stderr
void reportHighscoreFailure(Log& log, HighscoreList::SaveFailure why, const std::string& path)
{
    const bool unreadable = why == HighscoreList::SaveFailure::Unreadable;
    log.WriteLine(unreadable ? "Main : Highscoreliste nicht lesbar, nicht gespeichert : "
                             : "Main : Fehler beim Speichern der Highscoreliste : ",
                  path);
    if (unreadable)
        std::fprintf(stderr, "klotzar: %s cannot be read; the high scores were not saved over it.\n", path.c_str());
    else
        std::fprintf(stderr, "klotzar: the high scores could not be saved to %s.\n", path.c_str());
}

void loadSounds(Audio& audio)
{
    audio.LoadSound("drehen.wav");
    audio.LoadSound("down.wav");
    audio.LoadSound("klatsch.wav");
}

}  // namespace

App::App(AppSeams seams_)
    : seams(std::move(seams_)),
      font(MakeGameFont()),
      smallFont(MakeDeviceContextFont()),
      highscores(playerName),
      game(*this, settings, playerName),
      screen{
          pictures, display, font, [this](Surface* back) { drawStatusLine(back); }, [this] { return statusLineText(); },
          {},       {}}
{
    highscores.setFailureReport(
        [this](HighscoreList::SaveFailure why, const std::string& path) { reportHighscoreFailure(log, why, path); });
}

App::~App()
{
    shutDown();
}

int App::run()
{
    if (!startUp()) {
        // CHANGE: [no-display-said] said, exit status 1
        std::fprintf(stderr, "klotzar: no display found; set DISPLAY or WAYLAND_DISPLAY to a running desktop.\n");
        shutDown();
        return 1;
    }
    while (!quitPosted_) runPass();
    shutDown();
    return 0;
}

void App::runPass()
{
    InputEvent event;
    if (watching_) {
        const bool got = pollInput(event);
        const int32_t waitMs = watchPass(got ? &event : nullptr);
        if (!got && waitMs > 0 && waitInput(event, waitMs)) watchPass(&event);
        queueMayHoldMore_ = true;
        return;
    }
    // Each pass is an idle pass and one wait. Only when the wait brought an
    // event is the queue read without waiting, so that a burst of input is
    // handled whole before the next pass draws.
    if (queueMayHoldMore_ && pollInput(event)) {
        handleEvent(event);
        return;
    }
    const IdleWait wait = idlePass();
    if (quitPosted_) return;
    const bool got = waitInput(event, wait.forever ? -1 : std::max(wait.timeoutMs, 0));
    if (wait.forever) afterBlockingWait();
    if (got) handleEvent(event);
    queueMayHoldMore_ = got;
}

bool App::pollInput(InputEvent& event)
{
    const auto poll = [this](InputEvent& e) { return seams.pollEvent ? seams.pollEvent(e) : PollInputEvent(e); };
    while (poll(event)) {
        if (!onWindowEvent(event)) return true;
    }
    return false;
}

bool App::waitInput(InputEvent& event, int32_t timeoutMs)
{
    const uint32_t start = TimeGetTime();
    for (;;) {
        int32_t left = timeoutMs;
        if (timeoutMs > 0) {
            const uint32_t spent = TimeGetTime() - start;
            left = spent >= static_cast<uint32_t>(timeoutMs) ? 0 : timeoutMs - static_cast<int32_t>(spent);
        }
        if (!(seams.waitEvent ? seams.waitEvent(event, left) : WaitInputEvent(event, left))) return false;
        if (!onWindowEvent(event)) return true;
    }
}

bool App::askPlayerName()
{
    // CHANGE: [remembered-name] the prompt offers the last name confirmed (or the account's).
    const std::string offered = offeredPlayerName();
    std::string typed = offered;
    while (seams.askName(typed)) {
        if (typed.size() <= PlayerName::kMaxLength) {
            playerName.set(typed);
            rememberPlayerName(typed);
            return true;
        }
        ShowNameTooLongMessage(kTooLongMessage);
        typed.clear();  // the next prompt starts empty
    }
    return false;
}

bool App::startUp()
{
    // No name means no prompt could be shown, or the player asked to quit
    // (Ctrl+C): with a display, the game then ends at once, saving as usual.
    SetApplicationName("Klotzar", "klotzar");
    const bool named = askPlayerName();
    display.StartInWindow(seams.windowed);
    const bool windowMade = display.CreateMainWindow("Klotzar", "icon.bmp");
    // The log starts afresh with every run; everything reports into this one.
    log.Open("log.txt", Log::Mode::Truncate);
    if (!windowMade) log.WriteLine("Main : Fehler beim Erzeugen des Fensters");
    display.Init(log);
    if (!display.HasScreen()) return false;
    WatchForLostDisplay([this] { shutDownWithoutDisplay(); });
    StartGamepads();

    showLoadingScreen();
    loadPictures(pictures, display);
    audio.Init(log);
    loadSounds(audio);
    readSettings(settings);
    loadTuneIfWanted();
    if (seams.race) settings.modus = 3;  // for this run only: the file keeps its value
    if (!named) quitPosted_ = true;
    return true;
}

// CHANGE: [tune-on-demand] the tune is loaded only when music is wanted
// The tune brings the General MIDI bank with it, so it is loaded only once
// music is switched on. Switched off again, it stays: freeing it would win
// memory back only until the next switch, and each load costs a noticeable
// pause in the options screen.
void App::loadTuneIfWanted()
{
    if (settings.Musik == 1) audio.LoadMusicOnce("Fennwold_Neo_Remix.mid");
}

void App::showLoadingScreen()
{
    loadLoadingImage(pictures, display);
    display.ClearBackBuffer(0);
    BltFast(display.GetBackBuffer(), 490, 550, pictures.loadingImage.get());
    display.Flip();
}

void App::shutDown()
{
    if (shutDownDone_) return;
    shutDownDone_ = true;
    StopGamepads();
    releasePictures(pictures);
    display.Release();
    if (recorder.active()) finishRecording();  // the window closed during a game
    // Every finished game was saved when it ended; this adds nothing twice
    // and writes a complete list where none was. A replay saves nothing.
    if (savesHighscores) highscores.save();
    // Audio goes last, so its line ends the log.
    audio.Release();
    log.Close();
}

// CHANGE: [display-lost-shutdown] a lost display still saves and closes the log
void App::shutDownWithoutDisplay()
{
    log.WriteLine("Main : Verbindung zum Bildschirm verloren");
    std::fprintf(stderr, "klotzar: the connection to the display was lost; the game ends.\n");
    // The rest of shutDown, without the window and the pictures: the server
    // that owned them is gone, and asking it anything would end us at once.
    shutDownDone_ = true;
    if (recorder.active()) finishRecording();
    if (savesHighscores) highscores.save();
    audio.Release();
    log.Close();
}

IdleWait App::runIdlePass()
{
    if (!game.playing) paintMenuScreen();

    if (gameRunning()) {
        if (game.tick() || framePending_) {
            framePending_ = false;
            drawFrame(game, screen);
            lastFrameAt_ = seams.clock();
        }
        // CHANGE: [loop-sleeps] the loop sleeps until a step or frame is due
        // Instead of spinning, sleep until the next gravity step is due, but
        // draw no more often than a screen refreshes; tick catches up every
        // step from the clock, so play is unchanged.
        const uint32_t sinceFrame = seams.clock() - lastFrameAt_;
        const int32_t untilFrameSlot = sinceFrame >= kFrameIntervalMs
                                           ? 0
                                           : static_cast<int32_t>(kFrameIntervalMs - sinceFrame);
        return IdleWait{false, std::max(game.msUntilNextStep(), untilFrameSlot)};
    }
    if (!game.paused && game.playing && settings.modus == 3) {
        if (raceStep(game, race)) drawRaceFrame(game, race, screen);
        if (game.playing) return IdleWait{false, static_cast<int32_t>(msUntilNextAdvance(game, race))};
        lastGame = FinishedGame{FinishedGame::Kind::Race, 0, -1, !raceLost(race), race.racePoints};
        stopTuneAtGameEnd();
        return IdleWait{false, 0};
    }
    return IdleWait{};
}

IdleWait App::idlePass()
{
    const IdleWait wait = runIdlePass();
    noteGameProgress();
    return wait;
}

void App::enterHighscore(int32_t total)
{
    handedTotal_ = true;
    handedScore_ = total;
    stopTuneAtGameEnd();
    // A replay enters nothing: it only tells where its total would stand.
    if (replaying) {
        handedRank_ = highscores.rankFor(total);
        return;
    }
    // CHANGE: [score-saved-at-once] the total goes to disk when the game ends
    handedRank_ = highscores.insert(total);
    lastGame = FinishedGame{FinishedGame::Kind::Classic, total, handedRank_, false, 0};
}

void App::gameOver()
{
    shell.menuSelection = 1;
    shell.highscoreScreen = true;
}

void App::stopTuneAtGameEnd()
{
    // The tune repeats now, so the end of a game stops it, as Esc does; the
    // last effects play out.
    if (settings.Musik == 1) audio.StopMusic();
}

bool App::gameRunning() const
{
    return !game.paused && game.playing && settings.modus != 3;
}

void App::catchUpBeforeInput()
{
    // QUIRK: [keys-show-next-step] input draws nothing; the next idle pass does (kept)
    // Input acts on the piece where the clock has it now, as when the loop
    // polled without pause; the catch-up is drawn by the next idle pass.
    if (gameRunning() && game.tick()) framePending_ = true;
}

std::string App::statusLineText() const
{
    const bool racing = game.playing && settings.modus == 3;
    return " << " + (racing ? race.statusText : playerName.str()) + " >>";
}

void App::drawStatusLine(Surface* backBuffer)
{
    smallFont.DrawString(backBuffer, 0, 0, statusLineText(), kStatusColour);
}
