#include "replay/replay_files.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <set>

#include "files/game_files.h"
#include "highscore/highscore_list.h"

bool readReplayFile(const std::string& hostPath, std::string& text, std::string& error)
{
    switch (ReadGameFile(hostPath, kReplayFileLimit, text)) {
    case FileRead::Ok: return true;
    case FileRead::Missing: error = "No such file or directory"; return false;
    case FileRead::Refused: break;
    }
    error = "not a regular file of at most " + std::to_string(kReplayFileLimit >> 20) + " MB, or unreadable";
    return false;
}

std::string rowReplayName(int32_t score, const std::string& name, int32_t sameRowsAbove)
{
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : name) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return std::string(kReplayFolder) + "\\" + std::to_string(score) + "-" + hex + "-" + std::to_string(sameRowsAbove) +
           ".txt";
}

std::string rowReplayName(const HighscoreList& list, int rank)
{
    int32_t above = 0;
    for (int i = 0; i < rank; ++i) {
        if (list.scoreAt(i) == list.scoreAt(rank) && std::strcmp(list.nameAt(i), list.nameAt(rank)) == 0) ++above;
    }
    return rowReplayName(list.scoreAt(rank), list.nameAt(rank), above);
}

int pruneRowReplays(const HighscoreList& list)
{
    namespace fs = std::filesystem;
    std::set<std::string> kept;
    for (int rank = 0; rank < HighscoreList::kRows; ++rank)
        kept.insert(fs::path(HostPath(rowReplayName(list, rank))).filename());
    int removed = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(HostPath(kReplayFolder), error)) {
        const std::string file = entry.path().filename();
        // Row replays start with the score; last.txt and anything else stays.
        const bool rowReplay = !file.empty() && (std::isdigit(static_cast<unsigned char>(file[0])) || file[0] == '-') &&
                               file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0;
        if (rowReplay && kept.count(file) == 0 && fs::remove(entry.path(), error)) ++removed;
    }
    return removed;
}
