#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by everything that reads or writes the game's files.
// Plain POSIX, no SDL: the rules' file readers use them too.

// The game names its files with backslashes ("Data\ini.ini"); this gives the
// path where such a file really lives (game_locations.h).
std::string HostPath(const std::string& gamePath);

// Writes bytes to a temporary file beside path, syncs it and renames it over
// path, so path is always either the old file or the whole new one. False,
// with the old file untouched, when anything fails.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// White space as the C runtime's isspace sees it in the "C" locale.
bool IsBlank(char c);

// A number as the C runtime's readers take it: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits give 0. Values beyond 32 bits are held at the nearest limit.
int32_t ParseLeadingInt(std::string_view text);
