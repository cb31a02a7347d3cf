#include "sound/bank_cut.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "sound/soundfont_tables.h"

namespace {

// The format asks for 46 zero points after every sample.
constexpr uint64_t kPaddingBytes = 46 * 2;
constexpr uint32_t kInstrumentGenerator = 41;
constexpr uint32_t kSampleGenerator = 53;
constexpr uint32_t kMonoSample = 1;
constexpr uint32_t kCompressedSample = 0x10;  // Ogg Vorbis, as SoundFont 3 banks have
constexpr uint32_t kRomSample = 0x8000;

const char* const kDamaged = "Tabellen besch\xE4" "digt";

const char* Record(const std::string& table, Table kind, size_t index)
{
    return table.data() + index * kRecordSize[kind];
}

size_t Records(const SoundFontTables& tables, Table kind)
{
    return tables.table[kind].size() / kRecordSize[kind];
}

// One level of the bank: headers (presets or instruments) whose zones (bags)
// hold generators and modulators.
struct Level {
    Table headers, bags, modulators, generators;
    size_t bagField;   // where a header keeps its first bag
    uint32_t target;   // the generator that names the level below
    size_t below;      // how many records the level below has, its terminal one included
};

// Bag indices rise from header to header, and generator and modulator
// indices from bag to bag, and all stay inside their tables: then every
// header's zones and every zone's records are the ranges between them.
bool Consistent(const SoundFontTables& tables, const Level& level)
{
    const size_t headers = Records(tables, level.headers);
    const size_t bags = Records(tables, level.bags);
    const std::string& h = tables.table[level.headers];
    const std::string& b = tables.table[level.bags];
    for (size_t i = 0; i < headers; ++i) {
        const uint32_t bag = Le16(Record(h, level.headers, i) + level.bagField);
        if (bag >= bags) return false;
        if (i > 0 && bag < Le16(Record(h, level.headers, i - 1) + level.bagField)) return false;
    }
    for (size_t j = 0; j < bags; ++j) {
        const char* bag = Record(b, level.bags, j);
        if (Le16(bag) >= Records(tables, level.generators) || Le16(bag + 2) >= Records(tables, level.modulators))
            return false;
        if (j > 0 && (Le16(bag) < Le16(bag - 4) || Le16(bag + 2) < Le16(bag - 2))) return false;
    }
    return true;
}

struct Range {
    uint32_t first, end;
};

Range Bags(const SoundFontTables& tables, const Level& level, size_t header)
{
    const std::string& h = tables.table[level.headers];
    return {Le16(Record(h, level.headers, header) + level.bagField),
            Le16(Record(h, level.headers, header + 1) + level.bagField)};
}

Range Generators(const SoundFontTables& tables, const Level& level, size_t bag)
{
    const std::string& b = tables.table[level.bags];
    return {Le16(Record(b, level.bags, bag)), Le16(Record(b, level.bags, bag + 1))};
}

Range Modulators(const SoundFontTables& tables, const Level& level, size_t bag)
{
    const std::string& b = tables.table[level.bags];
    return {Le16(Record(b, level.bags, bag) + 2), Le16(Record(b, level.bags, bag + 1) + 2)};
}

// Marks in `used` what the kept headers' zones name on the level below;
// false when a zone names something the bank does not have.
bool MarkBelow(const SoundFontTables& tables, const Level& level, const std::vector<bool>& kept,
               std::vector<bool>& used)
{
    used.assign(level.below - 1, false);
    const std::string& g = tables.table[level.generators];
    for (size_t i = 0; i < kept.size(); ++i) {
        if (!kept[i]) continue;
        const Range bags = Bags(tables, level, i);
        for (uint32_t j = bags.first; j < bags.end; ++j) {
            const Range gens = Generators(tables, level, j);
            for (uint32_t k = gens.first; k < gens.end; ++k) {
                const char* gen = Record(g, level.generators, k);
                if (Le16(gen) != level.target) continue;
                if (Le16(gen + 2) >= used.size()) return false;
                used[Le16(gen + 2)] = true;
            }
        }
    }
    return true;
}

// New numbers for the kept records, in their old order; -1 for the rest.
std::vector<int> Renumbered(const std::vector<bool>& kept)
{
    std::vector<int> number(kept.size(), -1);
    int next = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        if (kept[i]) number[i] = next++;
    return number;
}

// The kept headers with their zones, generators and modulators, renumbered,
// each table ending in the old one's terminal record with new counts.
void CutLevel(const SoundFontTables& tables, const Level& level, const std::vector<bool>& kept,
              const std::vector<int>& belowNumber, std::string out[kTableCount])
{
    const std::string& h = tables.table[level.headers];
    const std::string& b = tables.table[level.bags];
    const std::string& g = tables.table[level.generators];
    const std::string& m = tables.table[level.modulators];
    uint32_t bags = 0, gens = 0, mods = 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (!kept[i]) continue;
        std::string header(Record(h, level.headers, i), kRecordSize[level.headers]);
        PutLe16(&header[level.bagField], bags);
        out[level.headers] += header;
        const Range zone = Bags(tables, level, i);
        for (uint32_t j = zone.first; j < zone.end; ++j, ++bags) {
            char bag[4];
            PutLe16(bag, gens);
            PutLe16(bag + 2, mods);
            out[level.bags].append(bag, 4);
            const Range gr = Generators(tables, level, j);
            for (uint32_t k = gr.first; k < gr.end; ++k, ++gens) {
                std::string gen(Record(g, level.generators, k), 4);
                if (Le16(gen.data()) == level.target)
                    PutLe16(&gen[2], static_cast<uint32_t>(belowNumber[Le16(gen.data() + 2)]));
                out[level.generators] += gen;
            }
            const Range mr = Modulators(tables, level, j);
            // Linked modulators name each other by place within their zone,
            // which the copy keeps.
            out[level.modulators].append(Record(m, level.modulators, mr.first),
                                         (mr.end - mr.first) * kRecordSize[level.modulators]);
            mods += mr.end - mr.first;
        }
    }
    std::string terminal(Record(h, level.headers, kept.size()), kRecordSize[level.headers]);
    PutLe16(&terminal[level.bagField], bags);
    out[level.headers] += terminal;
    char bag[4];
    std::memcpy(bag, Record(b, level.bags, Records(tables, level.bags) - 1), 4);
    PutLe16(bag, gens);
    PutLe16(bag + 2, mods);
    out[level.bags].append(bag, 4);
    out[level.generators].append(Record(g, level.generators, Records(tables, level.generators) - 1), 4);
    out[level.modulators].append(Record(m, level.modulators, Records(tables, level.modulators) - 1),
                                 kRecordSize[level.modulators]);
}

