#pragma once
// The hostile surroundings the fault tests put the program in: files and
// folders root cannot ignore, read-only and full file systems, a file-size
// limit, and child processes run with a deadline.
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scratch_folder.h"

// While alive, this thread cannot override file permissions: root's
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH leave its effective set, so a
// folder without write permission or a file without read permission stops
// root as it stops anyone. An ordinary user has nothing to drop. Threads
// started meanwhile (an audio thread) inherit the reduced set.
class PermissionsEnforced {
public:
    PermissionsEnforced();
    ~PermissionsEnforced();
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    bool dropped_ = false;
};

// Gives this process a mount table of its own, so mounts made by a test are
// invisible to everyone else and vanish with the process. False (with the
// reason) where mounting is not allowed, e.g. without root.
bool UsePrivateMounts(std::string& why);

// A tmpfs of the given size on a fresh folder under the system's temp folder;
// unmounted and removed again when the object goes. Needs UsePrivateMounts.
class TmpfsMount {
public:
    explicit TmpfsMount(unsigned long long bytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }
    bool remountReadOnly();

private:
    ScratchFolder mountPoint_{"klotzar-tmpfs"};
    std::filesystem::path path_ = mountPoint_.path();
    std::string options_;
    bool mounted_ = false;
    std::string error_;
};

// Sets TMPDIR (where the driver makes its run folder) while alive.
class TempFolderIn {
public:
    explicit TempFolderIn(const std::filesystem::path& folder);
    ~TempFolderIn();

private:
    std::string previous_;
    bool had_ = false;
};

// Writes a filler file into folder until the file system refuses a single
// byte more. Returns the bytes written; -1 (with why) when the fill did not
// end in "no space".
long long FillDisk(const std::filesystem::path& folder, std::string& why);

// Lowers this process's file-size limit while alive. With SIGXFSZ ignored a
// write past the limit fails with EFBIG, the way a full disk fails it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Makes a folder and everything in it read-only (files 0444, folders 0555)
// while alive; restores write permission when it goes, so the run's folder
// can be cleaned up.
class ReadOnlyTree {
public:
    explicit ReadOnlyTree(const std::filesystem::path& root);
    ~ReadOnlyTree();

private:
    std::filesystem::path root_;
};

// True when a new file can be made in folder right now (it is removed again).
bool CanCreateFileIn(const std::filesystem::path& folder);

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    bool exited = false;  // ended by exit(); status holds the code
    int status = -1;
    int signal = 0;  // the signal that ended it, if one did
    std::string out;
    std::string err;
    double seconds = 0;
};

// Runs argv[0] with exactly the environment env in folder cwd; its standard
// input is /dev/null. Killed (with its process group) after timeoutMs.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const std::filesystem::path& cwd, int timeoutMs);
