#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/surface.h"

// Font flags, as the game passes them.
constexpr int32_t kFontItalic = 2;
constexpr int32_t kFontUnderline = 4;
constexpr int32_t kFontStrikeOut = 8;

// Draws single lines of code page 1252 text onto our surfaces, anti-aliased,
// with a transparent background: only glyph pixels change.
//
// The face is found through fontconfig; "Arial" resolves to its metric twin
// Liberation Sans. The height is the whole character cell in pixels (ascent
// plus descent); the point size is chosen by measuring, so that the cell is
// as tall as asked, or as close below as the face allows.
//
// Two fonts exist in the game:
//   MakeGameFont()          the shared font of all screens: "Arial", cell 34,
//                           weight 500;
//   MakeDeviceContextFont() what a plain device context writes with when no
//                           font is chosen (the status line, small labels):
//                           same face, cell 16, normal weight.
//
// A font that cannot be opened stays empty and draws nothing. Works without
// any video: the font library is started by the first font and stopped with
// the last one.
class Font {
public:
    // face name, cell height in pixels, weight (400 normal, 700 bold), flags.
    Font(const std::string& faceName, int32_t height, int32_t weight, int32_t flags);
    ~Font();
    Font(Font&&) noexcept;
    Font& operator=(Font&&) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Writes text (1252, cut at its first zero byte) with the top-left corner of
    // its first character cell at (x, y), in a GDI colour value (red + green *
    // 256 + blue * 65536). Cut off at the target's edges, never wrapped. A null
    // or empty target, or empty text, draws nothing. Always returns 1.
    int DrawString(Surface* target, int32_t x, int32_t y, const std::string& text1252, uint32_t gdiColor);

    // Width in pixels that DrawString would cover (0 for an empty font).
    int32_t MeasureString(const std::string& text1252) const;

    bool IsLoaded() const;
    int32_t CellHeight() const;  // measured cell height, 0 when empty
    int32_t PointSize() const;   // the point size chosen for the cell
    std::string FamilyName() const;
    std::string FilePath() const;

    // Number of rendered strings kept for reuse.
    size_t CachedStrings() const;
    static constexpr size_t kCacheCapacity = 64;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

Font MakeGameFont();
Font MakeDeviceContextFont();
