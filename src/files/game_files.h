#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by everything that reads or writes the game's files.
// Plain POSIX, no SDL: the rules' file readers use them too.

// The game names its files with backslashes ("Data\ini.ini"); this gives the
// path where such a file really lives (game_locations.h).
std::string HostPath(const std::string& gamePath);

enum class FileRead {
    Ok,       // bytes hold the whole file
    Missing,  // nothing there (or a folder on the way is missing)
    Refused,  // there, but not a regular file, larger than allowed, or unreadable
};

// Reads the whole regular file at path (slashes) into bytes, never more than
// mostBytes. Opens without blocking, so a FIFO in the file's place is refused
// instead of waiting for a writer; devices, folders and files over the bound
// are refused before anything is allocated for them. Never throws; bytes is
// empty unless the result is Ok.
FileRead ReadGameFile(const std::string& path, size_t mostBytes, std::string& bytes);

// Writes bytes to a temporary file beside path, syncs it and renames it over
// path, so path is always either the old file or the whole new one. False,
// with the old file untouched, when anything fails. The new file keeps the
// permissions of the one it replaces; a link at path is replaced, not followed.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// Holds an exclusive lock on the folder that holds path while it lives, so
// two copies of the game in one folder read, merge and write a shared file
// one after the other. Without a lock (the folder cannot be opened) the
// holder goes on unlocked, as before.
class FolderLock {
public:
    explicit FolderLock(const std::string& path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// White space as the C runtime's isspace sees it in the "C" locale.
bool IsBlank(char c);

// A number as the C runtime's readers take it: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits give 0. Values beyond 32 bits are held at the nearest limit.
int32_t ParseLeadingInt(std::string_view text);
