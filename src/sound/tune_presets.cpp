#include "sound/tune_presets.h"

#include <bitset>
#include <cstdint>
#include <limits>

namespace {

constexpr int kChannels = 16;
constexpr int kDrumChannel = 9;  // channel 10, as General MIDI counts
constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

// The first of a kind of event on a channel: ticks from the start of its
// track, and for events at the same tick of the same track, their order.
struct Place {
    uint64_t tick = kNever;
    size_t track = 0;
    size_t event = 0;
    bool inOtherTracks = false;  // more such events at this tick, elsewhere

    void KeepEarlier(const Place& other)
    {
        if (other.tick < tick) {
            *this = other;
        } else if (other.tick == tick && other.track != track) {
            inOtherTracks = true;
        }
    }
    // Tracks play side by side: at the same tick, an event of another track
    // may come first or not.
    bool MayComeBefore(const Place& other) const
    {
        if (tick != other.tick) return tick < other.tick;
        return track != other.track || inOtherTracks || other.inOtherTracks || event < other.event;
    }
};

// What a tune does to one channel, over all its tracks.
struct ChannelUse {
    std::bitset<128> programs;   // every program change
    std::bitset<128> banks;      // every bank select (controller 0)
    Place firstProgram;
    Place firstNote;
};

struct TuneUse {
    ChannelUse channels[kChannels];
    bool systemExclusive = false;  // may switch a channel between drums and melody
};

struct Reader {
    const unsigned char* at;
    const unsigned char* end;

    size_t Left() const { return static_cast<size_t>(end - at); }

    bool Byte(unsigned& value)
    {
        if (at == end) return false;
        value = *at++;
        return true;
    }

    // A variable-length quantity: at most four bytes, as MIDI allows.
    bool Quantity(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned byte = 0;
            if (!Byte(byte)) return false;
            value = (value << 7) | (byte & 0x7Fu);
            if ((byte & 0x80u) == 0) return true;
        }
        return false;
    }

    bool Skip(uint32_t count)
    {
        if (count > Left()) return false;
        at += count;
        return true;
    }
};

uint32_t BigEndian32(const unsigned char* p)
{
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

enum class Track { Read, Cut, NotUnderstood };

// Reads one track's events into use. A track cut short counts as far as it
// goes; a byte that can be no event at all makes the file one this reader does
// not understand.
Track ReadTrack(Reader track, size_t number, TuneUse& use)
{
    uint64_t tick = 0;
    size_t events = 0;
    unsigned status = 0;
    while (track.Left() > 0) {
        uint32_t delta = 0;
        if (!track.Quantity(delta)) return Track::Cut;
        tick += delta;
        unsigned byte = 0;
        if (!track.Byte(byte)) return Track::Cut;
        // Meta and system exclusive events leave the running status alone:
        // whether they end it or not, reading on as the channel's event
        // finds every preset there may be.
        if (byte < 0x80) {
            if (status == 0) return Track::NotUnderstood;  // data with no status to run on
            --track.at;
        } else if (byte < 0xF0) {
            status = byte;
        }
        if (byte == 0xFF) {
            unsigned type = 0;
            uint32_t length = 0;
            if (!track.Byte(type) || !track.Quantity(length) || !track.Skip(length)) return Track::Cut;
            continue;
        }
        if (byte == 0xF0 || byte == 0xF7) {
            use.systemExclusive = true;
            uint32_t length = 0;
            if (!track.Quantity(length) || !track.Skip(length)) return Track::Cut;
            continue;
        }
        if (byte > 0xF0) return Track::NotUnderstood;  // real-time and common messages have no place in a file
        const unsigned kind = status & 0xF0u;
        ChannelUse& channel = use.channels[status & 0x0Fu];
        unsigned first = 0;
        unsigned second = 0;
        if (!track.Byte(first)) return Track::Cut;
        if (kind != 0xC0 && kind != 0xD0 && !track.Byte(second)) return Track::Cut;
        first &= 0x7Fu;
        second &= 0x7Fu;
        const Place here{tick, number, events++, false};
        if (kind == 0x90 && second > 0) channel.firstNote.KeepEarlier(here);
        if (kind == 0xB0 && first == 0) channel.banks.set(second);
        if (kind == 0xC0) {
            channel.programs.set(first);
            channel.firstProgram.KeepEarlier(here);
        }
    }
    return Track::Read;
}

void AddPreset(std::bitset<129 * 128>& presets, int bank, int program)
{
    presets.set(static_cast<size_t>(bank * 128 + program));
}

}  // namespace

std::optional<std::vector<Preset>> TunePresets(std::string_view file)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    Reader reader{bytes, bytes + file.size()};
    if (file.size() < 14 || file.substr(0, 4) != "MThd") return std::nullopt;
    const uint32_t headerLength = BigEndian32(bytes + 4);
    reader.at += 8;
    if (headerLength < 6 || !reader.Skip(headerLength)) return std::nullopt;

    TuneUse use;
    size_t tracks = 0;
    // Every chunk after the header; a track that claims more than is there
    // is read as far as it goes, and nothing follows it.
    while (reader.Left() >= 8) {
        const std::string_view id(reinterpret_cast<const char*>(reader.at), 4);
        const uint32_t length = BigEndian32(reader.at + 4);
        reader.at += 8;
        const size_t inFile = length < reader.Left() ? length : reader.Left();
        if (id == "MTrk" && ReadTrack(Reader{reader.at, reader.at + inFile}, tracks++, use) == Track::NotUnderstood)
            return std::nullopt;
        reader.at += inFile;
    }

    // FluidSynth selects a preset on a program change: bank 128 on the drum
    // channel, the last bank select's bank elsewhere (tracks interleave, so any
    // bank the channel ever selects). Before the first one, a channel plays bank
    // 0 program 0, or the drum kit 128/0. System exclusive messages may turn a
    // channel into a drum channel or back, so then both readings count.
    std::bitset<129 * 128> presets;
    for (int c = 0; c < kChannels; ++c) {
        const ChannelUse& channel = use.channels[c];
        const bool drums = c == kDrumChannel || use.systemExclusive;
        const bool melody = c != kDrumChannel || use.systemExclusive;
        std::bitset<128> banks = channel.banks;
        banks.set(0);
        for (int program = 0; program < 128; ++program) {
            if (!channel.programs.test(static_cast<size_t>(program))) continue;
            if (drums) AddPreset(presets, kDrumBank, program);
            for (int bank = 0; melody && bank < 128; ++bank)
                if (banks.test(static_cast<size_t>(bank))) AddPreset(presets, bank, program);
        }
        if (channel.firstNote.tick != kNever && channel.firstNote.MayComeBefore(channel.firstProgram)) {
            if (drums) AddPreset(presets, kDrumBank, 0);
            if (melody) AddPreset(presets, 0, 0);
        }
    }
    std::vector<Preset> found;
    for (size_t i = 0; i < presets.size(); ++i)
        if (presets.test(i)) found.push_back(Preset{static_cast<int>(i / 128), static_cast<int>(i % 128)});
    return found;
}
