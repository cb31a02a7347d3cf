#include "midi_file.h"

#include <algorithm>

namespace {

void putVarLen(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while ((v >>= 7) != 0) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n > 0) out.push_back(buf[--n]);
}

void putBig(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int k = bytes - 1; k >= 0; --k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

uint8_t byte7(int v)
{
    return static_cast<uint8_t>(std::clamp(v, 0, 127));
}

}  // namespace

void MidiTrack::note(uint32_t tick, uint32_t length, int channel, int key, int velocity)
{
    const auto ch = static_cast<uint8_t>(channel & 0x0F);
    events.push_back({tick, 2, {static_cast<uint8_t>(0x90 | ch), byte7(key), byte7(std::max(1, velocity))}});
    events.push_back({tick + length, 0, {static_cast<uint8_t>(0x80 | ch), byte7(key), 64}});
}

void MidiTrack::program(uint32_t tick, int channel, int program)
{
    events.push_back({tick, 1, {static_cast<uint8_t>(0xC0 | (channel & 0x0F)), byte7(program)}});
}

void MidiTrack::control(uint32_t tick, int channel, int controller, int value)
{
    events.push_back({tick, 1, {static_cast<uint8_t>(0xB0 | (channel & 0x0F)), byte7(controller), byte7(value)}});
}

void MidiTrack::tempo(uint32_t tick, uint32_t microsecondsPerQuarter)
{
    std::vector<uint8_t> b = {0xFF, 0x51, 0x03};
    putBig(b, microsecondsPerQuarter, 3);
    events.push_back({tick, 1, b});
}

void MidiTrack::timeSignature(uint32_t tick, int numerator, int denominatorPower)
{
    events.push_back({tick, 1, {0xFF, 0x58, 0x04, byte7(numerator), byte7(denominatorPower), 24, 8}});
}

void MidiTrack::text(uint32_t tick, int type, const std::string& s)
{
    std::vector<uint8_t> b = {0xFF, static_cast<uint8_t>(type)};
    putVarLen(b, static_cast<uint32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    events.push_back({tick, 1, b});
}

uint32_t MidiTrack::lastTick() const
{
    uint32_t last = 0;
    for (const auto& e : events) last = std::max(last, e.tick);
    return last;
}

std::vector<uint8_t> encodeMidi(const std::vector<MidiTrack>& tracks, int ticksPerQuarter)
{
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    putBig(out, 6, 4);
    putBig(out, 1, 2);
    putBig(out, static_cast<uint32_t>(tracks.size()), 2);
    putBig(out, static_cast<uint32_t>(ticksPerQuarter), 2);

    uint32_t end = 0;
    for (const auto& t : tracks) end = std::max(end, t.lastTick());

    for (const auto& t : tracks) {
        std::vector<MidiTrack::Event> events = t.events;
        if (!t.name.empty()) {
            MidiTrack named;
            named.text(0, 0x03, t.name);
            events.insert(events.begin(), named.events.front());
            events.front().order = -1;
        }
        std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        for (const auto& e : events) {
            putVarLen(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        // Every track ends together, at the last event of the piece.
        putVarLen(body, end - now);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        putBig(out, static_cast<uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}
