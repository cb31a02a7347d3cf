#include "driver.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// No window, no sound card, and nothing that could pop up on a desktop the
// tests happen to run on: a message box would wait for a click forever.
void goHeadless()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

fs::path Driver::buildFolder()
{
    return KLOTZAR_BUILD_DIR;
}

Driver::Driver(const DriverSetup& setup)
{
    goHeadless();
    scratch_ = std::make_unique<ScratchFolder>("klotzar-shell");
    folder_ = scratch_->path();
    const fs::path build = buildFolder();
    if (!fs::is_directory(build / "Data")) {
        ADD_FAILURE() << "generated game files missing: " << (build / "Data");
    } else {
        fs::copy(build / "Data", folder_ / "Data", fs::copy_options::recursive);
    }
    std::vector<std::string> besideData = {"icon.bmp"};
    for (int level = 1; level <= 5; ++level) besideData.push_back(std::to_string(level) + ".dat");
    for (const std::string& name : besideData) {
        if (fs::exists(build / name)) fs::copy_file(build / name, folder_ / name);
    }
    // Settings and high scores start from what the test says, never from
    // whatever the build folder happened to hold.
    fs::remove(folder_ / "Data" / "ini.ini");
    fs::remove(folder_ / "Data" / "Highscore.zip");
    for (const auto& file : setup.files) writeFile(folder_ / file.first, file.second);
    for (const std::string& gone : setup.removed) fs::remove(folder_ / gone);

    previousFolder_ = fs::current_path();
    fs::current_path(folder_);

    AppSeams seams;
    seams.clock = [this] { return now_; };
    const std::string name = setup.name;
    const bool acceptOffered = setup.acceptOffered;
    seams.askName = [this, name, acceptOffered](std::string& typed) {
        offeredName_ = typed;
        if (!acceptOffered) typed = name;
        return true;
    };
    seams.race = setup.race;
    app_ = std::make_unique<App>(std::move(seams));
    if (setup.start) {
        EXPECT_TRUE(startUp()) << "startUp found no display";
    }
}

Driver::~Driver()
{
    app_.reset();  // shuts down: log lines and the high-score file
    if (!previousFolder_.empty()) fs::current_path(previousFolder_);
}

bool Driver::startUp()
{
    return app_->startUp();
}

void Driver::send(const InputEvent& event)
{
    // The loop blocked after its last idle pass: it re-stamps the step clock
    // before it handles the event that woke it.
    if (!idleDue_ && lastWait_.forever) app_->afterBlockingWait();
    app_->handleEvent(event);
    idleDue_ = true;
    lastWait_ = IdleWait{false, 0};
    waitLeft_ = 0;
}

void Driver::press(Key key)
{
    InputEvent event;
    event.type = InputEvent::Type::KeyDown;
    event.key = key;
    send(event);
}

void Driver::click(int32_t x, int32_t y, bool stillHeld, int32_t clicks)
{
    InputEvent event;
    event.type = InputEvent::Type::LeftButtonDown;
    event.x = x;
    event.y = y;
    event.stillHeld = stillHeld;
    event.clicks = clicks;
    send(event);
}

void Driver::rightClick(int32_t x, int32_t y, bool stillHeld, int32_t clicks)
{
    InputEvent event;
    event.type = InputEvent::Type::RightButtonDown;
    event.x = x;
    event.y = y;
    event.stillHeld = stillHeld;
    event.clicks = clicks;
    send(event);
}

void Driver::move(int32_t x, int32_t y)
{
    InputEvent event;
    event.type = InputEvent::Type::MouseMove;
    event.x = x;
    event.y = y;
    send(event);
}

void Driver::closeWindow()
{
    InputEvent event;
    event.type = InputEvent::Type::Quit;
    send(event);
}

void Driver::pump()
{
    InputEvent event;
    while (app_->pollInput(event)) send(event);
}

IdleWait Driver::idle()
{
    lastWait_ = app_->idlePass();
    idleDue_ = false;
    waitLeft_ = lastWait_.forever || lastWait_.timeoutMs <= 0 ? 0 : static_cast<uint32_t>(lastWait_.timeoutMs);
    return lastWait_;
}

void Driver::key(Key key)
{
    press(key);
    idle();
}

void Driver::advance(uint32_t ms)
{
    if (idleDue_) idle();
    int spins = 0;
    while (ms > 0 && !app_->quitPosted()) {
        if (lastWait_.forever) {
            now_ += ms;  // blocked in the wait: time passes, nothing runs
            return;
        }
        if (waitLeft_ == 0) {
            // A timed wait of 0 ms: the loop runs the next idle pass at once.
            if (++spins > 1000) {
                ADD_FAILURE() << "the loop runs idle passes without ever waiting";
                return;
            }
            idle();
            continue;
        }
        spins = 0;
        const uint32_t step = waitLeft_ < ms ? waitLeft_ : ms;
        now_ += step;
        ms -= step;
        waitLeft_ -= step;
        if (waitLeft_ == 0) idle();
    }
}

const Surface& Driver::frame() const
{
    static const Surface none;
    const Surface* front = app_->display.FrameOnShow();
    return front ? *front : none;
}

uint32_t Driver::pixel(int32_t x, int32_t y) const
{
    const Surface& f = frame();
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") outside the frame";
        return 0;
    }
    return f.row(y)[x];
}

int32_t Driver::countPixels(const Rect& area, uint32_t colour) const
{
    const Surface& f = frame();
    int32_t count = 0;
    for (int32_t y = std::max(0, area.top); y < std::min(f.height, area.bottom); ++y) {
        for (int32_t x = std::max(0, area.left); x < std::min(f.width, area.right); ++x) {
            if (f.row(y)[x] == colour) ++count;
        }
    }
    return count;
}

int32_t Driver::pictureMismatches(const Surface* picture, int32_t x, int32_t y) const
{
    const Surface& f = frame();
    if (!picture || picture->width == 0 || x < 0 || y < 0 || x + picture->width > f.width ||
        y + picture->height > f.height)
        return -1;
    int32_t mismatches = 0;
    for (int32_t row = 0; row < picture->height; ++row) {
        for (int32_t column = 0; column < picture->width; ++column) {
            const uint32_t p = picture->row(row)[column];
            if (picture->hasColorKey && p == picture->colorKey) continue;
            if (f.row(y + row)[x + column] != p) ++mismatches;
        }
    }
    return mismatches;
}

bool Driver::highscoreScreenShown() const
{
    const Surface* background = app_->pictures.highscoreBackground.get();
    const Surface& f = frame();
    if (!background || f.width != background->width) return false;
    for (int32_t y = 0; y < 200; y += 7) {
        for (int32_t x = 0; x < f.width; ++x) {
            if (f.row(y)[x] != background->row(y)[x]) return false;
        }
    }
    return true;
}

std::string Driver::readFile(const std::string& relativePath) const
{
    std::ifstream in(folder_ / relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Driver::fileExists(const std::string& relativePath) const
{
    return fs::exists(folder_ / relativePath);
}

std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}
