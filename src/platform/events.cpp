#include "platform/events.h"

#include <SDL.h>

#include "platform/gamepad.h"

namespace {

Key KeyFor(const SDL_Keysym& keysym)
{
    // The keypad's arrows count as arrows while Num Lock is off, as on the
    // keyboard the game was made for.
    const bool numLock = (keysym.mod & KMOD_NUM) != 0;
    switch (keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Enter;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return Key::Ctrl;
    case SDLK_PAUSE:
    case SDLK_p: return Key::Pause;  // many laptops have no Pause key
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_SPACE: return Key::Space;
    case SDLK_LEFT: return Key::Left;
    case SDLK_UP: return Key::Up;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_DOWN: return Key::Down;
    case SDLK_KP_4: return numLock ? Key::Other : Key::Left;
    case SDLK_KP_8: return numLock ? Key::Other : Key::Up;
    case SDLK_KP_6: return numLock ? Key::Other : Key::Right;
    case SDLK_KP_2: return numLock ? Key::Other : Key::Down;
    default: return Key::Other;
    }
}

bool TranslateKey(const SDL_KeyboardEvent& key, InputEvent& out)
{
    if (key.keysym.sym == SDLK_F11) {
        if (key.repeat) return false;
        out.type = InputEvent::Type::ToggleFullScreen;
        return true;
    }
    // Held keys repeat as further presses.
    out.type = InputEvent::Type::KeyDown;
    out.key = KeyFor(key.keysym);
    return true;
}

bool TranslateButton(const SDL_MouseButtonEvent& button, InputEvent& out)
{
    if (button.button == SDL_BUTTON_LEFT) {
        out.type = InputEvent::Type::LeftButtonDown;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        out.type = InputEvent::Type::RightButtonDown;
    } else {
        return false;
    }
    out.x = button.x;
    out.y = button.y;
    // The state of the button now, after every event already fetched: a click
    // released before it is taken reads as released.
    out.stillHeld = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(button.button)) != 0;
    // Clicks pair up: after a double click the next click is a single one again.
    out.clicks = button.clicks >= 1 ? (button.clicks - 1) % 2 + 1 : 1;
    return true;
}

// Our event for an SDL event; false for those the game does not see.
bool TranslateInto(const SDL_Event& e, InputEvent& out)
{
    switch (e.type) {
    case SDL_QUIT:  // also the window's close button and Alt+F4
        out.type = InputEvent::Type::Quit;
        return true;
    case SDL_KEYDOWN: return TranslateKey(e.key, out);
    case SDL_MOUSEMOTION:
        out.type = InputEvent::Type::MouseMove;
        out.x = e.motion.x;
        out.y = e.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN: return TranslateButton(e.button, out);
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST || e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
            out.type = InputEvent::Type::FocusLost;
            return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            out.type = InputEvent::Type::Redraw;
            return true;
        }
        return false;
    default: return TranslatePadEvent(e, out, SDL_GetTicks());
    }
}

bool Translate(const SDL_Event& e, InputEvent& event)
{
    InputEvent out;
    if (!TranslateInto(e, out)) return false;
    event = out;
    return true;
}

}  // namespace

bool PollInputEvent(InputEvent& event)
{
    SDL_Event e;
    UpdateGamepads();
    while (SDL_PollEvent(&e)) {
        if (Translate(e, event)) return true;
    }
    return TakePadRepeat(SDL_GetTicks(), event);
}

bool WaitInputEvent(InputEvent& event, int32_t timeoutMs)
{
    SDL_Event e;
    const bool forEver = timeoutMs < 0;
    const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(forEver ? 0 : timeoutMs);
    for (;;) {
        // A held pad direction wakes the wait when its repeat is due.
        if (TakePadRepeat(SDL_GetTicks(), event)) return true;
        const int32_t untilRepeat = MsUntilPadRepeat(SDL_GetTicks());
        if (forEver && untilRepeat < 0) {
            if (!SDL_WaitEvent(&e)) return false;
        } else {
            const Uint64 now = SDL_GetTicks64();
            int left = forEver ? untilRepeat : (now >= deadline ? 0 : static_cast<int>(deadline - now));
            if (untilRepeat >= 0 && untilRepeat < left) left = untilRepeat;
            if (!SDL_WaitEventTimeout(&e, left)) {
                if (TakePadRepeat(SDL_GetTicks(), event)) return true;
                if (!forEver && SDL_GetTicks64() >= deadline) return false;
                continue;
            }
        }
        if (Translate(e, event)) return true;
    }
}

uint32_t TimeGetTime()
{
    return static_cast<uint32_t>(SDL_GetTicks64());
}
