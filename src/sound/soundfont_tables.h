#pragma once
#include <cstdint>
#include <string>

// Where a SoundFont 2 bank keeps its parts, and its nine preset tables read
// into memory (a few hundred kilobytes for a General MIDI bank); the sample
// data stays in the file. Only uncompressed 16-bit banks of version 2.x are
// read: anything else is refused with a reason in the log's words.
enum Table { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr, kTableCount };

// Record sizes of the nine tables, in their order in the file.
constexpr size_t kRecordSize[kTableCount] = {38, 4, 10, 4, 22, 4, 10, 4, 46};
extern const char* const kTableId[kTableCount];

struct SoundFontTables {
    uint64_t infoOffset = 0;  // the INFO list, from its chunk header on
    uint64_t infoBytes = 0;   // header and contents, without a pad byte
    uint64_t samplesOffset = 0;  // the smpl chunk's contents
    uint64_t sampleBytes = 0;
    std::string table[kTableCount];  // each with its terminal record
};

// Reads the bank open on fd; false with refusal set when it is no bank this
// reader understands.
bool ReadSoundFontTables(int fd, SoundFontTables& tables, std::string& refusal);

// Reads exactly count bytes at offset; false on an error or the file's end.
bool ReadAt(int fd, uint64_t offset, void* into, size_t count);

inline uint32_t Le16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8;
}

inline uint32_t Le32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline void PutLe16(char* p, uint32_t value)
{
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void PutLe32(char* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
