#include "highscore/highscore_list.h"

#include "platform/game_files.h"

#include <algorithm>
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

}  // namespace

HighscoreList::HighscoreList(const PlayerName& playerName, const std::string& path)
    : playerName_(playerName), path_(HostPath(path))
{
    for (HighscoreEntry& row : rows_) setDefault(row);
    keepsUnreadableFile_ = !readRows(path_, rows_);
}

int HighscoreList::insert(int32_t score)
{
    // Searched from the bottom: the new row goes directly below the lowest row
    // whose score is not smaller, whether or not the rows above are in order.
    int p = kRows;
    while (p > 0 && rows_[p - 1].score < score) --p;
    if (p == kRows) return -1;
    for (int k = kRows - 1; k > p; --k) rows_[k] = rows_[k - 1];
    rows_[p].score = score;
    setName(rows_[p], playerName_.text, strnlen(playerName_.text, kNameFieldLimit));
    return p;
}

int32_t HighscoreList::scoreAt(int rank) const
{
    return rank >= 0 && rank < kRows ? rows_[rank].score : 0;
}

const char* HighscoreList::nameAt(int rank) const
{
    return rank >= 0 && rank < kRows ? rows_[rank].name : "";
}

bool HighscoreList::save() const
{
    // A list the game could not read is never replaced by one it made up.
    if (keepsUnreadableFile_) return false;
    std::string text;
    for (const HighscoreEntry& row : rows_)
        text += std::to_string(row.score) + ',' + savedName(row.name) + "\r\n";
    return ReplaceFileAtomically(path_, text);
}
