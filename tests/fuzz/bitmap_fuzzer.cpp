// Arbitrary bytes as a bitmap file, loaded at a requested size of up to
// 256 x 256. The loader must give either nothing or a keyed surface of
// exactly that size whose pixels all come from the file (nearest pixel, never
// a mix); read again at the file's own size, it must give the file's pixels.
//
// Input: one byte of flags (bit 0: read at the own size too), two bytes each
// of width and height, then the file.
#include <SDL.h>

#include <memory>
#include <string>
#include <unordered_set>

#include "fuzz_folder.h"
#include "platform/bitmap.h"
#include "platform/sdl_handles.h"

namespace {

constexpr int32_t kLargestRequest = 256;
// Pictures with more pixels than this are only checked for size and key:
// comparing every pixel would slow the fuzzer down for little gain.
constexpr int64_t kLargestCompared = 1 << 16;

// The file as SDL reads it, in the game's pixel format; empty if unreadable.
SdlSurfacePtr referencePixels(const std::string& path)
{
    SdlSurfacePtr loaded(SDL_LoadBMP(path.c_str()));
    if (!loaded) return nullptr;
    return SdlSurfacePtr(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
}

uint32_t pixelAt(const SDL_Surface& s, int x, int y)
{
    const auto* row = static_cast<const uint8_t*>(s.pixels) + static_cast<size_t>(y) * static_cast<size_t>(s.pitch);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0x00FFFFFFu;
}

void checkShape(const Surface& surface, int32_t width, int32_t height)
{
    check(surface.width == width && surface.height == height, "the surface is not the requested size");
    check(surface.pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height),
          "the surface's pixels do not match its size");
    check(surface.hasColorKey && surface.colorKey == kColorKey, "the surface lacks the colour key 20");
    for (uint32_t pixel : surface.pixels) check((pixel >> 24) == 0, "a pixel with its top byte set");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    const bool alsoOwnSize = (data[0] & 1) != 0;
    const int32_t width = 1 + (data[1] | data[2] << 8) % kLargestRequest;
    const int32_t height = 1 + (data[3] | data[4] << 8) % kLargestRequest;
    const std::string path = fuzzFolder() / "picture.bmp";
    check(writeBytes(path, data + 5, size - 5), "cannot write the input file");

    BitmapError error = BitmapError::None;
    const SurfacePtr surface = ReadBitmapFile(path, width, height, error);
    if (!surface) {
        check(error != BitmapError::None, "no surface, but no error either");
        return 0;
    }
    check(error == BitmapError::None, "a surface and an error");
    checkShape(*surface, width, height);

    // Only a file the loader took is read again for comparison: SDL's own
    // reader would believe whatever size a broken header claims.
    const SdlSurfacePtr source = referencePixels(path);
    check(source != nullptr, "a surface from a file SDL cannot read");
    if (static_cast<int64_t>(source->w) * source->h > kLargestCompared) return 0;

    std::unordered_set<uint32_t> colours;
    for (int y = 0; y < source->h; ++y)
        for (int x = 0; x < source->w; ++x) colours.insert(pixelAt(*source, x, y));
    for (uint32_t pixel : surface->pixels) check(colours.count(pixel) == 1, "a scaled pixel is not one of the file's");

    if (alsoOwnSize) {
        // Width and height 0 keep the file's own size: then every pixel is the file's.
        const SurfacePtr own = ReadBitmapFile(path, 0, 0, error);
        check(own != nullptr, "the file read at one size but not at its own");
        checkShape(*own, source->w, source->h);
        for (int y = 0; y < source->h; ++y)
            for (int x = 0; x < source->w; ++x)
                check(own->row(y)[x] == pixelAt(*source, x, y), "a picture at its own size differs from the file");
    }
    return 0;
}