// The presets to keep: every one a wanted key names, and for a key the bank
// lacks, what FluidSynth selects instead.
std::vector<bool> KeptPresets(const SoundFontTables& tables, const std::vector<Preset>& wanted)
{
    const size_t count = Records(tables, kPhdr) - 1;
    std::set<Preset> have;
    for (size_t i = 0; i < count; ++i) {
        const char* header = Record(tables.table[kPhdr], kPhdr, i);
        have.insert(Preset{static_cast<int>(Le16(header + 22)), static_cast<int>(Le16(header + 20))});
    }
    std::set<Preset> keys;
    for (const Preset& want : wanted) {
        if (have.count(want)) {
            keys.insert(want);
            continue;
        }
        // The drum channel falls back on the standard kit; a melodic channel
        // on the program's bank 0 preset, then on bank 0 program 0. Bank 128
        // on a melodic channel takes the melodic way, so it gets both.
        if (want.bank == kDrumBank && have.count(Preset{kDrumBank, 0})) keys.insert(Preset{kDrumBank, 0});
        if (have.count(Preset{0, want.program}))
            keys.insert(Preset{0, want.program});
        else if (have.count(Preset{0, 0}))
            keys.insert(Preset{0, 0});
    }
    std::vector<bool> kept(count, false);
    for (size_t i = 0; i < count; ++i) {
        const char* header = Record(tables.table[kPhdr], kPhdr, i);
        kept[i] = keys.count(Preset{static_cast<int>(Le16(header + 22)), static_cast<int>(Le16(header + 20))}) > 0;
    }
    return kept;
}

