#pragma once

// True when SDL's video runs on a real screen, or on a driver the user asked
// for (SDL_VIDEODRIVER, as headless runs do). Without a display SDL quietly
// falls back to drawing into memory, which must not pass for a screen.
bool VideoOnRealScreen();

// False when nothing names a display to open (no DISPLAY, no WAYLAND_DISPLAY,
// no SDL_VIDEODRIVER): then SDL's video is not even started, which would only
// print its own complaints before finding no screen.
bool DisplayNamed();
