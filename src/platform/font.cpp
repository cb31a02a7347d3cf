#include "platform/font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <list>
#include <strings.h>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/sdl_handles.h"
#include "platform/text_encoding.h"

namespace {

// The font library counts its starts, so every font may own one.
class TtfLibrary {
public:
    TtfLibrary() : started_(TTF_Init() == 0) {}
    ~TtfLibrary()
    {
        if (started_) TTF_Quit();
    }
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
    bool Started() const { return started_; }

private:
    bool started_;
};

struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

constexpr int32_t kBoldWeight = 600;  // from here on a face counts as bold

struct FaceFile {
    std::string path;
    std::string family;
    int index = 0;
    bool synthesizeBold = false;
    bool synthesizeItalic = false;
};

// Faces drawn to the same metrics as the named one, so fixed text positions
// made for it still fit.
bool IsMetricTwin(const std::string& faceName, const std::string& family)
{
    if (strcasecmp(faceName.c_str(), family.c_str()) == 0) return true;
    if (strcasecmp(faceName.c_str(), "Arial") == 0) return family == "Liberation Sans" || family == "Arimo";
    return false;
}

bool MatchWithFontconfig(const std::string& faceName, int32_t weight, bool italic, FaceFile& face)
{
    FcPatternPtr pattern(FcPatternCreate());
    if (!pattern) return false;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return false;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return false;

    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return false;
    face.path = reinterpret_cast<const char*>(file);
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &family) == FcResultMatch) {
        face.family = reinterpret_cast<const char*>(family);
    }
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &face.index);
    int matchedWeight = FC_WEIGHT_REGULAR;
    int matchedSlant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &matchedWeight);
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &matchedSlant);
    face.synthesizeBold = weight >= kBoldWeight && matchedWeight < FC_WEIGHT_DEMIBOLD;
    face.synthesizeItalic = italic && matchedSlant == FC_SLANT_ROMAN;
    return true;
}

// Where Debian puts Liberation Sans, for when fontconfig is missing or
// unconfigured.
FaceFile LiberationSansFile(bool bold, bool italic)
{
    static const char* const kFolders[] = {"/usr/share/fonts/truetype/liberation2/",
                                           "/usr/share/fonts/truetype/liberation/"};
    std::string name = "LiberationSans-";
    name += bold ? (italic ? "BoldItalic" : "Bold") : (italic ? "Italic" : "Regular");
    name += ".ttf";
    for (const char* folder : kFolders) {
        const std::string path = folder + name;
        if (SDL_RWops* probe = SDL_RWFromFile(path.c_str(), "rb")) {
            SDL_RWclose(probe);
            FaceFile face;
            face.path = path;
            face.family = "Liberation Sans";
            return face;
        }
    }
    return FaceFile();
}

FaceFile FindFace(const std::string& faceName, int32_t weight, bool italic)
{
    FaceFile matched;
    const bool found = MatchWithFontconfig(faceName, weight, italic, matched);
    if (found && IsMetricTwin(faceName, matched.family)) return matched;
    if (IsMetricTwin(faceName, "Liberation Sans")) {
        FaceFile liberation = LiberationSansFile(weight >= kBoldWeight, italic);
        if (!liberation.path.empty()) return liberation;
    }
    // Some face is better than no text at all.
    return found ? matched : FaceFile();
}

// The largest point size whose cell (ascent + descent) is not taller than
// cellHeight. Cell height grows with the point size, but not by a fixed step.
int FitPointSize(TTF_Font* font, int32_t cellHeight)
{
    int size = std::max(1, cellHeight);
    TTF_SetFontSize(font, size);
    while (size > 1 && TTF_FontHeight(font) > cellHeight) TTF_SetFontSize(font, --size);
    while (size < 4 * cellHeight) {
        TTF_SetFontSize(font, size + 1);
        if (TTF_FontHeight(font) > cellHeight) break;
        ++size;
    }
    TTF_SetFontSize(font, size);
    return size;
}

SDL_Color ColorFromGdi(uint32_t gdiColor)
{
    return SDL_Color{static_cast<Uint8>(gdiColor & 0xFF), static_cast<Uint8>((gdiColor >> 8) & 0xFF),
                     static_cast<Uint8>((gdiColor >> 16) & 0xFF), 255};
}

// A rendered string: ARGB pixels, alpha is the glyph coverage.
struct RenderedText {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

RenderedText CopyPixels(SDL_Surface* rendered)
{
    RenderedText text;
    SdlSurfacePtr argb(SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb || SDL_LockSurface(argb.get()) != 0) return text;
    text.width = argb->w;
    text.height = argb->h;
    text.pixels.resize(static_cast<size_t>(text.width) * static_cast<size_t>(text.height));
    for (int32_t y = 0; y < text.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch;
        std::copy_n(reinterpret_cast<const uint32_t*>(row), text.width,
                    text.pixels.begin() + static_cast<ptrdiff_t>(y) * text.width);
    }
    SDL_UnlockSurface(argb.get());
    return text;
}

uint32_t BlendChannel(uint32_t source, uint32_t target, uint32_t alpha)
{
    return (source * alpha + target * (255 - alpha) + 127) / 255;
}

// Lays the text over the target; fully transparent pixels leave it alone.
void BlendOnto(Surface& target, int32_t x, int32_t y, const RenderedText& text)
{
    // Wide arithmetic: any x and y are allowed, however far off the target.
    const int64_t left = std::max<int64_t>(0, -int64_t{x});
    const int64_t top = std::max<int64_t>(0, -int64_t{y});
    const int64_t right = std::min<int64_t>(text.width, int64_t{target.width} - x);
    const int64_t bottom = std::min<int64_t>(text.height, int64_t{target.height} - y);
    for (int64_t row = top; row < bottom; ++row) {
        const uint32_t* source = text.pixels.data() + static_cast<size_t>(row) * text.width;
        uint32_t* destination = target.row(static_cast<int32_t>(y + row));
        for (int64_t column = left; column < right; ++column) {
            const uint32_t pixel = source[column];
            const uint32_t alpha = pixel >> 24;
            if (alpha == 0) continue;
            uint32_t& under = destination[x + column];
            uint32_t blended = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                blended |= BlendChannel((pixel >> shift) & 0xFF, (under >> shift) & 0xFF, alpha) << shift;
            }
            under = blended;
        }
    }
    if (left < right && top < bottom) {
        target.changed.add(Rect{static_cast<int32_t>(x + left), static_cast<int32_t>(y + top),
                                static_cast<int32_t>(x + right), static_cast<int32_t>(y + bottom)});
    }
}

