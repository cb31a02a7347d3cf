#include "platform_test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

void UseDummyVideo()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

SDL_Window* FindGameWindow()
{
    // Window ids are handed out from 1 upwards.
    for (Uint32 id = 1; id < 1000; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (window && std::strcmp(SDL_GetWindowTitle(window), "Klotzar") == 0) return window;
    }
    return nullptr;
}

uint32_t PresentedPixel(int32_t x, int32_t y)
{
    SDL_Window* window = FindGameWindow();
    SDL_Renderer* renderer = window ? SDL_GetRenderer(window) : nullptr;
    if (!renderer) {
        ADD_FAILURE() << "no renderer on the game window";
        return 0xFFFFFFFFu;
    }
    // Reading takes window pixels: look at the middle of the picture's pixel.
    int windowX = 0;
    int windowY = 0;
    SDL_RenderLogicalToWindow(renderer, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, &windowX, &windowY);
    const SDL_Rect one{windowX, windowY, 1, 1};
    uint32_t pixel = 0;
    if (SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_RGB888, &pixel, 4) != 0) {
        ADD_FAILURE() << SDL_GetError();
        return 0xFFFFFFFFu;
    }
    return pixel & 0x00FFFFFFu;
}

namespace {

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void WriteBmp(const std::string& path, int32_t width, int32_t height, int bits, const std::vector<uint32_t>& palette,
              const std::string& rows)
{
    const uint32_t headers = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    std::string out;
    out += "BM";
    Put32(out, headers + static_cast<uint32_t>(rows.size()));
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // no compression
    Put32(out, static_cast<uint32_t>(rows.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(palette.size()));
    Put32(out, 0);
    for (uint32_t colour : palette) Put32(out, colour);  // blue, green, red, 0
    out += rows;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << out;
}

}  // namespace

void WriteBmp24(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    std::string rows;
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * width + x)];
            rows.push_back(static_cast<char>(p & 0xFF));
            rows.push_back(static_cast<char>((p >> 8) & 0xFF));
            rows.push_back(static_cast<char>((p >> 16) & 0xFF));
        }
        while (rows.size() % 4 != 0) rows.push_back('\0');
    }
    WriteBmp(path, width, height, 24, {}, rows);
}

void WriteBmp8(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& palette,
               const std::vector<uint8_t>& indices)
{
    std::string rows;
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x)
            rows.push_back(static_cast<char>(indices[static_cast<size_t>(y * width + x)]));
        while (rows.size() % 4 != 0) rows.push_back('\0');
    }
    WriteBmp(path, width, height, 8, palette, rows);
}
