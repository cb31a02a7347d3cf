#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_folder.h"

// Headless video for the test process, chosen before SDL starts.
void UseDummyVideo();

struct SDL_Window;
// The window titled "Klotzar", or null.
SDL_Window* FindGameWindow();
// One pixel of what the window's renderer shows, at a place of the picture.
uint32_t PresentedPixel(int32_t x, int32_t y);

// Writes an uncompressed BMP, bottom row first with rows padded to 4 bytes, as
// paint programs do. Pixels are red * 65536 + green * 256 + blue, row by row.
void WriteBmp24(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels);
// An 8-bit BMP: a palette of up to 256 colours and one index per pixel.
void WriteBmp8(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& palette,
               const std::vector<uint8_t>& indices);