bool IsDrawable(const Surface* target)
{
    return target != nullptr && target->width > 0 && target->height > 0 &&
           target->pixels.size() >= static_cast<size_t>(target->width) * static_cast<size_t>(target->height);
}

}  // namespace

struct Font::Impl {
    TtfLibrary library;  // declared first: must outlive the font handle
    TtfFontPtr font;
    FaceFile face;
    int pointSize = 0;

    // Most recently used strings first; the map points into the list.
    using CacheList = std::list<std::pair<std::string, RenderedText>>;
    CacheList cache;
    std::unordered_map<std::string, CacheList::iterator> cacheIndex;

    const RenderedText* Render(const std::string& text1252, uint32_t gdiColor);
};

const RenderedText* Font::Impl::Render(const std::string& text1252, uint32_t gdiColor)
{
    std::string key = text1252;
    for (int shift = 0; shift < 32; shift += 8) key += static_cast<char>((gdiColor >> shift) & 0xFF);
    const auto found = cacheIndex.find(key);
    if (found != cacheIndex.end()) {
        cache.splice(cache.begin(), cache, found->second);
        return &found->second->second;
    }

    const std::string utf8 = Utf8FromCp1252(text1252);
    SdlSurfacePtr rendered(TTF_RenderUTF8_Blended(font.get(), utf8.c_str(), ColorFromGdi(gdiColor)));
    if (!rendered) return nullptr;
    cache.emplace_front(key, CopyPixels(rendered.get()));
    cacheIndex[key] = cache.begin();
    if (cache.size() > kCacheCapacity) {
        cacheIndex.erase(cache.back().first);
        cache.pop_back();
    }
    return &cache.front().second;
}

Font::Font(const std::string& faceName, int32_t height, int32_t weight, int32_t flags) : impl_(std::make_unique<Impl>())
{
    if (!impl_->library.Started()) return;
    const bool italic = (flags & kFontItalic) != 0;
    // GDI's weight 0 means "the default weight".
    const int32_t wanted = weight > 0 ? weight : 400;
    impl_->face = FindFace(faceName, wanted, italic);
    if (impl_->face.path.empty()) return;
    impl_->font.reset(TTF_OpenFontIndex(impl_->face.path.c_str(), std::max(1, height), impl_->face.index));
    if (!impl_->font) return;
    impl_->pointSize = FitPointSize(impl_->font.get(), height);

    int style = TTF_STYLE_NORMAL;
    if (impl_->face.synthesizeBold) style |= TTF_STYLE_BOLD;
    if (impl_->face.synthesizeItalic) style |= TTF_STYLE_ITALIC;
    if (flags & kFontUnderline) style |= TTF_STYLE_UNDERLINE;
    if (flags & kFontStrikeOut) style |= TTF_STYLE_STRIKETHROUGH;
    TTF_SetFontStyle(impl_->font.get(), style);
}

Font::~Font() = default;
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;

int Font::DrawString(Surface* target, int32_t x, int32_t y, const std::string& text1252, uint32_t gdiColor)
{
    // The game's texts end at their first zero byte.
    const std::string text = text1252.substr(0, text1252.find('\0'));
    if (!IsLoaded() || text.empty() || !IsDrawable(target)) return 1;
    if (const RenderedText* rendered = impl_->Render(text, gdiColor)) BlendOnto(*target, x, y, *rendered);
    return 1;
}

int32_t Font::MeasureString(const std::string& text1252) const
{
    const std::string text = text1252.substr(0, text1252.find('\0'));
    if (!IsLoaded() || text.empty()) return 0;
    int width = 0;
    int height = 0;
    if (TTF_SizeUTF8(impl_->font.get(), Utf8FromCp1252(text).c_str(), &width, &height) != 0) return 0;
    return width;
}

bool Font::IsLoaded() const
{
    return impl_ && impl_->font;
}
int32_t Font::CellHeight() const
{
    return IsLoaded() ? TTF_FontHeight(impl_->font.get()) : 0;
}
int32_t Font::PointSize() const
{
    return IsLoaded() ? impl_->pointSize : 0;
}
std::string Font::FamilyName() const
{
    return IsLoaded() ? impl_->face.family : std::string();
}
std::string Font::FilePath() const
{
    return IsLoaded() ? impl_->face.path : std::string();
}
size_t Font::CachedStrings() const
{
    return impl_ ? impl_->cache.size() : 0;
}

Font MakeGameFont()
{
    return Font("Arial", 34, 500, 0);
}

// A device context with no font chosen writes in the system font, whose cell
// is 16 pixels tall.
Font MakeDeviceContextFont()
{
    return Font("Arial", 16, 400, 0);
}
