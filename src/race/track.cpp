#include <string>

#include "files/game_files.h"
#include "game/game.h"
#include "race/race.h"

namespace {

constexpr int kFields = kTrackRows * kColumns;
constexpr size_t kFieldLimit = 2;

// Every field takes at most three characters (two and a comma), so nothing
// past this much of a file can reach the track.
constexpr size_t kMostBytesRead = 2 * kFields * (kFieldLimit + 1) + 16;

// A level file is a few kilobytes; a larger one is no level file and reads
// as missing, an empty track.
constexpr size_t kMostLevelBytes = 1 << 20;

std::string readTextMode(const char* fileName)
{
    std::string text;
    std::string raw;
    // CHANGE: [big-level-empty] an oversized level reads as missing
    if (ReadGameFile(HostPath(fileName), kMostLevelBytes, raw) != FileRead::Ok) return text;
    if (raw.size() > kMostBytesRead) raw.resize(kMostBytesRead);
    // Text mode: a CR LF pair reads as one line feed.
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i]);
    }
    return text;
}

}  // namespace

void loadTrack(RaceState& race, const char* fileName)
{
    const std::string text = readTextMode(fileName);
    size_t pos = 0;
    bool reading = true;
    for (int f = 0; f < kFields; ++f) {
        int32_t value = 0;
        if (reading && pos < text.size()) {
            std::string field;
            while (pos < text.size() && text[pos] != ',' && field.size() < kFieldLimit) field.push_back(text[pos++]);
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
            } else if (pos < text.size()) {
                reading = false;  // over two characters: keep two, read no further
            }
            value = ParseLeadingInt(field);
        } else {
            reading = false;
        }
        race.trackCell(f / kColumns, f % kColumns) = value;
    }
}
