#pragma once
#include <SDL.h>

#include <memory>
#include <string>

#include "virtual_pad.h"

// A virtual pad worked through lines of text, one command a line:
//   plug                 attaches the pad (device-added, as when plugged in)
//   press <button>       SDL's button names: a, b, y, start, back,
//   release <button>     leftshoulder, rightshoulder, dpup, dpdown, ...
//   stick <x|y> <value>  moves the left stick (-32768 to 32767)
//   unplug
// A command is taken in once the program has seen it: the pad opened or
// closed by the program, or the new state read from the device by a pump of
// SDL's queue (which also queues its events). Call from the thread that runs
// the program's event loop.
class PadCommands {
public:
    // Starts one command; false, with the reason in `why`, when the line is
    // no command or cannot be done now.
    bool start(const std::string& line, std::string& why);
    // Whether the program has taken the last command started in.
    bool takenIn() const;
    // SDL stopped its joysticks and took the pad with them.
    void forgetPad();

private:
    enum class Awaits { Nothing, Opened, Closed, Button, Axis };

    bool startPlug(std::string& why);
    bool startUnplug(std::string& why);
    bool startButton(const std::string& name, bool down, std::string& why);
    bool startStick(const std::string& axisName, const std::string& value, std::string& why);

    std::unique_ptr<VirtualPad> pad_;
    Awaits awaits_ = Awaits::Nothing;
    SDL_JoystickID id_ = -1;
    int index_ = 0;  // button or axis
    int value_ = 0;
};
