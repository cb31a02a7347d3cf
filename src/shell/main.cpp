#include <csignal>

#include "platform/events.h"
#include "platform/launch_seed.h"
#include "platform/name_prompt.h"
#include "shell/app.h"

int main()
{
    // A log FIFO whose reader left must cost the line, not the game: the
    // write then fails with EPIPE instead of ending the process.
    std::signal(SIGPIPE, SIG_IGN);
    AppSeams seams;
    seams.clock = TimeGetTime;
    seams.randomSeed = LaunchSeed;
    seams.askName = [](std::string& name) {
        const std::optional<std::string> typed = RunNamePrompt();
        if (typed) name = *typed;
        return typed.has_value();
    };
    App app(std::move(seams));
    return app.run();
}
