#include <cstring>

#include "platform/events.h"
#include "platform/name_prompt.h"
#include "shell/app.h"
#include "shell/replay_run.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--replay") == 0) return watchReplay(argv[2]);
    AppSeams seams;
    seams.clock = TimeGetTime;
    seams.askName = [](std::string& name) {
        const std::optional<std::string> typed = RunNamePrompt();
        if (typed) name = *typed;
        return typed.has_value();
    };
    App app(std::move(seams));
    return app.run();
}
