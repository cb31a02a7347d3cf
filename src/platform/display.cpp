#include "platform/display.h"
#include "platform/screen_check.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__linux__)
#include <unistd.h>
#endif

#include "platform/bitmap.h"
#include "platform/events.h"

namespace {

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;

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
    WindowPtr probe(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
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
RendererPtr CreateRenderer(SDL_Window* window)
{
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER)) {
        return RendererPtr(SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC));
    }
    if (MayHaveGraphicsCard() && GraphicsCardDraws()) {
        RendererPtr renderer(SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
        if (renderer) return renderer;
    }
    // Otherwise SDL would back the window's frame buffer with OpenGL after all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return RendererPtr(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
}

}  // namespace

struct Display::Device {
    bool videoStarted = false;
    WindowPtr window;
    RendererPtr renderer;
    TexturePtr texture;

    // SDL's software renderer draws straight into the window's own picture,
    // which stays as it is between presents. At 1:1 a new frame then needs
    // only the rows that differ from the frame on show copied through.
    bool keepsPicture = false;          // the renderer is SDL's software one
    bool showsFrontBuffer = false;      // texture and window hold the front buffer at 1:1
    const Surface* frameOnShow = nullptr;  // set by Flip while it presents: the front buffer

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
        if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted = false;
    }
};

Display::Display() : device_(std::make_unique<Device>()) {}

Display::~Display()
{
    Release();
}

bool Display::CreateMainWindow(const char* title, const char* iconBmpPath)
{
    if (device_->window) return true;
    // A second click counts as a double click only close to the first one.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "2");
    if (!device_->videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        device_->videoStarted = true;
    }
    if (!VideoOnRealScreen()) {
        device_->Close();
        return false;
    }
    device_->window.reset(SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                                           kScreenHeight, SDL_WINDOW_FULLSCREEN_DESKTOP));
    if (!device_->window) {
        device_->Close();
        return false;
    }
    if (iconBmpPath) {
        std::unique_ptr<SDL_Surface, SdlSurfaceDeleter> icon(SDL_LoadBMP(HostPath(iconBmpPath).c_str()));
        if (icon) SDL_SetWindowIcon(device_->window.get(), icon.get());
    }
    return true;
}

int Display::Init()
{
    log_.Open("log.txt", Log::Mode::Append);
    device_->texture.reset();

    SDL_Window* window = device_->window.get();
    if (window) device_->renderer = CreateRenderer(window);
    SDL_Renderer* renderer = device_->renderer.get();
    SDL_RendererInfo info{};
    device_->keepsPicture = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && info.name &&
                            std::strcmp(info.name, "software") == 0;
    device_->showsFrontBuffer = false;
    if (!renderer) {
        log_.WriteLine("DDraw: Fehler beim Anlegen des DirectDraw-Objekts");
    } else {
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            log_.WriteLine("DDraw: Fehler beim Setzen der Kooperationsebene");
        }
        // The picture keeps its 800 x 600 pixels: scaled with its aspect kept,
        // black bars beside it, and mouse positions mapped back onto it.
        if (SDL_RenderSetLogicalSize(renderer, kScreenWidth, kScreenHeight) != 0) {
            log_.WriteLine("DDraw: Fehler beim Setzen des DisplayMode");
        }
    }

    // The buffers are plain memory, so drawing stays harmless even when the
    // steps above failed.
    front_ = CreateSurface(kScreenWidth, kScreenHeight);
    if (renderer) {
        device_->texture.reset(
            SDL_CreateTexture(renderer, kPictureFormat, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight));
    }
    if (!front_ || (renderer && !device_->texture)) {
        log_.WriteLine("DDraw: Fehler beim Anlegen der prim\xE4ren Oberfl\xE4" "che");
    }
    back_ = CreateSurface(kScreenWidth, kScreenHeight);
    if (!back_) log_.WriteLine("DDraw: Fehler beim Anlegen des Puffers");

    log_.WriteLine("DDraw: Initialisierung OK");
    Redraw();
    return 1;
}

