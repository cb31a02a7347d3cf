#include <csignal>
#include <cstdio>

#include "files/game_locations.h"
#include "files/launch_seed.h"
#include "platform/events.h"
#include "platform/name_prompt.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "shell/install_paths.h"
#include "shell/replay_run.h"
#include "shell/version.h"

int main(int argc, char** argv)
{
    // A log FIFO whose reader left must cost the line, not the game: the
    // write then fails with EPIPE instead of ending the process.
    std::signal(SIGPIPE, SIG_IGN);

    const CommandLine command = ParseCommandLine(argc, argv);
    if (!command.unknown.empty()) {
        std::fprintf(stderr, "klotzar: unknown option '%s'\n%s", command.unknown.c_str(), UsageText().c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (command.version) {
        std::printf("klotzar %s\n", kVersion);
        return 0;
    }
    UseGameLocations(ChooseGameLocations(ThisProgramFacts(kDataFolderFromProgram, kConfiguredDataFolder)));
    if (!command.replay.empty()) return watchReplay(command.replay);

    AppSeams seams;
    seams.clock = TimeGetTime;
    seams.randomSeed = LaunchSeed;
    seams.askName = [](std::string& name) {
        const std::optional<std::string> typed = RunNamePrompt(name);
        if (typed) name = *typed;
        return typed.has_value();
    };
    seams.windowed = command.windowed;
    seams.race = command.race;
    App app(std::move(seams));
    return app.run();
}
