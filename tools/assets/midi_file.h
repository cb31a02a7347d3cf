// Standard MIDI files, format 1: one conductor track and one track per part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MidiTrack {
    struct Event {
        uint32_t tick;
        int order;  // at one tick: note-offs, then settings, then note-ons
        std::vector<uint8_t> bytes;
    };
    std::string name;
    std::vector<Event> events;

    void note(uint32_t tick, uint32_t length, int channel, int key, int velocity);
    void program(uint32_t tick, int channel, int program);
    void control(uint32_t tick, int channel, int controller, int value);
    void tempo(uint32_t tick, uint32_t microsecondsPerQuarter);
    void timeSignature(uint32_t tick, int numerator, int denominatorPower);
    void text(uint32_t tick, int type, const std::string& s);
    uint32_t lastTick() const;
};

std::vector<uint8_t> encodeMidi(const std::vector<MidiTrack>& tracks, int ticksPerQuarter);
