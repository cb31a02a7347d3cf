#include "shell/remembered_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>

#include "files/game_files.h"
#include "game/player_name.h"
#include "platform/text_encoding.h"

namespace {

// A name and its line end take a few dozen bytes; a larger file is no name
// file and the account's name is offered instead.
constexpr size_t kMostNameFileBytes = 4096;

// The file's bytes, or false when it is missing or no plain file of a name's
// size (a FIFO would block the start, a device never end).
bool readNameFile(const std::string& path, std::string& bytes)
{
    const FileRead read = ReadGameFile(path, kMostNameFileBytes, bytes);
    if (read == FileRead::Refused)
        std::fprintf(stderr, "klotzar: %s is not a name file; the name is not taken from it\n", path.c_str());
    return read == FileRead::Ok;
}

std::string firstLine(const std::string& bytes)
{
    const size_t end = bytes.find_first_of("\r\n");
    return end == std::string::npos ? bytes : bytes.substr(0, end);
}

std::string cutToNameLength(std::string name)
{
    if (name.size() > PlayerName::kMaxLength) name.resize(PlayerName::kMaxLength);
    return name;
}

// Character by character, so one character 1252 lacks costs only itself.
std::string cp1252Keeping(const std::string& utf8)
{
    std::string kept;
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[pos]));
        std::string converted;
        if (Cp1252FromUtf8(utf8.substr(pos, length), converted)) kept += converted;
        pos += length;
    }
    return kept;
}

}  // namespace

std::string accountName1252()
{
    const passwd* account = getpwuid(getuid());
    std::string name;
    if (account && account->pw_gecos) {
        name = account->pw_gecos;
        name = name.substr(0, name.find(','));
    }
    if (name.empty() && account && account->pw_name) name = account->pw_name;
    if (name.empty()) {
        if (const char* login = getlogin()) name = login;
    }
    return cp1252Keeping(name);
}

std::string offeredPlayerName(const std::string& path)
{
    std::string bytes;
    if (readNameFile(HostPath(path), bytes)) return cutToNameLength(firstLine(bytes));
    return cutToNameLength(accountName1252());
}

bool rememberPlayerName(const std::string& name1252, const std::string& path)
{
    const std::string hostPath = HostPath(path);
    if (ReplaceFileAtomically(hostPath, name1252 + "\r\n")) return true;
    std::fprintf(stderr, "klotzar: cannot keep the name in %s\n", hostPath.c_str());
    return false;
}
