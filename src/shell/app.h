#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "game/game.h"
#include "highscore/highscore_list.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/font.h"
#include "platform/log.h"
#include "race/race.h"
#include "replay/recorder.h"
#include "replay/replay_player.h"
#include "screens/catalogue.h"
#include "screens/game_screen.h"
#include "screens/highscore_screen.h"
#include "shell/shell_state.h"

// What the shell takes from outside: the clock and the name prompt. The
// program passes the real ones; a headless driver passes its own.
struct AppSeams {
    std::function<uint32_t()> clock;
    // Seeds the game's random generator; empty: the clock seeds it.
    std::function<uint32_t()> randomSeed;
    // Offers name (code page 1252) and returns the confirmed one in it, or
    // false when no prompt can be shown (no display).
    std::function<bool(std::string& name)> askName;
    // Where events come from; empty: the window (PollInputEvent and
    // WaitInputEvent). A driver passes its own to watch how the loop waits.
    std::function<bool(InputEvent& event)> pollEvent;
    std::function<bool(InputEvent& event, int32_t timeoutMs)> waitEvent;
    bool windowed = false;  // an 800 x 600 window instead of full screen
    bool race = false;      // play the race this run, whatever modus the file holds
};

class ReplayRun;
struct ReplayViewer;

// How the main loop should wait after an idle pass.
struct IdleWait {
    bool forever = true;    // block until the next event, then re-stamp the step clock
    int32_t timeoutMs = 0;  // otherwise: wait at most this long for an event
};

// The whole program: every long-lived object, built in the order the game has
// always built them, and the start-up, main loop and shutdown around them.
class App : private GameHost {
public:
    explicit App(AppSeams seams);
    ~App() override;

    // Runs the program from the name prompt to the end; returns the exit code.
    int run();

    // The steps of run(), for a driver that feeds events and time itself.
    bool startUp();  // false when there is no display to draw on
    void handleEvent(const InputEvent& event);
    // The next event for the game, as PollInputEvent and WaitInputEvent give
    // them; the window's own events (full screen, redrawing) are dealt with
    // on the way and neither end the wait nor reach the caller.
    bool pollInput(InputEvent& event);
    bool waitInput(InputEvent& event, int32_t timeoutMs);
    IdleWait idlePass();
    // One pass of run()'s loop: the events that came, or an idle pass and the
    // one wait it asks for.
    void runPass();
    void afterBlockingWait()
    {
        recorder.wake(seams.clock());
        game.resetFallClock();
    }
    void shutDown();
    // What shutDown does when the display was lost: everything but the window.
    void shutDownWithoutDisplay();
    bool quitPosted() const { return quitPosted_; }

    // The menu-screen painter: draws and presents the current menu screen.
    void paintMenuScreen();

    AppSeams seams;
    // Every game is recorded into "Replays\\"; while a replay plays, the
    // rules' clock answers from it and nothing enters the high-score list.
    // Built before the game, whose construction reads the clock.
    GameRecorder recorder;
    ReplayPlayer* replaying = nullptr;
    bool savesHighscores = true;  // false while only watching a replay
    // Starts the recorded game on this App; the caller feeds its items.
    void startReplayedGame(ReplayPlayer& player);
    // How the game on this App stands, as a recording's end records it.
    ReplayOutcome gameOutcome() const;

    // Watching a high-score row's game from the high-score screen: Up and
    // Down mark a row that has one, Return or a click plays it.
    int32_t replayMark() const { return replayMark_; }
    bool watchingReplay() const { return watching_ != nullptr; }
    // One pass of the main loop while a replay is watched, with the real
    // input that arrived (or none); returns how long to wait, -1 once the
    // replay has ended and the high-score screen is back.
    int32_t watchPass(const InputEvent* event);

    // "log.txt", emptied at start-up; the display, the audio and the shell
    // all report into it. Declared first of the three, so it outlives them.
    Log log;
    Audio audio;
    Display display;
    Font font;
    Font smallFont;
    PlayerName playerName;
    HighscoreList highscores;
    Settings settings;
    ShellState shell;
    Game game;
    RaceState race;
    Catalogue pictures;
    GameScreen screen;
    FinishedGame lastGame;  // what the high-score screen reports at its bottom

private:
    // GameHost: what the rules ask of the shell.
    uint32_t timeGetTime() override;
    uint32_t randomSeed() override { return seams.randomSeed ? seams.randomSeed() : seams.clock(); }
    void playSound(const char* name) override { audio.PlaySound(name); }
    void drawLastFrame() override { drawFrame(game, screen); }
    void enterHighscore(int32_t total) override;
    void gameOver() override;

    // Recording (game_recording.cpp).
    void noteGameProgress();
    void finishRecording();
    bool handedTotal_ = false;
    int32_t handedScore_ = 0;
    int32_t handedRank_ = -1;

    IdleWait runIdlePass();
    bool askPlayerName();
    void stopTuneAtGameEnd();
    void showLoadingScreen();
    void loadTuneIfWanted();
    void paintTitleScreen();
    void paintOptionsScreen();
    bool gameRunning() const;
    void catchUpBeforeInput();
    void drawStatusLine(Surface* backBuffer);
    std::string statusLineText() const;

    bool onWindowEvent(const InputEvent& event);  // false when the event is the game's
    void routeEvent(const InputEvent& event);
    void onKey(Key key);
    void onPadKey(Key key);      // the pad's own buttons, then every key as onKey
    bool onOptionsKey(Key key);  // false when the key is not the options screen's
    void onLeftClick(int32_t x, int32_t y);
    void onRightClick();
    void onHover(int32_t x, int32_t y);
    void pause();
    void abandonGame();
    void startGame();

    bool rowHasReplay(int rank) const;
    void moveReplayMark(int step);
    void watchRowReplay(int rank);
    void endWatching();
    int32_t replayMark_ = -1;
    std::unique_ptr<ReplayRun> watching_;
    std::unique_ptr<ReplayViewer> viewer_;
    Settings settingsBeforeReplay_;
    std::string nameBeforeReplay_;

    bool quitPosted_ = false;
    bool shutDownDone_ = false;
    bool framePending_ = false;     // gravity advanced outside an idle pass
    bool queueMayHoldMore_ = true;  // the last wait brought an event
    uint32_t lastFrameAt_ = 0;
    bool optionLabelsDrawn_ = false;
};
