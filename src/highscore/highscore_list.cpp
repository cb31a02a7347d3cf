#include "highscore/highscore_list.h"

#include "platform/game_files.h"

#include <algorithm>
#include <iterator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr char kDefaultName[] = "---";

// Hands out the file's bytes the way a text-mode stream did where the list
// comes from: a CR LF pair arrives as one '\n'; a lone CR stays a CR.
class TextReader {
public:
    explicit TextReader(std::FILE* file) : file_(file) {}

    int get()
    {
        if (pending_ != kNothing) {
            const int c = pending_;
            pending_ = kNothing;
            return c;
        }
        const int c = std::getc(file_);
        if (c != '\r') return c;
        const int next = std::getc(file_);
        if (next == '\n') return '\n';
        if (next != EOF) std::ungetc(next, file_);
        return c;
    }

    int peek()
    {
        if (pending_ == kNothing) pending_ = get();
        return pending_;
    }

private:
    static constexpr int kNothing = -2;  // EOF is -1
    std::FILE* file_;
    int pending_ = kNothing;
};

// Takes one field: the characters up to the delimiter, which is consumed and
// not stored, at most `limit` of them. Returns false if the field was not read
// at all (the file had ended, or reading had stopped). A field longer than its
// limit keeps what was read and stops all further reading.
bool readField(TextReader& in, int delimiter, size_t limit, std::string& text, bool& stopped)
{
    text.clear();
    if (stopped) return false;
    bool extracted = false;
    while (text.size() < limit) {
        const int c = in.get();
        if (c == EOF) {
            stopped = !extracted;
            return extracted;
        }
        extracted = true;
        if (c == delimiter) return true;
        text.push_back(static_cast<char>(c));
    }
    const int c = in.peek();
    if (c == delimiter)
        in.get();
    else if (c != EOF)
        stopped = true;
    return true;
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

// Returns false when the file is there but could not be read whole.
bool readRows(const std::string& path, HighscoreEntry (&rows)[HighscoreList::kRows])
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return errno == ENOENT;
    TextReader in(file);
    bool stopped = false;
    std::string field;
    for (HighscoreEntry& row : rows) {
        if (readField(in, ',', HighscoreList::kScoreFieldLimit, field, stopped))
            row.score = ParseLeadingInt(field);
        if (readField(in, '\n', HighscoreList::kNameFieldLimit, field, stopped))
            setName(row, field.data(), field.size());
    }
    const bool readWhole = std::ferror(file) == 0;
    std::fclose(file);
    return readWhole;
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

// The insertion rule: searched from the bottom, the new row goes directly
// below the lowest row whose score is not smaller, whether or not the rows
// above are in order. Returns the row's rank, -1 when it did not enter.
int enter(HighscoreEntry (&rows)[HighscoreList::kRows], const HighscoreEntry& entry)
{
    int p = HighscoreList::kRows;
    while (p > 0 && rows[p - 1].score < entry.score) --p;
    if (p == HighscoreList::kRows) return -1;
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
    HighscoreEntry onDisk[kRows];
    for (HighscoreEntry& row : onDisk) setDefault(row);
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