bool WriteAll(int fd, const void* bytes, size_t count)
{
    const auto* from = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t put = write(fd, from, count);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        from += put;
        count -= static_cast<size_t>(put);
    }
    return true;
}

bool CopyRange(int from, uint64_t offset, uint64_t count, int to, std::vector<char>& buffer)
{
    while (count > 0) {
        const size_t step = static_cast<size_t>(std::min<uint64_t>(count, buffer.size()));
        if (!ReadAt(from, offset, buffer.data(), step) || !WriteAll(to, buffer.data(), step)) return false;
        offset += step;
        count -= step;
    }
    return true;
}

bool WriteChunkHeader(int fd, const char* id, uint64_t size)
{
    char header[8];
    std::memcpy(header, id, 4);
    PutLe32(header + 4, static_cast<uint32_t>(size));
    return WriteAll(fd, header, 8);
}

struct SampleMove {
    uint64_t from = 0;   // byte offset in the old smpl chunk
    uint64_t bytes = 0;  // without the padding
};

}  // namespace

BankCut CutBank(int from, int to, const std::vector<Preset>& wanted)
{
    BankCut cut;
    SoundFontTables tables;
    if (!ReadSoundFontTables(from, tables, cut.refusal)) return cut;

    const size_t instruments = Records(tables, kInst);
    const size_t samples = Records(tables, kShdr);
    const Level presetLevel{kPhdr, kPbag, kPmod, kPgen, 24, kInstrumentGenerator, instruments};
    const Level instrumentLevel{kInst, kIbag, kImod, kIgen, 20, kSampleGenerator, samples};
    if (!Consistent(tables, presetLevel) || !Consistent(tables, instrumentLevel)) {
        cut.refusal = kDamaged;
        return cut;
    }

    const std::vector<bool> keptPresets = KeptPresets(tables, wanted);
    if (std::find(keptPresets.begin(), keptPresets.end(), true) == keptPresets.end()) {
        cut.refusal = "kein Instrument der Musik in der Klangbank";
        return cut;
    }
    std::vector<bool> keptInstruments, keptSamples;
    if (!MarkBelow(tables, presetLevel, keptPresets, keptInstruments) ||
        !MarkBelow(tables, instrumentLevel, keptInstruments, keptSamples)) {
        cut.refusal = kDamaged;
        return cut;
    }

    // Linked samples (stereo pairs and chains) come along with each other:
    // each sample joins the work list once, so a long chain costs no more.
    const std::string& shdr = tables.table[kShdr];
    std::vector<size_t> work;
    for (size_t s = 0; s < keptSamples.size(); ++s)
        if (keptSamples[s]) work.push_back(s);
    while (!work.empty()) {
        const char* header = Record(shdr, kShdr, work.back());
        work.pop_back();
        const uint32_t type = Le16(header + 44);
        if (type & (kCompressedSample | kRomSample)) {
            cut.refusal = type & kRomSample ? "ROM-Samples werden nicht unterst\xFCtzt"
                                            : "komprimierte Samples werden nicht unterst\xFCtzt";
            return cut;
        }
        if (type == kMonoSample) continue;
        const uint32_t link = Le16(header + 42);
        if (link >= keptSamples.size()) {
            cut.refusal = kDamaged;
            return cut;
        }
        if (keptSamples[link]) continue;
        keptSamples[link] = true;
        work.push_back(link);
    }
    const std::vector<int> instrumentNumber = Renumbered(keptInstruments);
    const std::vector<int> sampleNumber = Renumbered(keptSamples);

    std::string out[kTableCount];
    CutLevel(tables, presetLevel, keptPresets, instrumentNumber, out);
    CutLevel(tables, instrumentLevel, keptInstruments, sampleNumber, out);

    // Each kept sample's points, then its padding; loop points move with it.
    std::vector<SampleMove> moves;
    uint64_t sampleBytes = 0;
    uint64_t pointBytes = 0;
    for (size_t s = 0; s + 1 < samples; ++s) {
        if (!keptSamples[s]) continue;
        std::string header(Record(shdr, kShdr, s), kRecordSize[kShdr]);
        const uint64_t start = Le32(&header[20]), end = Le32(&header[24]);
        if (start > end || end * 2 > tables.sampleBytes) {
            cut.refusal = kDamaged;
            return cut;
        }
        const int64_t shift = static_cast<int64_t>(sampleBytes / 2) - static_cast<int64_t>(start);
        for (size_t field : {20, 24, 28, 32}) {
            const int64_t moved = static_cast<int64_t>(Le32(&header[field])) + shift;
            if (moved < 0 || moved > int64_t{0xFFFFFFFF}) {
                cut.refusal = kDamaged;
                return cut;
            }
            PutLe32(&header[field], static_cast<uint32_t>(moved));
        }
        const uint32_t link = Le16(&header[42]);
        PutLe16(&header[42], link + 1 < samples && keptSamples[link] ? static_cast<uint32_t>(sampleNumber[link]) : 0);
        out[kShdr] += header;
        moves.push_back(SampleMove{start * 2, (end - start) * 2});
        sampleBytes += (end - start) * 2 + kPaddingBytes;
        // Samples do not overlap: more points than the bank holds would be
        // the same points over and over, as only a forged table asks for.
        pointBytes += (end - start) * 2;
        if (pointBytes > tables.sampleBytes) {
            cut.refusal = kDamaged;
            return cut;
        }
    }
    out[kShdr].append(Record(shdr, kShdr, samples - 1), kRecordSize[kShdr]);

    uint64_t presetBytes = 4;
    for (const std::string& table : out) presetBytes += 8 + table.size();
    const uint64_t infoPad = tables.infoBytes & 1;
    const uint64_t riffBytes = 4 + tables.infoBytes + infoPad + 8 + 4 + 8 + sampleBytes + 8 + presetBytes;
    if (riffBytes > 0xFFFFFFFFu) {
        cut.refusal = "Datei zu gro\xDF";
        return cut;
    }

    std::vector<char> buffer(64 << 10);
    static const char zeros[kPaddingBytes] = {};
    bool written = WriteChunkHeader(to, "RIFF", riffBytes) && WriteAll(to, "sfbk", 4) &&
                   CopyRange(from, tables.infoOffset, tables.infoBytes, to, buffer) &&
                   WriteAll(to, zeros, infoPad) && WriteChunkHeader(to, "LIST", 4 + 8 + sampleBytes) &&
                   WriteAll(to, "sdta", 4) && WriteChunkHeader(to, "smpl", sampleBytes);
    for (const SampleMove& move : moves) {
        if (!written) break;
        written = CopyRange(from, tables.samplesOffset + move.from, move.bytes, to, buffer) &&
                  WriteAll(to, zeros, kPaddingBytes);
    }
    written = written && WriteChunkHeader(to, "LIST", presetBytes) && WriteAll(to, "pdta", 4);
    for (int t = 0; t < kTableCount && written; ++t)
        written = WriteChunkHeader(to, kTableId[t], out[t].size()) && WriteAll(to, out[t].data(), out[t].size());
    if (!written) {
        cut.refusal = "Lese- oder Schreibfehler";
        return cut;
    }
    cut.done = true;
    cut.presets = static_cast<int>(std::count(keptPresets.begin(), keptPresets.end(), true));
    cut.instruments = static_cast<int>(std::count(keptInstruments.begin(), keptInstruments.end(), true));
    cut.samples = static_cast<int>(moves.size());
    cut.sampleBytes = sampleBytes;
    return cut;
}
