#include "fault_env.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace fs = std::filesystem;

namespace {

// Switches the two permission-overriding capabilities of this thread's
// effective set off or (as far as they are permitted) on again.
bool setPermissionOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        const uint32_t bit = 1u << (cap % 32);
        __user_cap_data_struct& word = data[cap / 32];
        if (on)
            word.effective |= bit & word.permitted;
        else
            word.effective &= ~bit;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

std::string errorText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PermissionsEnforced::PermissionsEnforced() : dropped_(setPermissionOverride(false)) {}

PermissionsEnforced::~PermissionsEnforced()
{
    if (dropped_) setPermissionOverride(true);
}

bool UsePrivateMounts(std::string& why)
{
    if (unshare(CLONE_NEWNS) != 0) {
        why = errorText("unshare(CLONE_NEWNS)");
        return false;
    }
    // Nothing mounted from here on may travel back to the shared table.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        why = errorText("making / private");
        return false;
    }
    return true;
}

TmpfsMount::TmpfsMount(unsigned long long bytes)
{
    options_ = "size=" + std::to_string(bytes) + ",mode=0755";
    if (mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options_.c_str()) != 0) {
        error_ = errorText("mount -t tmpfs");
        return;
    }
    mounted_ = true;
}

TmpfsMount::~TmpfsMount()
{
    // The folder goes after this, empty once the file system is gone.
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
}

bool TmpfsMount::remountReadOnly()
{
    if (mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, options_.c_str()) != 0) {
        error_ = errorText("remount read-only");
        return false;
    }
    return true;
}

TempFolderIn::TempFolderIn(const fs::path& folder)
{
    if (const char* old = std::getenv("TMPDIR")) {
        had_ = true;
        previous_ = old;
    }
    setenv("TMPDIR", folder.c_str(), 1);
}

TempFolderIn::~TempFolderIn()
{
    if (had_)
        setenv("TMPDIR", previous_.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

long long FillDisk(const fs::path& folder, std::string& why)
{
    const fs::path filler = folder / "filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        why = errorText("open filler");
        return -1;
    }
    static const char block[65536] = {};
    long long written = 0;
    // Big blocks first, then ever smaller ones down to single bytes.
    for (size_t size = sizeof block; size > 0; size /= 2) {
        for (;;) {
            const ssize_t n = ::write(fd, block, size);
            if (n > 0) {
                written += n;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != ENOSPC) {
                why = errorText("write filler");
                ::close(fd);
                return -1;
            }
            break;
        }
    }
    ::fsync(fd);
    ::close(fd);
    return written;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lower = previous_;
    lower.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lower);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, previousHandler_);
}

ReadOnlyTree::ReadOnlyTree(const fs::path& root) : root_(root)
{
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root_, ignored); it != fs::recursive_directory_iterator(); ++it)
        fs::permissions(it->path(), it->is_directory() ? fs::perms(0555) : fs::perms(0444), ignored);
    fs::permissions(root_, fs::perms(0555), ignored);
}

ReadOnlyTree::~ReadOnlyTree()
{
    std::error_code ignored;
    fs::permissions(root_, fs::perms(0755), ignored);
    for (auto it = fs::recursive_directory_iterator(root_, ignored); it != fs::recursive_directory_iterator(); ++it)
        fs::permissions(it->path(), it->is_directory() ? fs::perms(0755) : fs::perms(0644), ignored);
}

bool CanCreateFileIn(const fs::path& folder)
{
    const fs::path probe = folder / "probe.tmp";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& cwd,
                         int timeoutMs)
{
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return result;
    }
    // Everything exec needs is built before the fork.
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> vars;
    for (const std::string& v : env) vars.push_back(const_cast<char*>(v.c_str()));
    vars.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        const int devNull = ::open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        execve(args[0], args.data(), vars.data());
        _exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return result;
    }
    result.started = true;
    setpgid(pid, pid);

    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    // The pipes can close before the process ends: wait out the rest too.
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (result.timedOut || std::chrono::steady_clock::now() >= deadline) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(5000);
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0) ::close(fd.fd);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status)) {
        result.exited = true;
        result.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}
