#include "platform/display.h"
#include "platform/screen_check.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__linux__)
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/bitmap.h"
#include "platform/sdl_handles.h"

namespace {

// XRGB8888: the pixel value red * 65536 + green * 256 + blue, as our surfaces hold it.
constexpr Uint32 kPictureFormat = SDL_PIXELFORMAT_RGB888;

// Without a graphics device node no card can draw; saves loading OpenGL (some
// 60 MB with Mesa's software rasteriser, which stays loaded) just to find out.
bool MayHaveGraphicsCard()
{
#if defined(__linux__)
    return access("/dev/dri", F_OK) == 0 || access("/dev/nvidia0", F_OK) == 0;
#else
    return true;
#endif
}

// Asks a hidden window's OpenGL context what really draws. Mesa's llvmpipe
// and its kin rasterise on the processor: far dearer than SDL's own software
// renderer on the window's frame buffer.
bool GraphicsCardDraws()
{
    SdlWindowPtr probe(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
    if (!probe) return false;
    SDL_GLContext context = SDL_GL_CreateContext(probe.get());
    if (!context) return false;

    bool hardware = false;
    using GetStringFn = const unsigned char* (*)(unsigned int);
    void* address = SDL_GL_GetProcAddress("glGetString");
    if (address) {
        GetStringFn getString = nullptr;
        std::memcpy(&getString, &address, sizeof getString);
        constexpr unsigned int kGlRenderer = 0x1F01;
        if (const unsigned char* name = getString(kGlRenderer)) {
            const char* text = reinterpret_cast<const char*>(name);
            hardware = true;
            for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"}) {
                if (std::strstr(text, soft)) hardware = false;
            }
        }
    }
    SDL_GL_DeleteContext(context);
    return hardware;
}

// A graphics card scales the picture to the screen for free; without one,
// SDL's software renderer on the window's own frame buffer is the cheap path.
SdlRendererPtr CreateRenderer(SDL_Window* window)
{
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER)) {
        return SdlRendererPtr(SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC));
    }
    if (MayHaveGraphicsCard() && GraphicsCardDraws()) {
        SdlRendererPtr renderer(SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
        if (renderer) return renderer;
    }
    // Otherwise SDL would back the window's frame buffer with OpenGL after all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SdlRendererPtr(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
}

}  // namespace

struct Display::Device {
    bool videoStarted = false;
    SdlWindowPtr window;
    SdlRendererPtr renderer;
    SdlTexturePtr texture;

    // SDL's software renderer draws straight into the window's own picture,
    // which stays as it is between presents. There our own code scales the
    // frame straight into that picture, so that a new frame needs only the
    // part that differs from the frame on show scaled and handed on (often
    // just a falling piece's few rows), and no screen-sized copy is kept.
    bool keepsPicture = false;             // the renderer is SDL's software one
    SDL_Surface* shownOn = nullptr;        // the window picture the last present drew into
    SDL_Rect placed{};                     // where the frame lies on it, in screen pixels
    std::vector<uint32_t> sourceColumn;    // per column of placed: the picture's column shown
    std::vector<uint32_t> sourceRow;       // per row of placed: the picture's row shown
    bool showsLastFrame = false;           // the window holds the frame presented last

    int PresentOnWindowPicture(const Surface& frame, bool showingLast, const Rect* changedPart);

    // SDL gives up a window's renderer and textures with the window; if the
    // video system was already shut down, they are gone and must not be
    // destroyed a second time.
    void Close()
    {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
            (void)texture.release();
            (void)renderer.release();
            (void)window.release();
        }
        texture.reset();
        renderer.reset();
        window.reset();
        placed = SDL_Rect{};
        shownOn = nullptr;
        showsLastFrame = false;
        if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted = false;
    }
};

