#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/events.h"
#include "platform/surface.h"
#include "shell/app.h"

// What a driven run starts with, besides the generated Data folder and level
// files.
struct DriverSetup {
    std::string name = "Tester";  // what the name prompt "returns"
    // Files (relative to the run's folder, '/'-separated) written before the
    // program starts, e.g. {"Data/ini.ini", "[Optionen]\r\nmodus=3\r\n"}.
    std::vector<std::pair<std::string, std::string>> files;
    // Files removed before the program starts, e.g. "Data/hiscore.bmp".
    std::vector<std::string> removed;
    bool start = true;  // run startUp() at once
    bool race = false;  // as klotzar --race
    // The prompt is confirmed with the name it offers instead of typing `name`.
    bool acceptOffered = false;
};

// Runs the whole program in this process without a window: SDL's dummy video
// and audio, a clock that moves only when told to, and a fresh working folder
// holding a copy of the generated game files. Events go in through the same
// handleEvent the window's events take; the idle passes and waits follow the
// real main loop, so the program sees exactly the order of calls it would see
// on a desktop.
class ScratchFolder;

class Driver {
public:
    explicit Driver(const DriverSetup& setup = DriverSetup());
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    App& app() { return *app_; }
    bool startUp();  // only needed with setup.start false
    // Ends the program's objects (shutdown, then destruction), as leaving
    // main does; the run's files stay readable.
    void finish() { app_.reset(); }

    // -- input: one event each, as the loop takes them from the queue --------
    void send(const InputEvent& event);
    void press(Key key);
    void click(int32_t x, int32_t y, bool stillHeld = true, int32_t clicks = 1);
    void rightClick(int32_t x, int32_t y, bool stillHeld = true, int32_t clicks = 1);
    void move(int32_t x, int32_t y);
    void closeWindow();
    // Hands every event waiting in SDL's queue (a pad's, say) to the program
    // through the window's own translation, as the main loop takes them.
    void pump();
    // What the name prompt offered the last time it was shown.
    const std::string& offeredName() const { return offeredName_; }

    // One idle pass (the queue is empty). Remembers how the loop would wait.
    IdleWait idle();
    // Lets ms of time pass the way the loop spends it: blocked when the last
    // idle pass said so, otherwise waiting its timeouts and running an idle
    // pass after each. Fails the test if the loop would spin without waiting.
    void advance(uint32_t ms);
    // press(key), then the idle pass that follows.
    void key(Key key);

    uint32_t now() const { return now_; }
    // Moves the clock without running the loop, for what drives itself
    // (watching a replay).
    void passTime(uint32_t ms) { now_ += ms; }
    bool blockedForever() const { return lastWait_.forever; }

    // -- what the screen shows ---------------------------------------------------
    const Surface& frame() const;
    uint32_t pixel(int32_t x, int32_t y) const;
    // Pixels of value colour inside the rectangle [left, right) x [top, bottom).
    int32_t countPixels(const Rect& area, uint32_t colour) const;
    // Counts the pixels of picture's non-key pixels that the frame does not
    // show at (x, y). -1 when the picture is missing or sticks out.
    int32_t pictureMismatches(const Surface* picture, int32_t x, int32_t y) const;

    // The high-score picture fills the frame's top rows, which no list row
    // reaches.
    bool highscoreScreenShown() const;

    // -- files of the run ---------------------------------------------------------
    std::filesystem::path folder() const { return folder_; }
    std::string readFile(const std::string& relativePath) const;
    bool fileExists(const std::string& relativePath) const;

    // Where the build put the generated Data folder and level files.
    static std::filesystem::path buildFolder();

private:
    std::unique_ptr<ScratchFolder> scratch_;  // removed last, after the app has shut down
    std::filesystem::path folder_;
    std::filesystem::path previousFolder_;
    uint32_t now_ = 100000;
    IdleWait lastWait_{false, 0};
    bool idleDue_ = true;    // an event was handled since the last idle pass
    uint32_t waitLeft_ = 0;  // of the current timed wait
    std::unique_ptr<App> app_;
    std::string offeredName_;
};

// Splits text at CR LF; a final line end gives no empty last line. A line end
// without its CR stays inside the line, where a comparison will show it.
std::vector<std::string> crlfLines(const std::string& text);
