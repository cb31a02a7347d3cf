// CHANGE: [games-recorded] every game recorded
// Every game is recorded as it is played, and kept in "Replays\": the last
// game always, and the game of each high-score row for as long as the row
// stays in the list.
#include <filesystem>

#include "files/game_files.h"
#include "replay/replay_files.h"
#include "shell/app.h"

uint32_t App::timeGetTime()
{
    if (replaying) return replaying->answerClock();
    const uint32_t now = seams.clock();
    recorder.clockRead(now);
    return now;
}

ReplayOutcome App::gameOutcome() const
{
    const bool racing = settings.modus == 3;
    const char* how = handedTotal_                                ? "gameover"
                      : racing && raceOver(race) && !game.playing ? "raceover"
                      : game.playing                              ? "quit"
                                                                  : "abandoned";
    ReplayOutcome outcome = outcomeOf(game, racing ? &race : nullptr, how);
    outcome.handed = handedTotal_;
    outcome.enteredRank = handedTotal_ ? handedRank_ : -1;
    outcome.enteredScore = handedTotal_ ? handedScore_ : 0;
    return outcome;
}

void App::noteGameProgress()
{
    if (!recorder.active()) return;
    recorder.scores(game, seams.clock());
    if (!game.playing) finishRecording();
}

void App::finishRecording()
{
    const Recording recording = recorder.finish(gameOutcome());
    const std::string text = writeRecording(recording);
    std::error_code error;
    std::filesystem::create_directories(HostPath(kReplayFolder), error);
    std::string failed;
    if (!ReplaceFileAtomically(HostPath(kLastReplay), text)) failed = kLastReplay;
    if (recording.outcome.enteredRank >= 0) {
        const std::string rowFile = rowReplayName(highscores, recording.outcome.enteredRank);
        if (!ReplaceFileAtomically(HostPath(rowFile), text)) failed = rowFile;
        pruneRowReplays(highscores);
    }
    if (!failed.empty()) {
        log.WriteLine("Main : Spiel konnte nicht aufgezeichnet werden: ", failed);
    }
}

void App::startReplayedGame(ReplayPlayer& player)
{
    const Recording& recording = player.recording();
    replaying = &player;
    settings = recording.settings;
    playerName.set(recording.name);
    game.random().seed(recording.seed);
    shell = ShellState{};
    startGame();
}
