// 24-bit bitmap files in the layout the game's loader reads: bottom-up rows,
// each padded to four bytes, no palette, no compression.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

// The colour the game skips when it copies a picture: red 0, green 0, blue 20.
constexpr uint8_t kKeyRed = 0, kKeyGreen = 0, kKeyBlue = 20;

// Pixels less than half covered become the key colour; the others are laid
// over the matte, so their soft edges suit the background the picture sits on.
// A drawn pixel that happens to hit the key exactly is moved one step off it.
std::vector<uint8_t> encodeBmp24(const Image& image, Rgb matte = rgb(0, 0, 0));

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
