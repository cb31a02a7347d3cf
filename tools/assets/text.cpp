#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>


InkBox inkBox(const Mask& m)
{
    InkBox b{m.w, m.h, 0, 0};
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y) > 0.02f) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1);
                b.y1 = std::max(b.y1, y + 1);
            }
    if (b.x1 == 0) return {};
    return b;
}

Typesetter::Typesetter(std::string fontDir) : dir_(std::move(fontDir))
{
    ready_ = TTF_Init() == 0;
}

Typesetter::~Typesetter()
{
    fonts_.clear();
    if (ready_) TTF_Quit();
}

bool Typesetter::ok()
{
    return ready_ && font(20, false) && font(20, true);
}

_TTF_Font* Typesetter::font(int size, bool bold)
{
    const auto key = std::make_pair(size, bold);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    const std::string path = dir_ + (bold ? "/LiberationSans-Bold.ttf" : "/LiberationSans-Regular.ttf");
    TTF_Font* f = ready_ ? TTF_OpenFont(path.c_str(), size) : nullptr;
    if (f) TTF_SetFontHinting(f, TTF_HINTING_LIGHT);
    fonts_[key].reset(f);
    return f;
}

Mask Typesetter::render(const std::string& utf8, int size, bool bold)
{
    TTF_Font* f = font(size, bold);
    if (!f || utf8.empty()) return {};
    SdlSurfacePtr rendered(TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255}));
    if (!rendered) return {};
    SdlSurfacePtr s(SDL_ConvertSurfaceFormat(rendered.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!s) return {};
    Mask m(s->w, s->h);
    SDL_LockSurface(s.get());
    for (int y = 0; y < s->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x) m.ref(x, y) = static_cast<float>(row[x] >> 24) / 255.f;
    }
    SDL_UnlockSurface(s.get());
    return m;
}

int Typesetter::width(const std::string& utf8, int size, bool bold)
{
    TTF_Font* f = font(size, bold);
    int w = 0, h = 0;
    if (f) TTF_SizeUTF8(f, utf8.c_str(), &w, &h);
    return w;
}

int Typesetter::fit(const std::string& utf8, bool bold, int maxWidth, int maxHeight)
{
    // Ink grows almost linearly with the size: estimate from one probe, then
    // step down until it fits.
    const InkBox probe = inkBox(render(utf8, 100, bold));
    if (probe.width() == 0) return 8;
    const float f = std::min(static_cast<float>(maxWidth) / static_cast<float>(probe.width()),
                             static_cast<float>(maxHeight) / static_cast<float>(probe.height()));
    int size = std::max(8, static_cast<int>(100 * f) + 2);
    while (size > 8) {
        const InkBox b = inkBox(render(utf8, size, bold));
        if (b.width() <= maxWidth && b.height() <= maxHeight) break;
        --size;
    }
    return size;
}
