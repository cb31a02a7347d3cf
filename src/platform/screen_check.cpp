#include "platform/screen_check.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

bool VideoOnRealScreen()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (chosen && *chosen) return true;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

bool DisplayNamed()
{
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}
