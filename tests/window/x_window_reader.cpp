// Kept apart: X11's headers name a type Display, as the game does.
#include "x_window_reader.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

bool ReadWindowFromXServer(SDL_Window* window, int width, int height, std::vector<uint32_t>& pixels)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    // From the root window, where the window lies: what the screen shows.
    ::Display* x = info.info.x11.display;
    const Window root = DefaultRootWindow(x);
    int left = 0;
    int top = 0;
    Window child = 0;
    if (!XTranslateCoordinates(x, info.info.x11.window, root, 0, 0, &left, &top, &child)) return false;
    XWindowAttributes screen{};
    if (!XGetWindowAttributes(x, root, &screen) || left < 0 || top < 0 || left + width > screen.width ||
        top + height > screen.height)
        return false;
    XImage* image = XGetImage(x, root, left, top, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return false;
    const bool readable = image->bits_per_pixel == 32 && image->width == width && image->height == height;
    if (readable) {
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image->data +
                                                                static_cast<ptrdiff_t>(y) * image->bytes_per_line);
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = row[x] & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    return readable;
#else
    (void)window;
    (void)width;
    (void)height;
    (void)pixels;
    return false;
#endif
}
