#include "sound/soundfont_tables.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char* const kTableId[kTableCount] = {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};

namespace {

// Far above any General MIDI bank's tables (TimGM6mb's come to 150 KB).
constexpr uint64_t kMostInfoBytes = 1 << 20;
constexpr uint64_t kMostTableBytes = 16 << 20;

struct Chunk {
    char id[4];
    uint64_t contents = 0;  // offset of the contents
    uint64_t size = 0;
    uint64_t Next() const { return contents + size + (size & 1); }
    bool Is(const char* name) const { return std::memcmp(id, name, 4) == 0; }
};

bool ReadChunk(int fd, uint64_t offset, uint64_t end, Chunk& chunk)
{
    char header[8];
    if (offset + 8 > end || !ReadAt(fd, offset, header, 8)) return false;
    std::memcpy(chunk.id, header, 4);
    chunk.contents = offset + 8;
    chunk.size = Le32(header + 4);
    return chunk.contents + chunk.size <= end;
}

const char* const kDamaged = "Tabellen besch\xE4" "digt";
const char* const kCut = "Datei unvollst\xE4" "ndig";

// The INFO list: only the version is looked at; the rest is copied as it is.
bool CheckVersion(int fd, const Chunk& list, std::string& refusal)
{
    if (list.size > kMostInfoBytes) {
        refusal = "INFO zu gro\xDF";
        return false;
    }
    const uint64_t end = list.contents + list.size;
    Chunk chunk;
    for (uint64_t at = list.contents + 4; at < end; at = chunk.Next()) {
        if (!ReadChunk(fd, at, end, chunk)) break;
        if (!chunk.Is("ifil")) continue;
        char version[4];
        if (chunk.size != 4 || !ReadAt(fd, chunk.contents, version, 4)) break;
        if (Le16(version) != 2) {
            refusal = "SoundFont-Version " + std::to_string(Le16(version)) + " wird nicht unterst\xFCtzt";
            return false;
        }
        return true;
    }
    refusal = "keine SoundFont-Version";
    return false;
}

bool ReadSamples(int fd, const Chunk& list, SoundFontTables& tables, std::string& refusal)
{
    const uint64_t end = list.contents + list.size;
    Chunk chunk;
    bool found = false;
    for (uint64_t at = list.contents + 4; at < end; at = chunk.Next()) {
        if (!ReadChunk(fd, at, end, chunk)) {
            refusal = kDamaged;
            return false;
        }
        if (chunk.Is("sm24")) {
            refusal = "24-Bit-Samples werden nicht unterst\xFCtzt";
            return false;
        }
        if (!chunk.Is("smpl")) continue;
        if (found || chunk.size % 2 != 0) break;
        found = true;
        tables.samplesOffset = chunk.contents;
        tables.sampleBytes = chunk.size;
    }
    if (!found) refusal = kDamaged;
    return found;
}

bool ReadPresetTables(int fd, const Chunk& list, SoundFontTables& tables, std::string& refusal)
{
    if (list.size > kMostTableBytes) {
        refusal = "Tabellen zu gro\xDF";
        return false;
    }
    const uint64_t end = list.contents + list.size;
    bool found[kTableCount] = {};
    Chunk chunk;
    for (uint64_t at = list.contents + 4; at < end; at = chunk.Next()) {
        if (!ReadChunk(fd, at, end, chunk)) {
            refusal = kDamaged;
            return false;
        }
        for (int t = 0; t < kTableCount; ++t) {
            if (!chunk.Is(kTableId[t])) continue;
            // Each table once, whole records only, its terminal record at least.
            if (found[t] || chunk.size % kRecordSize[t] != 0 || chunk.size == 0) {
                refusal = kDamaged;
                return false;
            }
            found[t] = true;
            tables.table[t].resize(chunk.size);
            if (!ReadAt(fd, chunk.contents, tables.table[t].data(), chunk.size)) {
                refusal = "Lesefehler";
                return false;
            }
        }
    }
    for (bool f : found) {
        if (!f) {
            refusal = kDamaged;
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadAt(int fd, uint64_t offset, void* into, size_t count)
{
    auto* to = static_cast<char*>(into);
    while (count > 0) {
        const ssize_t got = pread(fd, to, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        to += got;
        offset += static_cast<uint64_t>(got);
        count -= static_cast<size_t>(got);
    }
    return true;
}

bool ReadSoundFontTables(int fd, SoundFontTables& tables, std::string& refusal)
{
    struct stat about {};
    if (fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
        refusal = "keine regul\xE4re Datei";
        return false;
    }
    const uint64_t fileSize = static_cast<uint64_t>(about.st_size);
    char header[12];
    if (fileSize < 12 || !ReadAt(fd, 0, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "sfbk", 4) != 0) {
        refusal = "keine SoundFont-Datei";
        return false;
    }
    const uint64_t end = 8 + uint64_t{Le32(header + 4)};
    if (end > fileSize) {
        refusal = kCut;
        return false;
    }
    bool haveInfo = false, haveSamples = false, havePresets = false;
    Chunk chunk;
    for (uint64_t at = 12; at < end; at = chunk.Next()) {
        char type[4];
        if (!ReadChunk(fd, at, end, chunk)) {
            refusal = kCut;
            return false;
        }
        if (!chunk.Is("LIST")) continue;
        if (chunk.size < 4 || !ReadAt(fd, chunk.contents, type, 4)) {
            refusal = kDamaged;
            return false;
        }
        bool* seen = nullptr;
        bool read = true;
        if (std::memcmp(type, "INFO", 4) == 0) {
            seen = &haveInfo;
            read = !haveInfo && CheckVersion(fd, chunk, refusal);
            tables.infoOffset = at;
            tables.infoBytes = 8 + chunk.size;
        } else if (std::memcmp(type, "sdta", 4) == 0) {
            seen = &haveSamples;
            read = !haveSamples && ReadSamples(fd, chunk, tables, refusal);
        } else if (std::memcmp(type, "pdta", 4) == 0) {
            seen = &havePresets;
            read = !havePresets && ReadPresetTables(fd, chunk, tables, refusal);
        }
        if (!read) {
            if (refusal.empty()) refusal = kDamaged;
            return false;
        }
        if (seen) *seen = true;
    }
    if (!haveInfo || !haveSamples || !havePresets) {
        refusal = kDamaged;
        return false;
    }
    return true;
}
