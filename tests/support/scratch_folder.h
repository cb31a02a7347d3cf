#pragma once
#include <unistd.h>

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
// With KLOTZAR_KEEP_RUNS set the folder stays, for a look afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix = "klotzar")
    {
        std::error_code noShm;
        const char* tmpdir = std::getenv("TMPDIR");
        const std::filesystem::path base = tmpdir && *tmpdir ? std::filesystem::path(tmpdir)
                                           : std::filesystem::is_directory("/dev/shm", noShm)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / (prefix + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) {
            std::perror(pattern.c_str());
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        if (std::getenv("KLOTZAR_KEEP_RUNS")) return;
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// While it lives, the working folder is a fresh scratch folder, so "log.txt"
// and "Data\..." are the test's own; the old one is restored afterwards.
class ScratchWorkingFolder {
public:
    explicit ScratchWorkingFolder(const std::string& prefix = "klotzar")
        : folder_(prefix), previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder_.path());
    }
    ~ScratchWorkingFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    ScratchWorkingFolder(const ScratchWorkingFolder&) = delete;
    ScratchWorkingFolder& operator=(const ScratchWorkingFolder&) = delete;

    const std::string& path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }

private:
    ScratchFolder folder_;
    std::filesystem::path previous_;
};

// False when the file could not be written whole.
inline bool writeBytes(const std::string& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

inline bool writeBytes(const std::string& path, const std::string& bytes)
{
    return writeBytes(path, bytes.data(), bytes.size());
}

// The whole file ("" when it is missing).
inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}
