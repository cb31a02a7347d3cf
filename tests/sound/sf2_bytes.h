#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// SoundFont 2 banks put together byte by byte: a handful of presets,
// instruments and samples, laid out as the format says.
struct Sf2Zone {
    std::vector<std::pair<uint16_t, uint16_t>> generators;  // operator, amount
    int modulators = 0;  // made up, each one different
};

struct Sf2Header {  // a preset or an instrument
    std::string name;
    uint16_t program = 0;  // presets only
    uint16_t bank = 0;
    std::vector<Sf2Zone> zones;
};

struct Sf2Sample {
    std::string name;
    std::vector<int16_t> points;
    uint32_t loopStart = 0, loopEnd = 0;  // from the sample's first point
    uint16_t link = 0;
    uint16_t type = 1;  // mono
};

inline std::string Le(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string Name(const std::string& name)
{
    std::string out = name.substr(0, 20);
    out.resize(20, '\0');
    return out;
}

inline std::string Chunk(const std::string& id, const std::string& contents)
{
    return id + Le(static_cast<uint32_t>(contents.size()), 4) + contents + (contents.size() % 2 ? std::string(1, '\0') : "");
}

// The bag, modulator and generator tables of one level, and its headers.
inline void Sf2Level(const std::vector<Sf2Header>& headers, bool presets, std::string& h, std::string& bags,
                     std::string& mods, std::string& gens)
{
    uint32_t bag = 0, gen = 0, mod = 0;
    auto header = [&](const std::string& name, uint16_t program, uint16_t bank) {
        h += Name(name);
        if (presets) h += Le(program, 2) + Le(bank, 2);
        h += Le(bag, 2);
        if (presets) h += std::string(12, '\0');
    };
    for (const Sf2Header& entry : headers) {
        header(entry.name, entry.program, entry.bank);
        for (const Sf2Zone& zone : entry.zones) {
            bags += Le(gen, 2) + Le(mod, 2);
            ++bag;
            for (const auto& [op, amount] : zone.generators) {
                gens += Le(op, 2) + Le(amount, 2);
                ++gen;
            }
            for (int m = 0; m < zone.modulators; ++m, ++mod)
                mods += Le(0x0502 + mod, 2) + Le(48, 2) + Le(100 + mod, 2) + Le(0, 2) + Le(0, 2);
        }
    }
    header(presets ? "EOP" : "EOI", 0, 0);
    bags += Le(gen, 2) + Le(mod, 2);
    mods += std::string(10, '\0');
    gens += std::string(4, '\0');
}

inline std::string Sf2Bank(const std::vector<Sf2Header>& presets, const std::vector<Sf2Header>& instruments,
                           const std::vector<Sf2Sample>& samples, uint16_t major = 2,
                           const std::string& moreSampleChunks = "")
{
    std::string points, shdr;
    for (const Sf2Sample& s : samples) {
        const uint32_t start = static_cast<uint32_t>(points.size() / 2);
        for (int16_t p : s.points) points += Le(static_cast<uint16_t>(p), 2);
        points += std::string(46 * 2, '\0');
        const uint32_t end = start + static_cast<uint32_t>(s.points.size());
        shdr += Name(s.name) + Le(start, 4) + Le(end, 4) + Le(start + s.loopStart, 4) + Le(start + s.loopEnd, 4) +
                Le(22050, 4) + Le(60, 1) + Le(0, 1) + Le(s.link, 2) + Le(s.type, 2);
    }
    shdr += Name("EOS") + std::string(26, '\0');
    std::string phdr, pbag, pmod, pgen, inst, ibag, imod, igen;
    Sf2Level(presets, true, phdr, pbag, pmod, pgen);
    Sf2Level(instruments, false, inst, ibag, imod, igen);
    const std::string info = "INFO" + Chunk("ifil", Le(major, 2) + Le(4, 2)) + Chunk("isng", std::string("EMU8000\0", 8)) +
                             Chunk("INAM", std::string("Kleine Bank\0", 12));
    const std::string sdta = "sdta" + Chunk("smpl", points) + moreSampleChunks;
    const std::string pdta = "pdta" + Chunk("phdr", phdr) + Chunk("pbag", pbag) + Chunk("pmod", pmod) +
                             Chunk("pgen", pgen) + Chunk("inst", inst) + Chunk("ibag", ibag) + Chunk("imod", imod) +
                             Chunk("igen", igen) + Chunk("shdr", shdr);
    return Chunk("RIFF", "sfbk" + Chunk("LIST", info) + Chunk("LIST", sdta) + Chunk("LIST", pdta));
}

// A small General MIDI-like bank: a piano, a stereo harp whose instrument
// names only the left sample (the right one comes by its link), a shared
// instrument, and a drum kit; preset and instrument zones with modulators,
// global zones, loops.
inline std::string SmallBank(uint16_t major = 2, uint16_t harpType = 4, const std::string& moreSampleChunks = "")
{
    constexpr uint16_t kInstrument = 41, kSample = 53, kPan = 17, kKeyRange = 43;
    const std::vector<Sf2Header> presets = {
        {"Piano", 0, 0, {{{{kPan, 10}, {kInstrument, 0}}, 1}}},
        {"Harp", 46, 0, {{{{kPan, 500}}, 2}, {{{kKeyRange, 0x3C00}, {kInstrument, 1}}, 1}, {{{kInstrument, 3}}, 0}}},
        {"Harp GS", 46, 8, {{{{kInstrument, 1}}, 0}}},
        {"Kit", 0, 128, {{{{kInstrument, 2}}, 3}}},
        {"Bass", 38, 0, {{{{kInstrument, 3}}, 0}}},
    };
    const std::vector<Sf2Header> instruments = {
        {"Piano", 0, 0, {{{{kSample, 0}}, 1}}},
        {"Harp", 0, 0, {{{{kPan, 0}}, 1}, {{{kSample, 2}}, 0}}},
        {"Kit", 0, 0, {{{{kKeyRange, 0x2423}, {kSample, 4}}, 0}, {{{kSample, 5}}, 2}}},
        {"Bass", 0, 0, {{{{kSample, 1}}, 0}}},
    };
    auto points = [](int count, int step) {
        std::vector<int16_t> p;
        for (int i = 0; i < count; ++i) p.push_back(static_cast<int16_t>((i * step) % 20000 - 10000));
        return p;
    };
    const std::vector<Sf2Sample> samples = {
        {"Piano", points(300, 97), 100, 280, 0, 1},  {"Bass", points(150, 301), 20, 140, 0, 1},
        {"Harp L", points(200, 53), 50, 190, 3, harpType},  {"Harp R", points(200, 59), 50, 190, 2, 2},
        {"Kick", points(120, 401), 0, 0, 0, 1},      {"Snare", points(90, 733), 0, 0, 0, 1},
    };
    return Sf2Bank(presets, instruments, samples, major, moreSampleChunks);
}
