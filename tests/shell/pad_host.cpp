// The program exactly as main.cpp runs it - name prompt, window, main loop -
// with one addition: a pad that SDL makes itself, worked through commands on
// standard input, one a line, so that a window test can play the real program
// with a pad although the machine has none:
//   plug                 attaches the pad (device-added, as when plugged in)
//   press <button>       a, b, y, start, back, leftshoulder, rightshoulder,
//   release <button>     dpup, dpdown, dpleft, dpright
//   stick <x|y> <value>  moves the left stick (-32768 to 32767)
//   unplug
// Each command is answered with "ok <command>" on standard output once the
// program's main loop has taken the new state in (or "failed <command>").
#include <SDL.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "platform/events.h"
#include "platform/name_prompt.h"
#include "shell/app.h"

namespace {

SDL_Joystick* pad = nullptr;
int padIndex = -1;

// Waits until condition holds; the main loop reads the pad as it pumps events.
template <typename Condition>
bool within5s(Condition condition)
{
    const Uint32 start = SDL_GetTicks();
    while (!condition()) {
        if (SDL_GetTicks() - start > 5000) return false;
        SDL_Delay(2);
    }
    return true;
}

bool plug()
{
    // The name prompt starts the controllers; a pad made before has nowhere to go.
    if (!within5s([] { return SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0; })) return false;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Virtual Pad";
    padIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (padIndex < 0) return false;
    pad = SDL_JoystickOpen(padIndex);
    return pad != nullptr;
}

void unplug()
{
    if (!pad) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    pad = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
}

bool apply(const std::string& line)
{
    std::istringstream words(line);
    std::string verb, what;
    words >> verb >> what;
    if (verb == "plug") return plug();
    if (verb == "unplug") {
        unplug();
        return true;
    }
    if (!pad) return false;
    if (verb == "press" || verb == "release") {
        const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(what.c_str());
        if (button == SDL_CONTROLLER_BUTTON_INVALID) return false;
        const Uint8 down = verb == "press" ? 1 : 0;
        if (SDL_JoystickSetVirtualButton(pad, button, down) != 0) return false;
        return within5s([&] { return SDL_JoystickGetButton(pad, button) == down; });
    }
    if (verb == "stick") {
        int value = 0;
        words >> value;
        const SDL_GameControllerAxis axis = what == "x" ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY;
        if (SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(value)) != 0) return false;
        return within5s([&] { return SDL_JoystickGetAxis(pad, axis) == value; });
    }
    return false;
}

// SDL's joystick calls lock the joystick list themselves, so the pad can be
// worked from this thread while the main loop reads it.
void readCommands()
{
    std::string line;
    while (std::getline(std::cin, line)) {
        const bool done = apply(line);
        std::printf("%s %s\n", done ? "ok" : "failed", line.c_str());
        std::fflush(stdout);
    }
}

}  // namespace

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
    std::thread commands(readCommands);
    commands.detach();
    return app.run();
}