// CHANGE: [desktop-name] the desktop's name and window class
void SetApplicationName(const char* name, const char* windowClass)
{
    SDL_SetHint(SDL_HINT_APP_NAME, name);
    // SDL 2.26 takes the X class from this variable, else from the file name
    // of the program, which a packager may change. A class the user set wins.
    setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 0);
}

namespace {

// Screen-sized pictures (1.9 MB each) are made and given up as the menu
// screens come and go. glibc would raise its threshold for memory of its own
// mapping to the size of the first such block freed, and keep the later ones
// in the heap, where freed memory stays with the process; a fixed threshold
// hands every one back to the system when it is given up.
void ReturnLargeBlocksToSystem()
{
#if defined(__GLIBC__)
    constexpr int kLargeBlock = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
#endif
}

}  // namespace

Display::Display() : device_(std::make_unique<Device>())
{
    ReturnLargeBlocksToSystem();
}

Display::~Display()
{
    Release();
}

bool Display::CreateMainWindow(const char* title, const char* iconBmpPath)
{
    if (device_->window) return true;
    // A second click counts as a double click only close to the first one.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "2");
    if (!DisplayNamed()) return false;
    if (!device_->videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        device_->videoStarted = true;
    }
    if (!VideoOnRealScreen()) {
        device_->Close();
        return false;
    }
    // CHANGE: [fullscreen-scaled] the desktop's mode, the picture scaled
    device_->window.reset(SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                                           kScreenHeight,
                                           startWindowed_ ? Uint32{0} : Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP}));
    if (!device_->window) {
        device_->Close();
        return false;
    }
    if (iconBmpPath) {
        // CHANGE: [icon-bounded] the icon goes through the guarded picture reader and is
        // scaled down to a size every X server accepts.
        SurfacePtr picture = ReadIconFile(iconBmpPath);
        SdlSurfacePtr icon;
        if (picture)
            icon.reset(SDL_CreateRGBSurfaceWithFormatFrom(picture->pixels.data(), picture->width, picture->height, 32,
                                                          picture->width * 4, SDL_PIXELFORMAT_RGB888));
        if (icon) SDL_SetWindowIcon(device_->window.get(), icon.get());
    }
    return true;
}

void Display::Init(Log& log)
{
    log_ = &log;
    device_->texture.reset();

    SDL_Window* window = device_->window.get();
    if (window) device_->renderer = CreateRenderer(window);
    SDL_Renderer* renderer = device_->renderer.get();
    SDL_RendererInfo info{};
    device_->keepsPicture = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && info.name &&
                            std::strcmp(info.name, "software") == 0;
    device_->showsLastFrame = false;
    if (!renderer) {
        Report("DDraw: Fehler beim Anlegen des DirectDraw-Objekts");
    } else {
        if (!startWindowed_ && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            Report("DDraw: Fehler beim Setzen der Kooperationsebene");
        }
        // The picture keeps its 800 x 600 pixels: scaled with its aspect kept,
        // black bars beside it, and mouse positions mapped back onto it.
        if (SDL_RenderSetLogicalSize(renderer, kScreenWidth, kScreenHeight) != 0) {
            Report("DDraw: Fehler beim Setzen des DisplayMode");
        }
    }

    // The software renderer is given frames straight into the window's
    // picture; only a graphics card needs the frame handed over as a texture.
    if (renderer && !device_->keepsPicture) {
        device_->texture.reset(
            SDL_CreateTexture(renderer, kPictureFormat, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight));
    }
    if (renderer && !device_->keepsPicture && !device_->texture) {
        Report("DDraw: Fehler beim Anlegen der prim\xE4ren Oberfl\xE4"
               "che");
    }
    // Plain memory, so drawing stays harmless even when the steps above failed.
    back_ = CreateSurface(kScreenWidth, kScreenHeight);
    if (!back_) Report("DDraw: Fehler beim Anlegen des Puffers");

    Report("DDraw: Initialisierung OK");
    Redraw();
}

