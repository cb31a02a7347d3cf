#include "virtual_pad.h"

VirtualPad::VirtualPad()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Virtual Pad";
    const int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (deviceIndex < 0) {
        problem_ = std::string("no virtual pad: ") + SDL_GetError();
        return;
    }
    joystick_ = SDL_JoystickOpen(deviceIndex);
    if (!joystick_) {
        problem_ = std::string("virtual pad not opened: ") + SDL_GetError();
        SDL_JoystickDetachVirtual(deviceIndex);
        return;
    }
    id_ = SDL_JoystickInstanceID(joystick_);
}

VirtualPad::~VirtualPad()
{
    unplug();
}

void VirtualPad::unplug()
{
    if (!joystick_) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    // The device index may have moved since; find it by its instance id.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
}

void VirtualPad::button(SDL_GameControllerButton which, bool down)
{
    if (joystick_) SDL_JoystickSetVirtualButton(joystick_, which, down ? 1 : 0);
}

void VirtualPad::axis(SDL_GameControllerAxis which, Sint16 value)
{
    if (joystick_) SDL_JoystickSetVirtualAxis(joystick_, which, value);
}

void LetPadsPlayWithoutFocus()
{
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
}
