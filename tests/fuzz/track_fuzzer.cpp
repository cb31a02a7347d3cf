// Arbitrary bytes as a level file. Every one of the 3000 track cells must be
// assigned, with a value of at most two characters (-9 to 99), and the track
// must be what a plain reading of the level-file rules gives.
#include <algorithm>
#include <string>

#include "fuzz_folder.h"
#include "race/race.h"

namespace {

constexpr int32_t kUnset = 0x7EADBEEF;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t fieldValue(const std::string& field)
{
    size_t i = 0;
    while (i < field.size() && isBlank(field[i])) ++i;
    int32_t sign = 1;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) sign = field[i++] == '-' ? -1 : 1;
    int32_t value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') value = value * 10 + (field[i++] - '0');
    return sign * value;
}

// The rules, read the slow way: text mode, then fields of at most two
// characters up to a comma; a longer field ends the reading for good.
void expectedTrack(const std::string& bytes, int32_t (&cells)[kTrackRows * kColumns])
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    size_t pos = 0;
    bool stopped = false;
    for (int32_t& cell : cells) {
        cell = 0;
        if (stopped || pos >= text.size()) continue;
        const size_t comma = text.find(',', pos);
        const size_t length = (comma == std::string::npos ? text.size() : comma) - pos;
        cell = fieldValue(text.substr(pos, std::min<size_t>(length, 2)));
        if (length > 2) stopped = true;
        pos += length + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static RaceState race;

    const std::string path = fuzzFolder() / "1.dat";
    check(writeBytes(path, data, size), "cannot write the input file");
    for (int32_t r = 0; r < kTrackRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) race.trackCell(r, c) = kUnset;

    loadTrack(race, path.c_str());

    static int32_t expected[kTrackRows * kColumns];
    expectedTrack(std::string(reinterpret_cast<const char*>(data), size), expected);
    for (int32_t r = 0; r < kTrackRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            const int32_t cell = race.trackCell(r, c);
            check(cell != kUnset, "a track cell was not assigned");
            check(cell >= -9 && cell <= 99, "a track cell outside -9..99");
            if (cell != expected[r * kColumns + c]) {
                std::fprintf(stderr, "row %d column %d: %d, expected %d\n", r, c, cell, expected[r * kColumns + c]);
                fail("the track differs from the level-file rules");
            }
        }
    }
    return 0;
}
