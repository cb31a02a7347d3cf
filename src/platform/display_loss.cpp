#include "platform/display_loss.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace {

// Xlib's handler type, without pulling Xlib's headers in for one pointer.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

// Xlib calls a plain function with no context, so the one callback lives here.
std::function<void()>& lostCallback()
{
    static std::function<void()> callback;
    return callback;
}

int onConnectionLost(void*)
{
    static bool running = false;
    if (running) std::_Exit(1);  // broke again while saving: nothing more to do
    running = true;
    if (lostCallback()) lostCallback()();
    // Returning would let Xlib print its own message and call exit(), which
    // runs destructors that talk to the server that is gone.
    std::_Exit(1);
}

}  // namespace

bool WatchForLostDisplay(std::function<void()> onLost)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return false;
    // SDL loads Xlib privately; RTLD_NOLOAD finds that copy without loading
    // another one.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (xlib == nullptr) return false;
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr) {
        lostCallback() = std::move(onLost);
        setHandler(onConnectionLost);
    }
    dlclose(xlib);  // only drops the count NOLOAD added; SDL keeps it loaded
    return setHandler != nullptr;
}
