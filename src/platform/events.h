#pragma once
#include <cstdint>

// Input as the game sees it, free of SDL's event layout, so tests and replays
// can drive the shell with the same type the window delivers.
enum class Key {
    Other,
    Enter,
    Ctrl,
    Pause,
    Escape,
    Space,
    Left,
    Up,
    Right,
    Down,
    // The pad's buttons whose meaning depends on the screen (the shell routes
    // them): A (Return on the menus, Space in a game), Start (Return on the
    // title, Pause in a game), B or Y (turning the other way), Back (Esc; in
    // a running game it pauses first, so no single press abandons a game).
    PadAccept,
    PadStart,
    PadTurnBack,
    PadBack,
};

struct InputEvent {
    // FocusLost: the window lost the keyboard focus or was minimised.
    // ToggleFullScreen: F11 was pressed (held, it counts once).
    // Redraw: the window was uncovered or resized; the frame on show must be
    // shown again. These two are the window's own business, not the game's.
    enum class Type {
        None,
        Quit,
        KeyDown,
        MouseMove,
        LeftButtonDown,
        RightButtonDown,
        FocusLost,
        ToggleFullScreen,
        Redraw
    };
    Type type = Type::None;
    Key key = Key::Other;
    int32_t x = 0;  // mouse position in the 800 x 600 picture's pixels (outside
                    // 0..799 / 0..599 over the bars beside the picture)
    int32_t y = 0;
    bool stillHeld = true;  // button down events: is the button still down now?
    int32_t clicks = 1;     // button down events: 2 for the second click of a double click
};

// Starts the game controllers: SDL's built-in mappings, SDL_GAMECONTROLLERCONFIG
// and the mappings in "gamecontrollerdb.txt", if there is one. Every pad
// connected now or later plays. Safe to call more than once.
void StartGamepads();
void StopGamepads();

// Takes the next event without waiting; false when the queue is empty.
bool PollInputEvent(InputEvent& event);
// Waits up to timeoutMs (negative: for ever) for the next event; false on timeout.
bool WaitInputEvent(InputEvent& event, int32_t timeoutMs);
// Milliseconds since start-up, wrapping at 2^32 (timeGetTime).
uint32_t TimeGetTime();
