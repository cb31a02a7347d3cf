// Put into the real program with LD_PRELOAD by the window tests: a pad that
// SDL makes itself, worked through commands a test writes, so the program is
// played by pad exactly as it is built, on a machine with no pad. Two
// variables, read here alone, name the files:
//   PAD_PRELOAD_COMMANDS  a FIFO the test writes commands to, one a line
//                         (the language of pad_commands.h)
//   PAD_PRELOAD_ANSWERS   a file that gets "ok <command>" for each command
//                         once the program has taken it in, or
//                         "failed <command> (<why>)"
// Without them every call below only passes on to SDL.
//
// SDL's joysticks belong to the thread that runs the event loop, so commands
// are read and applied there, inside the program's own event calls (the
// thread that started the game controllers); waits for events are cut into
// short slices so that a command never waits for an event to come.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <thread>

#include "pad_commands.h"

namespace {

constexpr Uint32 kTakeInLimitMs = 10000;  // generous: the machine may be busy
constexpr int kSliceMs = 10;
constexpr size_t kLineLimit = 200;

struct Channel {
    int commands = -1;
    int answers = -1;
    std::thread::id loopThread;
    std::string unread;  // bytes after the last full line
    std::deque<std::string> lines;
    PadCommands pad;
    std::string current;  // the command under way; empty when none
    Uint32 startedAt = 0;
};

// Made once the game controllers run, and never freed: SDL may still be
// called while the process ends.
Channel* channel = nullptr;

template <typename Function>
Function Next(const char* name)
{
    void* found = dlsym(RTLD_NEXT, name);
    if (!found) {
        std::fprintf(stderr, "pad preload: no %s to pass the call on to\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

void OpenChannel()
{
    if (channel) return;
    const char* commandPath = std::getenv("PAD_PRELOAD_COMMANDS");
    const char* answerPath = std::getenv("PAD_PRELOAD_ANSWERS");
    if (!commandPath || !answerPath) return;
    // Not blocking: the FIFO opens whether or not the test has it open yet.
    const int commands = open(commandPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int answers = open(answerPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (commands < 0 || answers < 0) {
        std::fprintf(stderr, "pad preload: cannot open %s or %s\n", commandPath, answerPath);
        if (commands >= 0) close(commands);
        if (answers >= 0) close(answers);
        return;
    }
    channel = new Channel;
    channel->commands = commands;
    channel->answers = answers;
    channel->loopThread = std::this_thread::get_id();
}

bool OnLoopThread()
{
    return channel && std::this_thread::get_id() == channel->loopThread;
}

void Answer(const std::string& text)
{
    const std::string line = text + "\n";
    if (write(channel->answers, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        std::fprintf(stderr, "pad preload: answer lost: %s", line.c_str());
    }
}

void ReadCommands()
{
    char bytes[512];
    for (;;) {
        // 0: no writer at the moment; -1 with EAGAIN: nothing new.
        const ssize_t got = read(channel->commands, bytes, sizeof bytes);
        if (got <= 0) break;
        channel->unread.append(bytes, static_cast<size_t>(got));
    }
    size_t end;
    while ((end = channel->unread.find('\n')) != std::string::npos) {
        std::string line = channel->unread.substr(0, end);
        channel->unread.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) channel->lines.push_back(line);
    }
    if (channel->unread.size() > kLineLimit) {
        Answer("failed " + channel->unread.substr(0, kLineLimit) + "... (line too long)");
        channel->unread.clear();
    }
}

// Answers the command under way once the program has taken it in, or once it
// has had time enough.
void Settle()
{
    if (channel->current.empty()) return;
    if (channel->pad.takenIn()) {
        Answer("ok " + channel->current);
    } else if (SDL_GetTicks() - channel->startedAt > kTakeInLimitMs) {
        Answer("failed " + channel->current + " (not taken in within " + std::to_string(kTakeInLimitMs / 1000) + " s)");
    } else {
        return;
    }
    channel->current.clear();
}

// Before each event call: new commands, and the next one started once the
// one before is answered.
void Step()
{
    ReadCommands();
    Settle();
    while (channel->current.empty() && !channel->lines.empty()) {
        const std::string line = channel->lines.front();
        channel->lines.pop_front();
        std::string why;
        if (!channel->pad.start(line, why)) {
            Answer("failed " + line + " (" + why + ")");
            continue;
        }
        channel->current = line;
        channel->startedAt = SDL_GetTicks();
    }
}

void Started(Uint32 flags)
{
    if ((flags & SDL_INIT_GAMECONTROLLER) != 0) OpenChannel();
}

void Stopped()
{
    if (!channel || SDL_WasInit(SDL_INIT_JOYSTICK) != 0) return;
    channel->pad.forgetPad();
    if (!channel->current.empty()) Answer("failed " + channel->current + " (the program stopped its game controllers)");
    channel->current.clear();
}

// SDL_WaitEventTimeout in slices; a negative timeout waits for ever.
int WaitInSlices(SDL_Event* event, int timeoutMs)
{
    static const auto wait = Next<int (*)(SDL_Event*, int)>("SDL_WaitEventTimeout");
    // Without the event queue the wait fails at once: no endless loop.
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return wait(event, timeoutMs);
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        Step();
        int slice = kSliceMs;
        if (timeoutMs >= 0) {
            const Uint64 now = SDL_GetTicks64();
            const Uint64 left = now >= end ? 0 : end - now;
            if (left < static_cast<Uint64>(slice)) slice = static_cast<int>(left);
        }
        const int got = wait(event, slice);
        Settle();
        if (got != 0) return got;
        if (timeoutMs >= 0 && SDL_GetTicks64() >= end) return 0;
    }
}

}  // namespace

extern "C" {

int SDL_Init(Uint32 flags)
{
    static const auto next = Next<int (*)(Uint32)>("SDL_Init");
    const int result = next(flags);
    if (result == 0) Started(flags);
    return result;
}

int SDL_InitSubSystem(Uint32 flags)
{
    static const auto next = Next<int (*)(Uint32)>("SDL_InitSubSystem");
    const int result = next(flags);
    if (result == 0) Started(flags);
    return result;
}

void SDL_QuitSubSystem(Uint32 flags)
{
    static const auto next = Next<void (*)(Uint32)>("SDL_QuitSubSystem");
    next(flags);
    Stopped();
}

void SDL_Quit(void)
{
    static const auto next = Next<void (*)()>("SDL_Quit");
    next();
    Stopped();
}

void SDL_PumpEvents(void)
{
    static const auto next = Next<void (*)()>("SDL_PumpEvents");
    if (!OnLoopThread()) return next();
    Step();
    next();
    Settle();
}

int SDL_PollEvent(SDL_Event* event)
{
    static const auto next = Next<int (*)(SDL_Event*)>("SDL_PollEvent");
    if (!OnLoopThread()) return next(event);
    Step();
    const int got = next(event);
    Settle();
    return got;
}

int SDL_WaitEventTimeout(SDL_Event* event, int timeout)
{
    static const auto next = Next<int (*)(SDL_Event*, int)>("SDL_WaitEventTimeout");
    if (!OnLoopThread()) return next(event, timeout);
    return WaitInSlices(event, timeout);
}

int SDL_WaitEvent(SDL_Event* event)
{
    static const auto next = Next<int (*)(SDL_Event*)>("SDL_WaitEvent");
    if (!OnLoopThread()) return next(event);
    return WaitInSlices(event, -1);
}

}  // extern "C"