bool Display::HasScreen() const
{
    return device_->renderer && (device_->keepsPicture || device_->texture);
}

namespace {

// The rectangle around every area, within a frame of the given size; empty
// when no area reaches into it.
Rect AroundWithin(const ChangedAreas& areas, int32_t width, int32_t height)
{
    Rect part{width, height, 0, 0};
    for (const Rect& area : areas) {
        const Rect r = Intersection(area, Rect{0, 0, width, height});
        if (IsEmpty(r)) continue;
        part = Rect{std::min(part.left, r.left), std::min(part.top, r.top), std::max(part.right, r.right),
                    std::max(part.bottom, r.bottom)};
    }
    return IsEmpty(part) ? Rect{} : part;
}

}  // namespace

int Display::ClearBackBuffer(uint32_t value)
{
    if (!back_) return -1;
    std::vector<uint32_t>& pixels = back_->pixels;
    if (value == 0) {
        // Black, the value every frame starts with: memset is several times
        // quicker than a fill loop, which g++ -O2 leaves one pixel at a time.
        std::memset(pixels.data(), 0, pixels.size() * sizeof(uint32_t));
        return 0;
    }
    // Blocks of a fixed length, which -O2 does turn into wide stores.
    constexpr size_t kBlock = 8;
    const size_t whole = pixels.size() / kBlock * kBlock;
    uint32_t* p = pixels.data();
    for (size_t i = 0; i < whole; i += kBlock) {
        for (size_t j = 0; j < kBlock; ++j) p[i + j] = value;
    }
    std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(whole), pixels.end(), value);
    return 0;
}

Surface* Display::GetBackBuffer()
{
    return back_.get();
}

const Surface* Display::FrameOnShow() const
{
    return back_.get();
}

int Display::Flip()
{
    if (!back_) return -1;
    ++flips_;
    return Present(*back_, nullptr);
}

int Display::ShowChanges(const ChangedAreas& changed)
{
    if (!back_) return -1;
    ++flips_;
    const Rect part = AroundWithin(changed, back_->width, back_->height);
    return Present(*back_, &part);
}

void Display::Redraw()
{
    if (back_) Present(*back_, nullptr);
}

namespace {

// Where the 800 x 600 picture lies on a screen of the given size: as large as
// fits with its aspect kept, centred, bars beside it (as SDL places a logical
// size).
SDL_Rect PlacePicture(int screenWidth, int screenHeight)
{
    const double wanted = static_cast<double>(kScreenWidth) / kScreenHeight;
    const double real = static_cast<double>(screenWidth) / screenHeight;
    if (std::fabs(wanted - real) < 0.0001) return SDL_Rect{0, 0, screenWidth, screenHeight};
    if (wanted > real) {
        const int height = static_cast<int>(
            std::floor(kScreenHeight * (static_cast<double>(screenWidth) / kScreenWidth)));
        return SDL_Rect{0, (screenHeight - height) / 2, screenWidth, height};
    }
    const int width = static_cast<int>(std::floor(kScreenWidth * (static_cast<double>(screenHeight) / kScreenHeight)));
    return SDL_Rect{(screenWidth - width) / 2, 0, width, screenHeight};
}

// Nearest-neighbour scaling as SDL's own stretch does it: the shown source
// pixel of target pixel i is (step / 2 + i * step) >> 16, step = 65536 *
// source / target.
std::vector<uint32_t> SourceIndices(uint32_t source, uint32_t target)
{
    std::vector<uint32_t> indices(target);
    const uint32_t step = (source << 16) / target;
    uint32_t position = step / 2;
    for (uint32_t i = 0; i < target; ++i) {
        indices[i] = position >> 16;
        position += step;
    }
    return indices;
}

// Scales the picture into the band of the screen (screen pixels), pixels
// pointing at the band's top left corner. A target row showing the same
// source row as the one above it is a plain copy of that row.
void ScaleInto(const Surface& frame, const std::vector<uint32_t>& sourceColumn, const std::vector<uint32_t>& sourceRow,
               const SDL_Rect& band, uint8_t* pixels, int pitch)
{
    const size_t width = static_cast<size_t>(band.w);
    const bool sameWidth = sourceColumn.size() == static_cast<size_t>(frame.width);
    const uint32_t* columns = sourceColumn.data() + band.x;
    for (int y = band.y; y < band.y + band.h; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y - band.y) * pitch);
        if (y > band.y && sourceRow[y] == sourceRow[y - 1]) {
            std::memcpy(out, pixels + static_cast<ptrdiff_t>(y - 1 - band.y) * pitch, width * sizeof(uint32_t));
            continue;
        }
        const uint32_t* in = frame.row(static_cast<int32_t>(sourceRow[y]));
        if (sameWidth) {
            std::memcpy(out, in + band.x, width * sizeof(uint32_t));
            continue;
        }
        // Four pixels a turn: one at a time, the loop's own counting and
        // branching took half of its instructions.
        size_t x = 0;
        for (; x + 4 <= width; x += 4) {
            out[x] = in[columns[x]];
            out[x + 1] = in[columns[x + 1]];
            out[x + 2] = in[columns[x + 2]];
            out[x + 3] = in[columns[x + 3]];
        }
        for (; x < width; ++x) out[x] = in[columns[x]];
    }
}

