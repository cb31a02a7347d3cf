#pragma once
#include <SDL.h>

// A game controller made by SDL itself (no device node needed): it appears
// with a device-added event like a pad plugged in, and its buttons and stick
// reach the game through SDL's queue like a real pad's.
class VirtualPad {
public:
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool attached() const { return joystick_ != nullptr; }
    void unplug();

    // The new state shows with the next poll of SDL's queue.
    void button(SDL_GameControllerButton which, bool down);
    void axis(SDL_GameControllerAxis which, Sint16 value);

private:
    int deviceIndex_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};
