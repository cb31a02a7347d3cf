#pragma once
#include <cstdint>
#include <string>

// Standard MIDI Files put together byte by byte, for the preset reader.
inline std::string BigEndian(uint32_t value, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string Quantity(uint32_t value)
{
    std::string out(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return out;
}

// An event: the ticks since the one before, then its bytes as written
// (a status byte may be left out for running status).
inline std::string Event(uint32_t delta, std::initializer_list<int> bytes)
{
    std::string out = Quantity(delta);
    for (int b : bytes) out += static_cast<char>(b);
    return out;
}

inline std::string Track(const std::string& events)
{
    return "MTrk" + BigEndian(static_cast<uint32_t>(events.size()), 4) + events;
}

inline std::string Midi(int format, int tracks, const std::string& chunks)
{
    return "MThd" + BigEndian(6, 4) + BigEndian(static_cast<uint32_t>(format), 2) +
           BigEndian(static_cast<uint32_t>(tracks), 2) + BigEndian(480, 2) + chunks;
}

inline const std::string kEndOfTrack = Event(0, {0xFF, 0x2F, 0x00});
