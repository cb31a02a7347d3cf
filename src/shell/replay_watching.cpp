// Watching a high-score row's game from the high-score screen. The replay
// plays on this App's own game with the recorded settings and name; when it
// ends, the player's settings and name come back and the high-score screen
// shows again. Nothing a replay does enters the list or is recorded.
#include <filesystem>

#include "files/game_files.h"
#include "replay/replay_files.h"
#include "shell/app.h"
#include "shell/replay_run.h"

bool App::rowHasReplay(int rank) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(HostPath(rowReplayName(highscores, rank)), error);
}

void App::moveReplayMark(int step)
{
    // From the mark (or from outside the list) to the next row with a game.
    for (int rank = replayMark_ < 0 ? (step > 0 ? 0 : HighscoreList::kRows - 1) : replayMark_ + step;
         rank >= 0 && rank < HighscoreList::kRows; rank += step) {
        if (rowHasReplay(rank)) {
            replayMark_ = rank;
            return;
        }
    }
}

void App::watchRowReplay(int rank)
{
    const std::string file = rowReplayName(highscores, rank);
    std::string text, error;
    Recording recording;
    if (!readReplayFile(HostPath(file), text, error) || !readRecording(text, recording, error)) {
        log.WriteLine("Main : Aufzeichnung nicht lesbar: ", file + ": " + error);
        return;
    }
    settingsBeforeReplay_ = settings;
    nameBeforeReplay_ = playerName.str();
    replayMark_ = rank;
    watching_ = std::make_unique<ReplayRun>(*this, std::move(recording));
    viewer_ = std::make_unique<ReplayViewer>(seams.clock());
    watching_->start();
}

int32_t App::watchPass(const InputEvent* event)
{
    if (!watching_) return -1;
    if (event && !viewer_->control(*event)) {
        if (event->type == InputEvent::Type::Quit) quitPosted_ = true;
        endWatching();
        return -1;
    }
    const int32_t waitMs = viewer_->play(*watching_, seams.clock());
    if (waitMs >= 0) return waitMs;
    const std::string verdict = watching_->verdict();
    if (!verdict.empty()) log.WriteLine("Main : Aufzeichnung weicht ab: ", verdict);
    endWatching();
    return -1;
}

void App::endWatching()
{
    if (settings.Musik == 1) audio.StopAll();
    watching_.reset();  // also ends the replay's hold on the clock
    viewer_.reset();
    replaying = nullptr;
    settings = settingsBeforeReplay_;
    playerName.set(nameBeforeReplay_);
    game.playing = false;
    game.paused = false;
    race = RaceState{};
    shell = ShellState{};
    shell.menuSelection = 1;
    shell.highscoreScreen = true;
}
