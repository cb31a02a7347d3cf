#include "bmp_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

uint8_t channel(float v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const Image& image, Rgb matte)
{
    const uint32_t w = static_cast<uint32_t>(image.width());
    const uint32_t h = static_cast<uint32_t>(image.height());
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * h;
    const uint32_t headerSize = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(headerSize + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, headerSize + dataSize);
    put32(out, 0);
    put32(out, headerSize);
    put32(out, 40);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // uncompressed
    put32(out, dataSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);

    for (int y = static_cast<int>(h) - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < static_cast<int>(w); ++x) {
            const Pixel& p = image.at(x, y);
            uint8_t r = kKeyRed, g = kKeyGreen, b = kKeyBlue;
            if (p.a >= 0.5f) {
                const Rgb c = mix(matte, p.c, p.a);
                r = channel(c.r);
                g = channel(c.g);
                b = channel(c.b);
                if (r == kKeyRed && g == kKeyGreen && b == kKeyBlue) b = kKeyBlue + 1;
            }
            out.push_back(b);
            out.push_back(g);
            out.push_back(r);
        }
        while (out.size() - rowStart < stride) out.push_back(0);
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
