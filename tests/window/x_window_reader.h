#pragma once
#include <cstdint>
#include <vector>

struct SDL_Window;

// Reads what the X server shows of the window (not SDL's copy of it) as
// 0xRRGGBB values, width * height of them. False when the window is not an X
// window or cannot be read.
bool ReadWindowFromXServer(SDL_Window* window, int width, int height, std::vector<uint32_t>& pixels);