// Scales the band into the window's picture at (x, y): straight in when it
// holds pixels as our surfaces do, otherwise through a band-sized buffer
// converted to its format.
bool ScaleOntoScreen(const Surface& frame, const std::vector<uint32_t>& sourceColumn,
                     const std::vector<uint32_t>& sourceRow, const SDL_Rect& band, SDL_Surface& screen, int x, int y)
{
    if (SDL_MUSTLOCK(&screen) && SDL_LockSurface(&screen) != 0) return false;
    const int bytesPerPixel = screen.format->BytesPerPixel;
    auto* at = static_cast<uint8_t*>(screen.pixels) + static_cast<ptrdiff_t>(y) * screen.pitch +
               static_cast<ptrdiff_t>(x) * bytesPerPixel;
    bool done = true;
    if (screen.format->format == kPictureFormat) {
        ScaleInto(frame, sourceColumn, sourceRow, band, at, screen.pitch);
    } else {
        std::vector<uint32_t> scaled(static_cast<size_t>(band.w) * static_cast<size_t>(band.h));
        const int pitch = band.w * static_cast<int>(sizeof(uint32_t));
        ScaleInto(frame, sourceColumn, sourceRow, band, reinterpret_cast<uint8_t*>(scaled.data()), pitch);
        done = SDL_ConvertPixels(band.w, band.h, kPictureFormat, scaled.data(), pitch, screen.format->format, at,
                                 screen.pitch) == 0;
    }
    if (SDL_MUSTLOCK(&screen)) SDL_UnlockSurface(&screen);
    return done;
}

// The screen pixels [first, last) that show picture pixels [from, to) along
// one axis.
void ShownRange(const std::vector<uint32_t>& source, int32_t from, int32_t to, int& first, int& last)
{
    first = static_cast<int>(std::lower_bound(source.begin(), source.end(), static_cast<uint32_t>(from)) -
                             source.begin());
    last = static_cast<int>(std::lower_bound(source.begin(), source.end(), static_cast<uint32_t>(to)) - source.begin());
}

}  // namespace

