#include "shell/remembered_name.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "game/player_name.h"
#include "platform/game_files.h"
#include "platform/text_encoding.h"

namespace {

// More than a name and its line end; anything longer is cut.
constexpr size_t kReadLimit = 64;

// The file's first bytes, or false when it is missing or not a plain file (a
// FIFO would block the start, a device never end).
bool readStart(const std::string& path, std::string& bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool plain = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (plain) {
        char buffer[kReadLimit];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        plain = got >= 0;
        if (plain) bytes.assign(buffer, static_cast<size_t>(got));
    } else {
        std::fprintf(stderr, "klotzar: %s is not a plain file; the name is not taken from it\n", path.c_str());
    }
    close(fd);
    return plain;
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
    if (readStart(HostPath(path), bytes)) return cutToNameLength(firstLine(bytes));
    return cutToNameLength(accountName1252());
}

bool rememberPlayerName(const std::string& name1252, const std::string& path)
{
    const std::string hostPath = HostPath(path);
    if (ReplaceFileAtomically(hostPath, name1252 + "\r\n")) return true;
    std::fprintf(stderr, "klotzar: cannot keep the name in %s\n", hostPath.c_str());
    return false;
}
