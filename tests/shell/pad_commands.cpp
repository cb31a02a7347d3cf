#include "pad_commands.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

// The whole of `text` as a stick position, or false.
bool ParseStickValue(const std::string& text, Sint16& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < SDL_JOYSTICK_AXIS_MIN || parsed > SDL_JOYSTICK_AXIS_MAX) return false;
    value = static_cast<Sint16>(parsed);
    return true;
}

}  // namespace

bool PadCommands::start(const std::string& line, std::string& why)
{
    std::istringstream words(line);
    std::string verb, first, second, extra;
    words >> verb >> first >> second >> extra;
    if (!extra.empty()) {
        why = "too many words";
        return false;
    }
    if (verb == "plug" && first.empty()) return startPlug(why);
    if (verb == "unplug" && first.empty()) return startUnplug(why);
    if ((verb == "press" || verb == "release") && second.empty()) return startButton(first, verb == "press", why);
    if (verb == "stick") return startStick(first, second, why);
    why = "not a command";
    return false;
}

bool PadCommands::startPlug(std::string& why)
{
    // A pad made before the program starts its controllers would be lost
    // when they start.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) {
        why = "the game controllers are not started";
        return false;
    }
    if (pad_) {
        why = "a pad is plugged already";
        return false;
    }
    auto pad = std::make_unique<VirtualPad>();
    if (!pad->attached()) {
        why = pad->problem();
        return false;
    }
    pad_ = std::move(pad);
    awaits_ = Awaits::Opened;
    id_ = pad_->id();
    return true;
}

bool PadCommands::startUnplug(std::string& why)
{
    if (!pad_) {
        why = "no pad plugged";
        return false;
    }
    id_ = pad_->id();
    pad_.reset();
    awaits_ = Awaits::Closed;
    return true;
}

bool PadCommands::startButton(const std::string& name, bool down, std::string& why)
{
    const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
    if (button == SDL_CONTROLLER_BUTTON_INVALID) {
        why = "no button '" + name + "'";
        return false;
    }
    if (!pad_) {
        why = "no pad plugged";
        return false;
    }
    pad_->button(button, down);
    awaits_ = Awaits::Button;
    index_ = button;
    value_ = down ? 1 : 0;
    return true;
}

bool PadCommands::startStick(const std::string& axisName, const std::string& value, std::string& why)
{
    if (axisName != "x" && axisName != "y") {
        why = "the stick moves along x or y";
        return false;
    }
    Sint16 position = 0;
    if (!ParseStickValue(value, position)) {
        why = "a stick position is a number from -32768 to 32767";
        return false;
    }
    if (!pad_) {
        why = "no pad plugged";
        return false;
    }
    const SDL_GameControllerAxis axis = axisName == "x" ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY;
    pad_->axis(axis, position);
    awaits_ = Awaits::Axis;
    index_ = axis;
    value_ = position;
    return true;
}

bool PadCommands::takenIn() const
{
    switch (awaits_) {
    case Awaits::Nothing: return true;
    // The pad opens only as a game controller in the program; this side
    // opens it as a plain joystick.
    case Awaits::Opened: return SDL_GameControllerFromInstanceID(id_) != nullptr;
    case Awaits::Closed: return SDL_GameControllerFromInstanceID(id_) == nullptr;
    case Awaits::Button: return pad_ && SDL_JoystickGetButton(pad_->joystick(), index_) == value_;
    case Awaits::Axis: return pad_ && SDL_JoystickGetAxis(pad_->joystick(), index_) == value_;
    }
    return false;
}

void PadCommands::forgetPad()
{
    if (!pad_) return;
    pad_->forget();
    pad_.reset();
}
