#include "platform/bitmap.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/sdl_handles.h"

namespace {

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

// CHANGE: [picture-size-bound] a huge or lying header is refused
// Pictures larger than this are refused before anything is allocated for
// them: a broken or hostile header must not make the loader ask for
// gigabytes. 4096 x 4096 is far beyond any screen picture of the game.
constexpr int64_t kMostPixels = int64_t{4096} * 4096;
constexpr long kMostFileBytes = 4 * kMostPixels + 65536;

uint32_t LittleEndian(const std::string& bytes, size_t at, size_t size)
{
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

// Checks the size a BMP header claims, before the picture library sees it:
// the header must be whole, an uncompressed picture must fit in its file, and
// no picture may be huge.
bool PlausibleBitmap(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return true;  // not a BMP: the library says so
    if (bytes.size() < 18) return false;
    const uint64_t headerSize = LittleEndian(bytes, 14, 4);
    if (headerSize < 12 || bytes.size() < 14 + headerSize) return false;
    int64_t width = 0;
    int64_t height = 0;
    int64_t bitsPerPixel = 0;
    uint32_t compression = 0;
    if (headerSize < 16) {  // the old 12-byte header: 16-bit sizes
        width = LittleEndian(bytes, 18, 2);
        height = LittleEndian(bytes, 20, 2);
        bitsPerPixel = LittleEndian(bytes, 24, 2);
    } else {
        width = static_cast<int32_t>(LittleEndian(bytes, 18, 4));
        height = static_cast<int32_t>(LittleEndian(bytes, 22, 4));
        bitsPerPixel = LittleEndian(bytes, 28, 2);
        if (headerSize >= 20) compression = LittleEndian(bytes, 30, 4);
    }
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    if (width * height > kMostPixels) return false;
    const int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return compression != 0 || rowBytes * height <= static_cast<int64_t>(bytes.size());
}

// The file's bytes through the guarded reader, the header checked, then
// decoded; empty when any step fails.
SdlSurfacePtr LoadGuardedBitmap(const std::string& path)
{
    std::string bytes;
    if (ReadGameFile(HostPath(path), static_cast<size_t>(kMostFileBytes), bytes) != FileRead::Ok) return nullptr;
    if (!PlausibleBitmap(bytes)) return nullptr;
    SdlSurfacePtr loaded(SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!loaded || loaded->w <= 0 || loaded->h <= 0) return nullptr;
    return loaded;
}

// The size a picture of w x h gets when its longer side is cut to most,
// the aspect kept; at least one pixel each way.
void FitWithin(int32_t w, int32_t h, int32_t most, int32_t& width, int32_t& height)
{
    width = w;
    height = h;
    if (w <= most && h <= most) return;
    const int64_t longer = std::max(w, h);
    width = std::max<int32_t>(1, static_cast<int32_t>(int64_t{w} * most / longer));
    height = std::max<int32_t>(1, static_cast<int32_t>(int64_t{h} * most / longer));
}

// A picture already of the wanted size, in a format SDL converts directly:
// its pixels go straight into the new surface, without a converted copy of
// the whole picture in between (1.9 MB for a screen picture).
SurfacePtr ConvertedInPlace(SDL_Surface& loaded)
{
    // Palettes and alpha go the long way, whose results are known.
    if (SDL_ISPIXELFORMAT_INDEXED(loaded.format->format) || SDL_ISPIXELFORMAT_ALPHA(loaded.format->format))
        return nullptr;
    SurfacePtr surface = CreateSurface(loaded.w, loaded.h);
    if (!surface) return nullptr;
    if (SDL_MUSTLOCK(&loaded) && SDL_LockSurface(&loaded) != 0) return nullptr;
    const int converted = SDL_ConvertPixels(loaded.w, loaded.h, loaded.format->format, loaded.pixels, loaded.pitch,
                                            SDL_PIXELFORMAT_RGB888, surface->pixels.data(),
                                            loaded.w * static_cast<int>(sizeof(uint32_t)));
    if (SDL_MUSTLOCK(&loaded)) SDL_UnlockSurface(&loaded);
    if (converted != 0) return nullptr;
    // The unused top byte is cleared so that the key compares exactly.
    for (uint32_t& pixel : surface->pixels) pixel &= 0x00FFFFFFu;
    return surface;
}

SurfacePtr ScaledCopy(SDL_Surface& loaded, int32_t width, int32_t height, BitmapError& error)
{
    if (width == loaded.w && height == loaded.h) {
        if (SurfacePtr surface = ConvertedInPlace(loaded)) return surface;
    }
    SdlSurfacePtr converted(SDL_ConvertSurfaceFormat(&loaded, SDL_PIXELFORMAT_RGB888, 0));
    SurfacePtr surface = CreateSurface(width, height);
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
    return surface;
}

}  // namespace

SurfacePtr ReadBitmapFile(const std::string& path, int32_t width, int32_t height, BitmapError& error)
{
    error = BitmapError::None;
    SdlSurfacePtr loaded = LoadGuardedBitmap(path);
    if (!loaded) {
        error = BitmapError::NotReadable;
        return nullptr;
    }
    SurfacePtr surface = ScaledCopy(*loaded, width == 0 ? loaded->w : width, height == 0 ? loaded->h : height, error);
    if (!surface) return nullptr;
    surface->hasColorKey = true;
    surface->colorKey = kColorKey;
    return surface;
}

SurfacePtr ReadIconFile(const std::string& path)
{
    SdlSurfacePtr loaded = LoadGuardedBitmap(path);
    if (!loaded) return nullptr;
    int32_t width = 0;
    int32_t height = 0;
    FitWithin(loaded->w, loaded->h, kMostIconSide, width, height);
    BitmapError error = BitmapError::None;
    return ScaledCopy(*loaded, width, height, error);
}

SurfacePtr Display::LoadBitmapSurface(const std::string& path, int32_t width, int32_t height)
{
    BitmapError error = BitmapError::None;
    SurfacePtr surface = ReadBitmapFile(path, width, height, error);
    switch (error) {
    case BitmapError::NotReadable: Report("DDraw: Datei nicht gefunden : ", path); break;
    case BitmapError::NoSurface:
        Report("DDraw: Fehler beim Anlegen der Oberfl\xE4"
               "che f\xFC"
               "r : ",
               path);
        break;
    case BitmapError::None: Report("DDraw: Grafik geladen OK : ", path); break;
    }
    return surface;
}