// SDL's software renderer: the window's picture stays between presents, so
// a frame known to differ from the last one only in a part has only that
// part scaled into it and handed to the display server. A whole frame goes
// through otherwise, and after Init, a redraw or a change of window size.
int Display::Device::PresentOnWindowPicture(const Surface& frame, bool showingLast, const Rect* changedPart)
{
    // The renderer draws into this very picture; SDL makes a new one when the
    // window's size changed.
    SDL_Surface* screen = SDL_GetWindowSurface(window.get());
    if (!screen || !screen->pixels || screen->w <= 0 || screen->h <= 0) return -1;
    if (screen->format->BytesPerPixel < 1 || screen->format->BytesPerPixel > 4) return -1;
    const SDL_Rect where = PlacePicture(screen->w, screen->h);
    if (where.w <= 0 || where.h <= 0) return -1;
    bool whole = !showingLast || !changedPart || screen != shownOn;
    if (where.x != placed.x || where.y != placed.y || where.w != placed.w || where.h != placed.h) {
        placed = where;
        sourceColumn = SourceIndices(kScreenWidth, static_cast<uint32_t>(placed.w));
        sourceRow = SourceIndices(kScreenHeight, static_cast<uint32_t>(placed.h));
        whole = true;
    }

    const Rect part = whole ? Rect{0, 0, frame.width, frame.height} : *changedPart;
    if (IsEmpty(part)) {
        showsLastFrame = true;  // the window shows this very picture already
        return 0;
    }
    // The screen pixels that show the changed part.
    SDL_Rect band{};
    int right = 0;
    int bottom = 0;
    ShownRange(sourceColumn, part.left, part.right, band.x, right);
    ShownRange(sourceRow, part.top, part.bottom, band.y, bottom);
    band.w = right - band.x;
    band.h = bottom - band.y;
    if (band.w <= 0 || band.h <= 0) {
        showsLastFrame = true;  // no screen pixel shows the changed part
        return 0;
    }

    shownOn = nullptr;  // until the picture is whole again
    if (whole && (placed.w != screen->w || placed.h != screen->h)) {
        if (SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0)) != 0) return -1;  // the bars
    }
    if (!ScaleOntoScreen(frame, sourceColumn, sourceRow, band, *screen, placed.x + band.x, placed.y + band.y))
        return -1;
    // Only the changed part goes to the display server when the rest is on
    // the screen already.
    const SDL_Rect onScreen{placed.x + band.x, placed.y + band.y, band.w, band.h};
    const int updated = whole ? SDL_UpdateWindowSurface(window.get())
                              : SDL_UpdateWindowSurfaceRects(window.get(), &onScreen, 1);
    if (updated != 0) return -1;
    shownOn = screen;
    showsLastFrame = true;
    return 0;
}

int Display::Present(const Surface& frame, const Rect* changedPart)
{
    SDL_Renderer* renderer = device_->renderer.get();
    SDL_Texture* texture = device_->texture.get();
    const bool wasShowingLast = device_->showsLastFrame;
    device_->showsLastFrame = false;
    if (!renderer || (!texture && !device_->keepsPicture)) return -1;
    if (frame.width != kScreenWidth || frame.height != kScreenHeight ||
        frame.pixels.size() < static_cast<size_t>(kScreenWidth) * kScreenHeight)
        return -1;
    if (device_->keepsPicture) return device_->PresentOnWindowPicture(frame, wasShowingLast, changedPart);

    // A graphics card: the whole picture goes up and the card scales it.
    if (SDL_UpdateTexture(texture, nullptr, frame.pixels.data(), frame.width * 4) != 0) return -1;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0) return -1;
    SDL_RenderPresent(renderer);
    return 0;
}

void Display::ToggleFullscreen()
{
    SDL_Window* window = device_->window.get();
    if (!window) return;
    SDL_SetWindowFullscreen(window, IsFullscreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    Redraw();
}

bool Display::IsFullscreen() const
{
    SDL_Window* window = device_->window.get();
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void Display::Release()
{
    device_->Close();
    back_.reset();
    // Written once: a second release has no log to report to.
    Report("DDraw: Freigegeben OK ");
    log_ = nullptr;
}

void Display::Report(const std::string& text, const std::string& name)
{
    if (log_) log_->WriteLine(text, name);
}
