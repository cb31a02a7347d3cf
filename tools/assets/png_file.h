// PNG files for the desktop icons: 8-bit RGBA, the image data in stored
// (uncompressed) deflate blocks, so nothing beyond this file is needed.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

std::vector<uint8_t> encodePngRgba(const Image& image);