bool Display::HasScreen() const
{
    return device_->renderer && device_->texture;
}

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

const Surface* Display::FrontBuffer() const
{
    return front_.get();
}

int Display::Flip()
{
    if (!front_ || !back_) return -1;
    device_->frameOnShow = front_.get();
    const int result = Present(*back_);
    device_->frameOnShow = nullptr;
    // Swapping the pixels, not the surfaces, keeps GetBackBuffer's surface the
    // same for the whole run.
    front_->pixels.swap(back_->pixels);
    return result;
}

void Display::Redraw()
{
    if (front_) Present(*front_);
}

namespace {

// The first and one past the last row in which two frames of the same size
// differ; first == last when they are the same. Only the rows up to the first
// difference from each end are read.
void DifferingRows(const Surface& a, const Surface& b, int32_t& first, int32_t& last)
{
    const size_t rowBytes = static_cast<size_t>(a.width) * sizeof(uint32_t);
    first = 0;
    while (first < a.height && std::memcmp(a.row(first), b.row(first), rowBytes) == 0) ++first;
    last = a.height;
    while (last > first && std::memcmp(a.row(last - 1), b.row(last - 1), rowBytes) == 0) --last;
}

bool SameSize(const Surface& a, const Surface& b)
{
    const size_t count = static_cast<size_t>(a.width) * static_cast<size_t>(a.height);
    return a.width == b.width && a.height == b.height && a.pixels.size() >= count && b.pixels.size() >= count;
}

}  // namespace

int Display::Present(const Surface& frame)
{
    SDL_Renderer* renderer = device_->renderer.get();
    SDL_Texture* texture = device_->texture.get();
    const bool wasShowingFront = device_->showsFrontBuffer;
    device_->showsFrontBuffer = false;
    if (!renderer || !texture) return -1;
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) return -1;
    const bool oneToOne = outputWidth == kScreenWidth && outputHeight == kScreenHeight;

    // A new frame while the window still holds the one before it, unscaled:
    // copy through only the rows that changed (often a falling piece's few).
    const Surface* before = device_->frameOnShow;
    if (device_->keepsPicture && oneToOne && wasShowingFront && before && SameSize(frame, *before) &&
        frame.width == kScreenWidth && frame.height == kScreenHeight) {
        int32_t first = 0;
        int32_t last = 0;
        DifferingRows(frame, *before, first, last);
        if (first < last) {
            const SDL_Rect rows{0, first, frame.width, last - first};
            if (SDL_UpdateTexture(texture, &rows, frame.row(first), frame.width * 4) != 0) return -1;
            if (SDL_RenderCopy(renderer, texture, &rows, &rows) != 0) return -1;
            SDL_RenderPresent(renderer);
        }
        // Unchanged: the window shows this very picture already.
        device_->showsFrontBuffer = true;
        return 0;
    }

    if (SDL_UpdateTexture(texture, nullptr, frame.pixels.data(), frame.width * 4) != 0) return -1;
    // Black bars beside a scaled picture. When the picture is drawn at a whole
    // multiple of its size on a screen of that size it covers every pixel, and
    // clearing first would only fill the whole screen for nothing.
    const bool coversOutput = outputWidth > 0 && outputWidth % kScreenWidth == 0 && outputHeight % kScreenHeight == 0 &&
                              outputWidth / kScreenWidth == outputHeight / kScreenHeight;
    if (!coversOutput) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
    if (SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0) return -1;
    SDL_RenderPresent(renderer);
    device_->showsFrontBuffer = device_->keepsPicture && oneToOne;
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
    if (GetInputDisplay() == this) SetInputDisplay(nullptr);
    device_->Close();
    front_.reset();
    back_.reset();
    // Written once: a second release finds the log already closed.
    log_.WriteLine("DDraw: Freigegeben OK ");
    log_.Close();
}
