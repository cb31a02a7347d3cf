#pragma once
#include <functional>

// When the connection to the X server breaks (the window killed, the server
// ended, a logout), the window system ends the process from inside whatever
// call noticed it. Before that happens, onLost runs once: it may save and
// release what needs no display, and must not touch the window, the screen or
// the event queue. The process then ends with status 1. Call after the main
// window exists; on other video drivers it does nothing and returns false.
bool WatchForLostDisplay(std::function<void()> onLost);
