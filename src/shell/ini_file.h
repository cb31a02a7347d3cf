#pragma once
#include <cstdint>
#include <string>

// Reader and writer for Windows initialisation files: "[Section]" header lines,
// then "key=value" lines. Paths are written the game's way ("Data\ini.ini").
// Section and key names compare without regard to ASCII letter case; the first
// matching section and, within it, the first matching key count.

// The key's value as an integer: leading blanks skipped, an optional sign, then
// the decimal digits up to the first other character (a value without digits
// gives 0; beyond 32 bits the nearest limit). A value in matching quotes is
// read without them. A missing file, section or key gives defaultValue.
int32_t GetProfileInt(const std::string& path, const std::string& section, const std::string& key,
                      int32_t defaultValue);

// Sets key=value in section. The key's line is replaced where it stands, or
// the key is added after the last entry of its section, or the section is
// added at the end of the file, or the file is created. Written lines end with
// CR LF; every other byte of the file stays as it was. The new file replaces
// the old one in one step, so a failed write leaves the old file whole.
// Returns false if nothing was written (unwritable folder, unreadable file,
// or a name or value that would break the file's line structure).
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);
