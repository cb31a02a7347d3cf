#include "files/game_files.h"

#include "files/game_locations.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The rename itself is only durable once the folder is synced too.
void syncFolderOf(const std::string& path)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads until the end, failing once more than mostBytes arrive: the file may
// have grown since fstat, and a size of 0 says nothing for some file systems.
bool readAtMost(int fd, size_t mostBytes, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (static_cast<size_t>(n) > mostBytes - bytes.size()) return false;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

FileRead readOpenFile(int fd, size_t mostBytes, std::string& bytes)
{
    struct stat info {};
    // CHANGE: [bounded-reads] regular files only, never blocking, bounded
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return FileRead::Refused;
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > mostBytes) return FileRead::Refused;
    // Opened without blocking only to get past a FIFO; a regular file reads
    // the same either way, but some file systems honour the flag on reads.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return FileRead::Refused;
    bytes.reserve(static_cast<size_t>(info.st_size));
    return readAtMost(fd, mostBytes, bytes) ? FileRead::Ok : FileRead::Refused;
}

}  // namespace

FileRead ReadGameFile(const std::string& path, size_t mostBytes, std::string& bytes)
{
    bytes.clear();
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Refused;
    FileRead result = FileRead::Refused;
    try {
        result = readOpenFile(file.get(), mostBytes, bytes);
    } catch (const std::bad_alloc&) {
        result = FileRead::Refused;
    }
    if (result != FileRead::Ok) std::string().swap(bytes);
    return result;
}

std::string HostPath(const std::string& gamePath)
{
    return LocateGameFile(gamePath);
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".tmp";
    ::unlink(temp.c_str());  // a leftover of an earlier crash
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // A list the player made private stays private.
    struct stat old {};
    // CHANGE: [atomic-saves] written beside and renamed over the old file
    // CHANGE: [permissions-kept] the new file takes the old one's permissions
    const bool keepMode = ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    bool ok = (!keepMode || ::fchmod(fd, old.st_mode & 0777) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolderOf(path);
    return true;
}

FolderLock::FolderLock(const std::string& path)
    : fd_(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    // The folder, not the file: the file is replaced by a rename, and a lock
    // file of its own would be one more file in the player's folder.
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0) ::close(fd_);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t ParseLeadingInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(kCap, value * 10 + (text[i] - '0'));
    if (negative) value = -value;
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}
