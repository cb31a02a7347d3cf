#pragma once
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include <string>

// An anonymous in-memory file holding the given bytes, its offset at their
// end; -1 when it cannot be made or written whole.
inline int MemoryFileWith(const void* bytes, size_t size)
{
    const int fd = memfd_create("klotzar-test", MFD_CLOEXEC);
    if (fd < 0) return -1;
    if (size > 0 && write(fd, bytes, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Everything the file holds, whatever its offset.
inline std::string MemoryFileContents(int fd)
{
    std::string bytes;
    char block[4096];
    for (off_t at = 0;;) {
        const ssize_t got = pread(fd, block, sizeof block, at);
        if (got <= 0) return bytes;
        bytes.append(block, static_cast<size_t>(got));
        at += got;
    }
}
