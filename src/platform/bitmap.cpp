#include "platform/bitmap.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "platform/display.h"

namespace {

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

// Source index for target index i when n source pixels become m: the source
// pixel under the centre of the target pixel.
int32_t Nearest(int32_t i, int32_t n, int32_t m)
{
    return static_cast<int32_t>((2 * static_cast<int64_t>(i) + 1) * n / (2 * static_cast<int64_t>(m)));
}

void ScaleInto(const SDL_Surface& from, Surface& to)
{
    const auto* base = static_cast<const uint8_t*>(from.pixels);
    for (int32_t y = 0; y < to.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(base + static_cast<size_t>(Nearest(y, from.h, to.height)) *
                                                                       static_cast<size_t>(from.pitch));
        uint32_t* out = to.row(y);
        for (int32_t x = 0; x < to.width; ++x) {
            // The unused top byte is cleared so that the key compares exactly.
            out[x] = row[Nearest(x, from.w, to.width)] & 0x00FFFFFFu;
        }
    }
}

}  // namespace

SurfacePtr ReadBitmapFile(const std::string& path, int32_t width, int32_t height, BitmapError& error)
{
    error = BitmapError::None;
    SdlSurfacePtr loaded(SDL_LoadBMP(HostPath(path).c_str()));
    if (!loaded || loaded->w <= 0 || loaded->h <= 0) {
        error = BitmapError::NotReadable;
        return nullptr;
    }
    SdlSurfacePtr converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
    SurfacePtr surface =
        CreateSurface(width == 0 ? loaded->w : width, height == 0 ? loaded->h : height);
    if (!converted || !surface) {
        error = BitmapError::NoSurface;
        return nullptr;
    }
    if (SDL_MUSTLOCK(converted.get()) && SDL_LockSurface(converted.get()) != 0) {
        error = BitmapError::NoSurface;
        return nullptr;
    }
    ScaleInto(*converted, *surface);
    if (SDL_MUSTLOCK(converted.get())) SDL_UnlockSurface(converted.get());
    surface->hasColorKey = true;
    surface->colorKey = kColorKey;
    return surface;
}

SurfacePtr Display::LoadBitmapSurface(const std::string& path, int32_t width, int32_t height)
{
    BitmapError error = BitmapError::None;
    SurfacePtr surface = ReadBitmapFile(path, width, height, error);
    switch (error) {
    case BitmapError::NotReadable:
        log_.WriteLine("DDraw: Datei nicht gefunden : ", path);
        break;
    case BitmapError::NoSurface:
        log_.WriteLine("DDraw: Fehler beim Anlegen der Oberfl\xE4" "che f\xFC" "r : ", path);
        break;
    case BitmapError::None:
        log_.WriteLine("DDraw: Grafik geladen OK : ", path);
        break;
    }
    return surface;
}
