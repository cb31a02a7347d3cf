#pragma once
#include <cstdint>
#include <string>

#include "files/game_files.h"
#include "platform/surface.h"

enum class BitmapError { None, NotReadable, NoSurface };

// Reads a BMP file (any depth SDL reads: 8-bit, 24-bit, ...) and scales it to
// exactly width x height by taking the nearest pixel, so colours stay exact
// and the key colour 20 stays transparent. A width or height of 0 keeps the
// file's own. The surface carries the colour key 20. Needs no window.
SurfacePtr ReadBitmapFile(const std::string& path, int32_t width, int32_t height, BitmapError& error);

// The window icon: read through the same guarded path as every picture, and
// scaled down (aspect kept) when a side is over kMostIconSide, since X
// servers refuse larger icon properties outright. Empty when unreadable.
constexpr int32_t kMostIconSide = 256;
SurfacePtr ReadIconFile(const std::string& path);
