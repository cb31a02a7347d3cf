#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/player_name.h"

// One row of the list: a finished game's total and the name it was played under.
struct HighscoreEntry {
    int32_t score;
    char name[28];  // code page 1252, zero-terminated
};

// The nine best totals, best first, kept in "Data\Highscore.zip": nine lines of
// "score,name" with CR LF line ends.
//
// The list reads its file when it is built. Every total that enters it is
// written at once, merged into what is on disk then, so another copy of the
// game in the same folder, a crash or a lost display loses no score. The
// shell saves once more at exit; that adds nothing twice.
class HighscoreList {
public:
    static constexpr int kRows = 9;
    static constexpr const char* kDefaultPath = "Data\\Highscore.zip";
    // Longest score field read from the file: every 32-bit total, sign
    // included, fits, so a saved list always loads back whole.
    // CHANGE: [score-field-11] 11 characters hold every 32-bit total
    static constexpr size_t kScoreFieldLimit = 11;
    // Longest name read from the file.
    static constexpr size_t kNameFieldLimit = 22;

    // Sets every row to 0 and "---", then reads the file at path (written with
    // backslashes, as the game names its files). A missing or short file leaves
    // the rows it does not supply at the default; nothing is reported.
    explicit HighscoreList(const PlayerName& playerName, const std::string& path = kDefaultPath);
    HighscoreList(const HighscoreList&) = delete;
    HighscoreList& operator=(const HighscoreList&) = delete;

    // Enters a finished game's total under the current player name and saves
    // the list. Equal scores go below the existing ones; a total not above
    // rank 8 is dropped. Returns the rank the new row took in the list as
    // saved (or as kept in memory when the save failed), -1 when it did not
    // enter.
    int insert(int32_t score);
    // The rank insert would give score in the list as it is now, or -1.
    int rankFor(int32_t score) const;

    // Rank 0 is the best. Ranks outside 0..8 give 0 and "".
    int32_t scoreAt(int rank) const;
    const char* nameAt(int rank) const;

    // Reads the file again, enters every total of this run that the file
    // does not hold yet, and writes all nine rows; the list then shows what
    // was written. The new list replaces the old file in one step, so a failed
    // write (missing folder, full disk) leaves the old file whole, and a file
    // that is there but cannot be read is left alone. A failure goes to the
    // failure report and the totals stay pending for the next save. Returns
    // whether the file was written.
    bool save();
    // Totals of this run that are not on disk yet.
    size_t pendingCount() const { return pending_.size(); }

    // Why a save did not reach the disk.
    enum class SaveFailure {
        Unreadable,   // the file is there but cannot be read; it is kept
        WriteFailed,  // no folder, no permission, a full disk
    };
    // Told of every failed save with the file's path; nothing when unset.
    void setFailureReport(std::function<void(SaveFailure why, const std::string& path)> report)
    {
        report_ = std::move(report);
    }

private:
    bool mergeAndWrite(int* lastRank);

    const PlayerName& playerName_;
    std::string path_;
    HighscoreEntry rows_[kRows];
    // Entered in this run and not yet on disk, oldest first.
    std::vector<HighscoreEntry> pending_;
    std::function<void(SaveFailure why, const std::string& path)> report_;
};
