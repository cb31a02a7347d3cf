#pragma once
#include <string>
#include <string_view>
#include <vector>

// The settings file seen line by line, to check what a write did to it. Only
// the lines holding the written key may change; every other line must keep
// its bytes, line end included.
struct IniLine {
    std::string content;
    std::string ending;  // "\r\n", "\n", or "" for a last line without one
    bool operator==(const IniLine& other) const { return content == other.content && ending == other.ending; }
};

std::vector<IniLine> splitIniLines(const std::string& bytes);

// A section header's name: the text between '[' and the last ']'.
bool iniSectionName(std::string_view content, std::string* name);

// Index of the line holding `key` in the first section called `section`
// (names compared without regard to letter case), or -1. `sectionFound` tells
// whether the section exists at all.
int iniKeyLine(const std::vector<IniLine>& lines, std::string_view section, std::string_view key,
               bool* sectionFound = nullptr);

// The key of an entry line ("key = value"), blanks trimmed; false for blank
// lines, comments, section headers and lines without '='.
bool iniEntryKey(std::string_view content, std::string* key);

// Empty when `after` is `before` with key=value set in section: the key's old
// line replaced, or a new line added inside the section, or the section added
// at the end, and every other line unchanged except that a last line without
// a line end may have gained one. Otherwise what went wrong.
std::string iniWriteFault(const std::string& before, const std::string& after, std::string_view section,
                          std::string_view key, std::string_view value);
