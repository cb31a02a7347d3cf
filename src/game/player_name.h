#pragma once
#include <cstring>
#include <string>

// The player's name: code page 1252 bytes, at most 20 of them, zero-terminated.
struct PlayerName {
    static constexpr size_t kMaxLength = 20;
    char text[24] = {};

    void set(const std::string& name)
    {
        std::memset(text, 0, sizeof text);
        std::memcpy(text, name.data(), name.size() < kMaxLength ? name.size() : kMaxLength);
    }
    std::string str() const { return text; }
};
