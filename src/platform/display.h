#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/log.h"
#include "platform/surface.h"

// The picture the game draws is always 800 x 600; the window scales it to the
// screen with its aspect kept.
constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;

// How desktops name the program: volume mixers show name, and every window
// gets the X window class windowClass (the desktop entry's StartupWMClass).
// Call before any window or sound is opened.
void SetApplicationName(const char* name, const char* windowClass);

// The screen: one window, and a back buffer that frames are drawn into; from
// one present until it is drawn on again it holds the frame on show. Every
// step of setting it up and every loaded picture is reported in the game's
// log, from Init to Release.
class Display {
public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Opens the main window (full screen, the icon from a BMP file if there is
    // one). False when there is no window, also when no real screen exists and
    // the system would only draw into memory.
    bool CreateMainWindow(const char* title, const char* iconBmpPath);
    // Before CreateMainWindow: true opens an 800 x 600 window instead.
    void StartInWindow(bool windowed) { startWindowed_ = windowed; }

    // Sets up the picture on the window made by CreateMainWindow, reporting
    // into log until Release. Failures are only logged.
    void Init(Log& log);

    // True when presented frames reach a screen. False after an Init without
    // a window or without a real display: the game would run unseen.
    bool HasScreen() const;

    // Reads a BMP file ("Data\mark1.bmp") scaled to exactly width x height
    // (0 keeps the file's own size) into a new surface with colour key 20.
    // Empty when the file cannot be read or the surface cannot be made.
    SurfacePtr LoadBitmapSurface(const std::string& path, int32_t width, int32_t height);

    // Fills the whole back buffer with a raw pixel value. 0, or -1 without one.
    int ClearBackBuffer(uint32_t value);
    // The surface frames are drawn into; the same one from Init to Release.
    Surface* GetBackBuffer();
    // Shows the whole back buffer. 0 when the frame reached the screen, -1
    // otherwise.
    int Flip();
    // Shows the back buffer too, for a caller that knows it equals the frame
    // on show outside the changed areas: only the rows around them are handed
    // to the window, and nothing is compared. 0 when the frame reached the
    // screen, -1 otherwise.
    int ShowChanges(const ChangedAreas& changed);
    // How many frames Flip and ShowChanges showed: a caller that showed the
    // last one itself can tell from it whether the back buffer still holds it.
    uint64_t Flips() const { return flips_; }
    // The frame shown by the last Flip or ShowChanges (black before the
    // first): the back buffer, until it is drawn on again.
    const Surface* FrameOnShow() const;

    // Gives up the buffers and the window, and stops reporting. Only the
    // first call after Init writes its line; later calls find nothing to do.
    void Release();

    // F11: full screen <-> an 800 x 600 window.
    void ToggleFullscreen();
    bool IsFullscreen() const;
    // Shows the last presented frame again (after the window was uncovered,
    // resized or switched between window and full screen).
    void Redraw();

private:
    struct Device;  // the window and renderer, kept out of this header

    // changedPart: outside it frame equals the frame on show; null when not
    // known, then the whole frame is shown.
    int Present(const Surface& frame, const Rect* changedPart);
    void Report(const std::string& text, const std::string& name = std::string());

    std::unique_ptr<Device> device_;
    bool startWindowed_ = false;
    SurfacePtr back_;
    uint64_t flips_ = 0;
    Log* log_ = nullptr;  // the game's log, from Init to Release
};
