#include "highscore/highscore_list.h"

#include "files/game_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

constexpr char kDefaultName[] = "---";

// A list file is nine short lines; anything over this is no list and counts
// as unreadable.
constexpr size_t kMostListBytes = 1 << 20;

// Hands out the file's bytes the way a text-mode stream did where the list
// comes from: a CR LF pair arrives as one '\n'; a lone CR stays a CR.
class TextReader {
public:
    explicit TextReader(const std::string& bytes) : bytes_(bytes) {}

    int get()
    {
        if (at_ >= bytes_.size()) return EOF;
        const char c = bytes_[at_++];
        if (c == '\r' && at_ < bytes_.size() && bytes_[at_] == '\n') return bytes_[at_++];
        return static_cast<unsigned char>(c);
    }

    int peek()
    {
        const size_t at = at_;
        const int c = get();
        at_ = at;
        return c;
    }

    // Past the next line end, or to the end of the file.
    void skipLine()
    {
        for (int c = get(); c != EOF && c != '\n'; c = get()) {
        }
    }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

enum class Field {
    Read,     // taken, its delimiter (if any) consumed
    End,      // the file had ended before its first character
    TooLong,  // over its limit: the reader cannot take the row it is in
};

// Takes one field: the characters up to the delimiter, which is consumed and
// not stored, at most `limit` of them. A field that runs into the end of the
// file after at least one character is complete.
Field readField(TextReader& in, int delimiter, size_t limit, std::string& text)
{
    text.clear();
    bool extracted = false;
    while (text.size() < limit) {
        const int c = in.get();
        if (c == EOF) return extracted ? Field::Read : Field::End;
        extracted = true;
        if (c == delimiter) return Field::Read;
        text.push_back(static_cast<char>(c));
    }
    const int c = in.peek();
    if (c == delimiter) in.get();
    return c == delimiter || c == EOF ? Field::Read : Field::TooLong;
}

void setName(HighscoreEntry& row, const char* text, size_t length)
{
    length = std::min(length, sizeof row.name - 1);
    std::memcpy(row.name, text, length);
    row.name[length] = '\0';
}

void setDefault(HighscoreEntry& row)
{
    row.score = 0;
    setName(row, kDefaultName, std::strlen(kDefaultName));
}

// Takes rows from the text until nine are filled or the text ends.
// CHANGE: [long-row-skipped] a row with a field over its limit (written by hand or by another
// tool) is skipped and reading resumes at the next line, so one such row no
// longer costs every row after it.
void parseRows(const std::string& bytes, HighscoreEntry (&rows)[HighscoreList::kRows])
{
    TextReader in(bytes);
    std::string field;
    int taken = 0;
    while (taken < HighscoreList::kRows) {
        const Field score = readField(in, ',', HighscoreList::kScoreFieldLimit, field);
        if (score == Field::End) return;
        if (score == Field::TooLong) {
            in.skipLine();
            continue;
        }
        const int32_t value = ParseLeadingInt(field);
        const Field name = readField(in, '\n', HighscoreList::kNameFieldLimit, field);
        if (name == Field::TooLong) {
            in.skipLine();
            continue;
        }
        HighscoreEntry& row = rows[taken++];
        row.score = value;
        if (name == Field::End) return;
        setName(row, field.data(), field.size());
    }
}

// Returns false when the file is there but could not be read whole.
bool readRows(const std::string& path, HighscoreEntry (&rows)[HighscoreList::kRows])
{
    std::string bytes;
    const FileRead read = ReadGameFile(path, kMostListBytes, bytes);
    if (read == FileRead::Ok) parseRows(bytes, rows);
    return read != FileRead::Refused;
}

// The name as it goes into the file: no longer than the reader takes, and
// with any line feed turned into a blank, so that the row and every row after
// it read back as they were written.
std::string savedName(const char* name)
{
    std::string text(name, strnlen(name, HighscoreList::kNameFieldLimit));
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// QUIRK: [equal-score-enters-below] a tie enters below, rank 10 and lower not at all (kept)
// The insertion rule: searched from the bottom, the new row goes directly
// below the lowest row whose score is not smaller, whether or not the rows
// above are in order. Returns the row's rank, -1 when it did not enter.
int placeFor(const HighscoreEntry (&rows)[HighscoreList::kRows], int32_t score)
{
    int p = HighscoreList::kRows;
    while (p > 0 && rows[p - 1].score < score) --p;
    return p == HighscoreList::kRows ? -1 : p;
}

int enter(HighscoreEntry (&rows)[HighscoreList::kRows], const HighscoreEntry& entry)
{
    const int p = placeFor(rows, entry.score);
    if (p < 0) return -1;
    for (int k = HighscoreList::kRows - 1; k > p; --k) rows[k] = rows[k - 1];
    rows[p] = entry;
    return p;
}

std::string fileText(const HighscoreEntry (&rows)[HighscoreList::kRows])
{
    std::string text;
    for (const HighscoreEntry& row : rows) text += std::to_string(row.score) + ',' + savedName(row.name) + "\r\n";
    return text;
}

}  // namespace

HighscoreList::HighscoreList(const PlayerName& playerName, const std::string& path)
    : playerName_(playerName), path_(HostPath(path))
{
    for (HighscoreEntry& row : rows_) setDefault(row);
    readRows(path_, rows_);
}

int HighscoreList::insert(int32_t score)
{
    HighscoreEntry entry{};
    entry.score = score;
    setName(entry, playerName_.text, strnlen(playerName_.text, kNameFieldLimit));
    // Entered in memory first: if the file cannot be read, this is the list
    // the screen shows.
    int rank = enter(rows_, entry);
    pending_.push_back(entry);
    mergeAndWrite(&rank);
    return rank;
}

int HighscoreList::rankFor(int32_t score) const
{
    return placeFor(rows_, score);
}

int32_t HighscoreList::scoreAt(int rank) const
{
    return rank >= 0 && rank < kRows ? rows_[rank].score : 0;
}

const char* HighscoreList::nameAt(int rank) const
{
    return rank >= 0 && rank < kRows ? rows_[rank].name : "";
}

bool HighscoreList::save()
{
    return mergeAndWrite(nullptr);
}

bool HighscoreList::mergeAndWrite(int* lastRank)
{
    // Another copy saving at the same moment waits: neither loses its rows.
    const FolderLock lock(path_);
    HighscoreEntry onDisk[kRows];
    for (HighscoreEntry& row : onDisk) setDefault(row);
    // CHANGE: [unreadable-file-kept] an unreadable list is left alone
    // A list the game could not read is never replaced by one it made up.
    if (!readRows(path_, onDisk)) {
        if (report_) report_(SaveFailure::Unreadable, path_);
        return false;
    }
    // What another copy of the game wrote meanwhile stays; this run's
    // totals go in again by the same rule.
    int rank = -1;
    for (const HighscoreEntry& entry : pending_) rank = enter(onDisk, entry);
    std::copy(std::begin(onDisk), std::end(onDisk), std::begin(rows_));
    if (lastRank) *lastRank = rank;
    if (!ReplaceFileAtomically(path_, fileText(rows_))) {
        if (report_) report_(SaveFailure::WriteFailed, path_);
        return false;
    }
    pending_.clear();
    return true;
}
