#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh folder for the files one test or fuzzing process writes, removed
// with everything in it when the folder object goes. It lies in $TMPDIR if
// set, else in memory (/dev/shm) where there is such a place: the file
// writers sync every save, and on a disk that wait would be most of the time.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code noShm;
        const char* tmpdir = std::getenv("TMPDIR");
        const std::filesystem::path base = tmpdir && *tmpdir ? std::filesystem::path(tmpdir)
                                           : std::filesystem::is_directory("/dev/shm", noShm)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "klotzar-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror(pattern.c_str());
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::perror(path.c_str());
        std::abort();
    }
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    writeFile(path, bytes.data(), bytes.size());
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
