#include "platform/pad_watch.h"

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

constexpr const char* kDeviceFolder = "/dev";
constexpr const char* kInputName = "input";
constexpr const char* kInputFolder = "/dev/input";
constexpr uint32_t kInputChanges = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM;
// A pad that cannot be watched through its file is read this often: the
// pace at which SDL itself polls open pads.
constexpr int kBlindPollMs = 10;
// Without a watch on the device folders, new pads are looked for as often
// as SDL itself looks for them.
constexpr int kUnwatchedFolderMs = 3000;
// A device that appears is announced by udev only once its rules have run,
// a little after its file appears: the pads are read again after these
// delays too.
constexpr int64_t kAfterHotplugMs[] = {250, 1000, 3000};

struct Watcher {
    std::thread thread;
    int control = -1;  // eventfd: the files changed, or stop
    std::atomic<bool> stop{false};
    std::atomic<bool> wakePending{false};
    uint32_t wakeType = 0;
    std::mutex lock;
    std::vector<std::string> paths;  // under lock
    bool pathsChanged = false;       // under lock
};

// Never destroyed: a program that ends without stopping the watch (a test,
// an early exit) must not be ended by a joinable thread's destructor; the
// thread ends with the process.
Watcher& watcher()
{
    static Watcher* state = new Watcher;
    return *state;
}

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void drain(int fd)
{
    char bytes[1024];
    while (read(fd, bytes, sizeof bytes) > 0) {
    }
}

void wake()
{
    Watcher& w = watcher();
    if (w.wakePending.exchange(true)) return;  // the last one is not taken yet
    SDL_Event event{};
    event.type = w.wakeType;
    if (SDL_PushEvent(&event) != 1) w.wakePending = false;
}

struct Devices {
    std::vector<int> fds;
    bool blind = false;  // a pad that only polling can see

    void close()
    {
        for (int fd : fds) ::close(fd);
        fds.clear();
        blind = false;
    }
    void open(const std::vector<std::string>& paths)
    {
        close();
        for (const std::string& path : paths) {
            const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {
                blind = true;
            } else {
                fds.push_back(fd);
            }
        }
    }
};

// Watches /dev/input for devices that come and go, and /dev for /dev/input
// itself, which a machine without input devices may not have yet.
struct FolderWatch {
    int fd = -1;
    int inputWatch = -1;

    bool start()
    {
        fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd < 0) return false;
        if (inotify_add_watch(fd, kDeviceFolder, IN_CREATE | IN_MOVED_TO) < 0) {
            close(fd);
            fd = -1;
            return false;
        }
        inputWatch = inotify_add_watch(fd, kInputFolder, kInputChanges);
        return true;
    }
    // Reads what changed; true when it may concern a pad.
    bool padsMayHaveChanged()
    {
        alignas(inotify_event) char bytes[4096];
        bool changed = false;
        for (;;) {
            const ssize_t got = read(fd, bytes, sizeof bytes);
            if (got <= 0) break;
            for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(bytes + at);
                if (event->wd == inputWatch) {
                    changed = true;
                } else if (event->len > 0 && std::strcmp(event->name, kInputName) == 0) {
                    inputWatch = inotify_add_watch(fd, kInputFolder, kInputChanges);
                    changed = true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return changed;
    }
    void stop()
    {
        if (fd >= 0) close(fd);
        fd = -1;
    }
};

void run()
{
    Watcher& w = watcher();
    FolderWatch folders;
    const int folder = folders.start() ? folders.fd : -1;
    Devices devices;
    std::vector<int64_t> rereadAt;  // after a device came or went
    int64_t nextFolderLook = nowMs() + kUnwatchedFolderMs;

    while (!w.stop) {
        {
            std::lock_guard<std::mutex> hold(w.lock);
            if (w.pathsChanged) {
                devices.open(w.paths);
                w.pathsChanged = false;
            }
        }
        std::vector<pollfd> fds;
        fds.push_back(pollfd{w.control, POLLIN, 0});
        if (folder >= 0) fds.push_back(pollfd{folder, POLLIN, 0});
        const size_t firstDevice = fds.size();
        for (int fd : devices.fds) fds.push_back(pollfd{fd, POLLIN, 0});

        const int64_t now = nowMs();
        int64_t until = -1;
        auto sooner = [&until, now](int64_t at) {
            const int64_t left = at > now ? at - now : 0;
            if (until < 0 || left < until) until = left;
        };
        if (devices.blind) sooner(now + kBlindPollMs);
        if (folder < 0) sooner(nextFolderLook);
        for (int64_t at : rereadAt) sooner(at);

        const int ready = poll(fds.data(), fds.size(), static_cast<int>(until));
        if (ready < 0 && errno != EINTR) break;
        if (w.stop) break;

        bool wanted = false;
        if (fds[0].revents & POLLIN) drain(w.control);
        if (folder >= 0 && (fds[1].revents & POLLIN) && folders.padsMayHaveChanged()) {
            wanted = true;
            const int64_t at = nowMs();
            rereadAt.clear();
            for (int64_t delay : kAfterHotplugMs) rereadAt.push_back(at + delay);
        }
        for (size_t i = firstDevice; i < fds.size(); ++i) {
            if (fds[i].revents & POLLIN) {
                drain(fds[i].fd);
                wanted = true;
            }
            if (fds[i].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                // Gone: SDL notices when it reads; until the list is renewed,
                // this file is not watched.
                close(fds[i].fd);
                devices.fds.erase(devices.fds.begin() + static_cast<long>(i - firstDevice));
                wanted = true;
                break;
            }
        }
        const int64_t after = nowMs();
        if (devices.blind) wanted = true;
        if (folder < 0 && after >= nextFolderLook) {
            wanted = true;
            nextFolderLook = after + kUnwatchedFolderMs;
        }
        while (!rereadAt.empty() && rereadAt.front() <= after) {
            rereadAt.erase(rereadAt.begin());
            wanted = true;
        }
        if (wanted) wake();
    }
    devices.close();
    folders.stop();
}

}  // namespace

void StartPadWatch(uint32_t wakeType)
{
    Watcher& w = watcher();
    if (w.thread.joinable()) return;
    w.control = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (w.control < 0) return;
    w.wakeType = wakeType;
    w.stop = false;
    w.wakePending = false;
    w.thread = std::thread(run);
}

void StopPadWatch()
{
    Watcher& w = watcher();
    if (!w.thread.joinable()) return;
    w.stop = true;
    const uint64_t one = 1;
    if (write(w.control, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
        // The eventfd cannot be full at one; the thread also checks stop.
    }
    w.thread.join();
    close(w.control);
    w.control = -1;
    std::lock_guard<std::mutex> hold(w.lock);
    w.paths.clear();
    w.pathsChanged = true;
}

void WatchPadFiles(const std::vector<std::string>& paths)
{
    Watcher& w = watcher();
    {
        std::lock_guard<std::mutex> hold(w.lock);
        w.paths = paths;
        w.pathsChanged = true;
    }
    if (w.control < 0) return;
    const uint64_t one = 1;
    if (write(w.control, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
        // Only fails when the counter is full, and then the thread wakes anyway.
    }
}

void PadWakeTaken()
{
    watcher().wakePending = false;
}
