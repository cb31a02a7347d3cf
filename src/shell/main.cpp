#include "platform/events.h"
#include "platform/name_prompt.h"
#include "shell/app.h"

int main()
{
    AppSeams seams;
    seams.clock = TimeGetTime;
    seams.askName = [](std::string& name) {
        const std::optional<std::string> typed = RunNamePrompt(name);
        if (typed) name = *typed;
        return typed.has_value();
    };
    App app(std::move(seams));
    return app.run();
}
