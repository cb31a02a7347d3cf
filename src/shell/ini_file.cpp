#include "shell/ini_file.h"

#include "files/game_files.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything over this is no settings
// file and counts as unreadable.
constexpr size_t kMostSettingsBytes = 1 << 20;

FileRead readFile(const std::string& path, std::string& bytes)
{
    return ReadGameFile(path, kMostSettingsBytes, bytes);
}

// One line of the file as offsets into its bytes: [begin, contentEnd) is the
// text, [contentEnd, end) the line end ("\r\n", "\n" or nothing at the end).
struct Line {
    size_t begin;
    size_t contentEnd;
    size_t end;
};

std::vector<Line> splitLines(const std::string& bytes)
{
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < bytes.size()) {
        const size_t feed = bytes.find('\n', begin);
        const size_t end = feed == std::string::npos ? bytes.size() : feed + 1;
        size_t contentEnd = feed == std::string::npos ? end : feed;
        if (contentEnd > begin && bytes[contentEnd - 1] == '\r' && feed != std::string::npos) --contentEnd;
        lines.push_back({begin, contentEnd, end});
        begin = end;
    }
    return lines;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string_view contentOf(const std::string& bytes, const Line& line)
{
    return std::string_view(bytes).substr(line.begin, line.contentEnd - line.begin);
}

// "[Name]": the name lies between the bracket and the last closing bracket.
bool isSectionHeader(std::string_view content, std::string_view* name = nullptr)
{
    content = trim(content);
    if (content.empty() || content.front() != '[') return false;
    const size_t close = content.rfind(']');
    if (close == std::string_view::npos) return false;
    if (name) *name = content.substr(1, close - 1);
    return true;
}

bool isComment(std::string_view content)
{
    content = trim(content);
    return !content.empty() && content.front() == ';';
}

// "key = value", both sides trimmed. Comments and headers are no entries.
bool isEntry(std::string_view content, std::string_view& key, std::string_view& value)
{
    if (isComment(content) || isSectionHeader(content)) return false;
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) return false;
    key = trim(content.substr(0, equals));
    value = trim(content.substr(equals + 1));
    return true;
}

// The lines of the first section with this name: [first, last) into `lines`,
// first being the header itself. Returns false if there is none.
bool findSection(const std::string& bytes, const std::vector<Line>& lines, std::string_view section, size_t& first,
                 size_t& last)
{
    std::string_view name;
    for (first = 0; first < lines.size(); ++first)
        if (isSectionHeader(contentOf(bytes, lines[first]), &name) && sameName(name, section)) break;
    if (first == lines.size()) return false;
    for (last = first + 1; last < lines.size(); ++last)
        if (isSectionHeader(contentOf(bytes, lines[last]))) break;
    return true;
}

// Index of the key's line within [first + 1, last), or `last` if it is absent.
size_t findKey(const std::string& bytes, const std::vector<Line>& lines, size_t first, size_t last,
               std::string_view key, std::string_view& value)
{
    std::string_view name;
    for (size_t i = first + 1; i < last; ++i)
        if (isEntry(contentOf(bytes, lines[i]), name, value) && sameName(name, key)) return i;
    return last;
}

int32_t parseInt(std::string_view text)
{
    if (text.size() >= 2 && text.front() == text.back() && (text.front() == '"' || text.front() == '\''))
        text = text.substr(1, text.size() - 2);
    return ParseLeadingInt(text);
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would not read back as written are refused.
bool canWrite(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty() || hasLineBreak(section) || section.find(']') != std::string_view::npos) return false;
    if (key.empty() || hasLineBreak(key) || key.find('=') != std::string_view::npos || trim(key) != key) return false;
    if (key.front() == '[' || key.front() == ';') return false;
    return !hasLineBreak(value);
}

// What the line ending at `end` lacks before another line can follow it.
const char* missingLineEnd(const std::string& bytes, size_t end)
{
    if (end == 0 || bytes[end - 1] == '\n') return "";
    return bytes[end - 1] == '\r' ? "\n" : "\r\n";
}

std::string withKeySet(const std::string& bytes, const std::string& section, const std::string& key,
                       const std::string& value)
{
    const std::vector<Line> lines = splitLines(bytes);
    size_t first = 0;
    size_t last = 0;
    if (!findSection(bytes, lines, section, first, last)) {
        std::string text = bytes + missingLineEnd(bytes, bytes.size());
        if (!lines.empty() && !trim(contentOf(bytes, lines.back())).empty()) text += "\r\n";
        return text + "[" + section + "]\r\n" + key + "=" + value + "\r\n";
    }

    std::string_view oldValue;
    const size_t keyLine = findKey(bytes, lines, first, last, key, oldValue);
    if (keyLine != last) {
        std::string_view oldKey;
        isEntry(contentOf(bytes, lines[keyLine]), oldKey, oldValue);
        const Line& line = lines[keyLine];
        return bytes.substr(0, line.begin) + std::string(oldKey) + "=" + value + "\r\n" + bytes.substr(line.end);
    }

    // After the section's last line that is neither blank nor a comment, so
    // blank lines and comments leading into the next section stay in front of it.
    size_t after = first;
    for (size_t i = first + 1; i < last; ++i) {
        const std::string_view content = contentOf(bytes, lines[i]);
        if (!trim(content).empty() && !isComment(content)) after = i;
    }
    const size_t end = lines[after].end;
    return bytes.substr(0, end) + missingLineEnd(bytes, end) + key + "=" + value + "\r\n" + bytes.substr(end);
}

}  // namespace

int32_t GetProfileInt(const std::string& path, const std::string& section, const std::string& key, int32_t defaultValue)
{
    std::string bytes;
    if (readFile(HostPath(path), bytes) != FileRead::Ok) return defaultValue;
    const std::vector<Line> lines = splitLines(bytes);
    size_t first = 0;
    size_t last = 0;
    if (!findSection(bytes, lines, section, first, last)) return defaultValue;
    std::string_view value;
    if (findKey(bytes, lines, first, last, key, value) == last) return defaultValue;
    return parseInt(value);
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value)
{
    if (!canWrite(section, key, value)) return false;
    const std::string file = HostPath(path);
    std::string bytes;
    // A file that is there but cannot be read (a FIFO, a device, a folder, an
    // CHANGE: [special-file-never-replaced] a special settings file is never replaced
    // oversized file) is left alone, never replaced.
    if (readFile(file, bytes) == FileRead::Refused) return false;
    return ReplaceFileAtomically(file, withKeySet(bytes, section, key, value));
}
