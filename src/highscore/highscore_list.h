#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/player_name.h"

// One row of the list: a finished game's total and the name it was played under.
struct HighscoreEntry {
    int32_t score;
    char name[28];  // code page 1252, zero-terminated
};

// The nine best totals, best first, kept in "Data\Highscore.zip": nine lines of
// "score,name" with CR LF line ends.
//
// The list reads its file when it is built and writes it only when save() is
// called; destruction writes nothing. The shell calls save() once at normal
// exit, so an inserted score reaches the disk only then.
class HighscoreList {
public:
    static constexpr int kRows = 9;
    static constexpr const char* kDefaultPath = "Data\\Highscore.zip";
    // Longest score field read from the file: every 32-bit total, sign
    // included, fits, so a saved list always loads back whole.
    static constexpr size_t kScoreFieldLimit = 11;
    // Longest name read from the file.
    static constexpr size_t kNameFieldLimit = 22;

    // Sets every row to 0 and "---", then reads the file at path (written with
    // backslashes, as the game names its files). A missing or short file leaves
    // the rows it does not supply at the default; nothing is reported.
    explicit HighscoreList(const PlayerName& playerName, const std::string& path = kDefaultPath);
    HighscoreList(const HighscoreList&) = delete;
    HighscoreList& operator=(const HighscoreList&) = delete;

    // Enters a finished game's total under the current player name. Equal
    // scores go below the existing ones; a total not above rank 8 is dropped.
    // Returns the rank the new row took, or -1 when it was dropped.
    int insert(int32_t score);

    // Rank 0 is the best. Ranks outside 0..8 give 0 and "".
    int32_t scoreAt(int rank) const;
    const char* nameAt(int rank) const;

    // Writes all nine rows. The new list replaces the old file in one step, so
    // a failed write (missing folder, full disk) leaves the old file whole. A
    // file that was there but could not be read is left alone. Returns whether
    // the file was written; the game ignores the result.
    bool save() const;

private:
    const PlayerName& playerName_;
    std::string path_;
    HighscoreEntry rows_[kRows];
    bool keepsUnreadableFile_ = false;
};
