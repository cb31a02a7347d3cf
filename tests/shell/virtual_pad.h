#pragma once
#include <SDL.h>

#include <string>

// A game controller made by SDL itself (no device node needed): it appears
// with a device-added event like a pad plugged in, and its buttons and stick
// reach the program through SDL's queue like a real pad's.
class VirtualPad {
public:
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool attached() const { return joystick_ != nullptr; }
    const std::string& problem() const { return problem_; }  // why it is not attached
    SDL_JoystickID id() const { return id_; }
    SDL_Joystick* joystick() const { return joystick_; }
    void unplug();
    // SDL stopped its joysticks and took the pad with them: nothing is left
    // to close.
    void forget() { joystick_ = nullptr; }

    // The new state shows with the next pumping of SDL's queue.
    void button(SDL_GameControllerButton which, bool down);
    void axis(SDL_GameControllerAxis which, Sint16 value);

private:
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;
    std::string problem_;
};

// SDL passes pad events only to a program whose window has the keyboard
// focus; a headless window never gets it.
void LetPadsPlayWithoutFocus();
