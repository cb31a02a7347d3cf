#pragma once
#include <cstdint>

#include "platform/events.h"

// The game controllers behind events.cpp and the name prompt: SDL's pad
// events become the game's keys, and a held direction repeats like a held key.
union SDL_Event;

// A direction held on the D-pad or the left stick: the first press acts at
// once, then, after the keyboard's usual delay, it repeats until released.
struct HeldDirection {
    static constexpr uint32_t kDelayMs = 500;
    static constexpr uint32_t kIntervalMs = 33;  // about 30 presses a second

    Key key = Key::Other;  // Other: nothing held
    uint32_t nextAt = 0;

    void Press(Key pressed, uint32_t nowMs);
    void Release(Key released);
    // The repeat due at nowMs, if any; moves on to the next one.
    bool TakeRepeat(uint32_t nowMs);
    // Milliseconds until the next repeat; -1 when nothing is held.
    int32_t MsUntilRepeat(uint32_t nowMs) const;
};

// Reads the pads: what they did since the last reading lands in SDL's event
// queue. The event calls in events.cpp do this when the pad watcher says so;
// whoever polls the queue itself calls it first.
void UpdateGamepads();

// Opens pads that arrive and closes those that leave; turns buttons and the
// stick into key presses. False for events the game does not see.
bool TranslatePadEvent(const SDL_Event& e, InputEvent& out, uint32_t nowMs);
// The repeat of a held direction that is due now, as a key press.
bool TakePadRepeat(uint32_t nowMs, InputEvent& out);
int32_t MsUntilPadRepeat(uint32_t nowMs);
