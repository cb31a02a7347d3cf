#include "ini_lines.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            static const char* hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string describe(const IniLine& line)
{
    return "\"" + printable(line.content + line.ending) + "\"";
}

}  // namespace

std::vector<IniLine> splitIniLines(const std::string& bytes)
{
    std::vector<IniLine> lines;
    size_t begin = 0;
    while (begin < bytes.size()) {
        const size_t feed = bytes.find('\n', begin);
        if (feed == std::string::npos) {
            lines.push_back({bytes.substr(begin), ""});
            break;
        }
        const bool crlf = feed > begin && bytes[feed - 1] == '\r';
        const size_t contentEnd = crlf ? feed - 1 : feed;
        lines.push_back({bytes.substr(begin, contentEnd - begin), crlf ? "\r\n" : "\n"});
        begin = feed + 1;
    }
    return lines;
}

bool iniSectionName(std::string_view content, std::string* name)
{
    content = trim(content);
    if (content.empty() || content.front() != '[') return false;
    const size_t close = content.rfind(']');
    if (close == std::string_view::npos) return false;
    if (name) *name = std::string(content.substr(1, close - 1));
    return true;
}

bool iniEntryKey(std::string_view content, std::string* key)
{
    const std::string_view trimmed = trim(content);
    if (trimmed.empty() || trimmed.front() == ';' || iniSectionName(content, nullptr)) return false;
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) return false;
    if (key) *key = std::string(trim(content.substr(0, equals)));
    return true;
}

int iniKeyLine(const std::vector<IniLine>& lines, std::string_view section, std::string_view key, bool* sectionFound)
{
    std::string name;
    size_t i = 0;
    while (i < lines.size() && !(iniSectionName(lines[i].content, &name) && sameName(name, section))) ++i;
    if (sectionFound) *sectionFound = i < lines.size();
    for (++i; i < lines.size() && !iniSectionName(lines[i].content, nullptr); ++i) {
        std::string entry;
        if (iniEntryKey(lines[i].content, &entry) && sameName(entry, key)) return static_cast<int>(i);
    }
    return -1;
}

std::string iniWriteFault(const std::string& before, const std::string& after, std::string_view section,
                          std::string_view key, std::string_view value)
{
    std::vector<IniLine> old = splitIniLines(before);
    std::vector<IniLine> now = splitIniLines(after);
    bool hadSection = false;
    const int oldLine = iniKeyLine(old, section, key, &hadSection);
    const int newLine = iniKeyLine(now, section, key);
    if (newLine < 0) return "the key is not in its section after the write";

    // The written line keeps the key as the file spelled it.
    std::string spelledKey(key);
    if (oldLine >= 0) iniEntryKey(old[static_cast<size_t>(oldLine)].content, &spelledKey);
    const IniLine written{spelledKey + "=" + std::string(value), "\r\n"};
    if (!(now[static_cast<size_t>(newLine)] == written))
        return "the key's line is " + describe(now[static_cast<size_t>(newLine)]) + ", not " + describe(written);
    now.erase(now.begin() + newLine);
    if (oldLine >= 0) old.erase(old.begin() + oldLine);

    if (!hadSection) {
        const IniLine header{"[" + std::string(section) + "]", "\r\n"};
        if (now.empty() || !(now.back() == header)) return "no new section header at the end";
        now.pop_back();
        // A blank line may separate the new section from what was there.
        if (now.size() == old.size() + 1 && now.back() == IniLine{"", "\r\n"}) now.pop_back();
    }
    if (now.size() != old.size())
        return "the write changed the number of other lines: " + std::to_string(old.size()) + " became " +
               std::to_string(now.size());
    for (size_t i = 0; i < old.size(); ++i) {
        if (now[i] == old[i]) continue;
        // Only the file's last line lacks a line end, and it may gain one.
        const std::string was = old[i].content + old[i].ending;
        const std::string is = now[i].content + now[i].ending;
        if (old[i].ending.empty() && (is == was + "\r\n" || is == was + "\n")) continue;
        return "line " + std::to_string(i + 1) + " changed from " + describe(old[i]) + " to " + describe(now[i]);
    }
    return "";
}
