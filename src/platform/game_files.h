#pragma once
#include <string>

// File helpers shared by everything that reads or writes the game's files.
// Plain POSIX, no SDL: the rules' file readers use them too.

// The game names its files with backslashes ("Data\ini.ini"); the file system
// wants slashes.
std::string HostPath(const std::string& gamePath);

// Writes bytes to a temporary file beside path, syncs it and renames it over
// path, so path is always either the old file or the whole new one. False,
// with the old file untouched, when anything fails.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);
