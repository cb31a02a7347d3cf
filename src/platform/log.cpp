#include "platform/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/game_files.h"

namespace {

void Say(const char* fileName, const char* why)
{
    std::fprintf(stderr, "klotzar: \"%s\" is not written: %s\n", fileName, why);
}

const char* ReasonFor(int error)
{
    return error == ELOOP ? "it is a symbolic link, which the game does not follow" : std::strerror(error);
}

}  // namespace

void Log::Open(const char* fileName, Mode mode)
{
    Close();
    // CHANGE: [log-not-through-links] no link is followed (a planted link must not make the game
    // overwrite another file), and a FIFO without a reader fails at once
    // instead of stopping the game until one comes.
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_APPEND |
                      (mode == Mode::Truncate ? O_TRUNC : 0);
    const int fd = ::open(HostPath(fileName).c_str(), flags, 0666);
    if (fd < 0) {
        Say(fileName, errno == ENXIO ? "it is a FIFO that nobody reads" : ReasonFor(errno));
        return;
    }
    // A regular file, or a FIFO someone reads from; a device or socket put in
    // its place gets nothing. Writes stay non-blocking: on a full FIFO a line
    // is lost rather than the game stopped.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode))) {
        ::close(fd);
        Say(fileName, "it is not a regular file");
        return;
    }
    fd_ = fd;
}

void Log::WriteLine(const std::string& text, const std::string& name)
{
    if (fd_ < 0) return;
    // One write per line, so two copies of the game appending to one log
    // never interleave within a line. A failed write (a full disk, a FIFO
    // whose reader left: SIGPIPE is ignored by the game) only loses the line.
    const std::string line = text + name + "\r\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

void Log::Close()
{
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}
