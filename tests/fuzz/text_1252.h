#pragma once
#include <random>
#include <string>

// Random text as the name prompt can give it: printable code page 1252 bytes,
// with blanks and commas more often than chance would bring them.
inline std::string random1252Text(std::mt19937& rng, size_t longest)
{
    std::string text;
    for (size_t length = rng() % (longest + 1); text.size() < length;) {
        const unsigned roll = rng() % 10;
        if (roll == 0) {
            text += ',';
        } else if (roll == 1) {
            text += ' ';
        } else {
            const unsigned char c = static_cast<unsigned char>(0x20 + rng() % (0x100 - 0x20));
            // 0x7F and the five bytes 1252 leaves undefined are not text.
            if (c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) continue;
            text += static_cast<char>(c);
        }
    }
    return text;
}
