#pragma once
#include <memory>

// Owners for the handles of SDL, SDL_ttf and SDL_mixer: each handle goes back
// to its library when its owner goes. The types are only declared here, so a
// header holding an owner needs none of SDL's headers.
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
struct _TTF_Font;
struct Mix_Chunk;
struct _Mix_Music;

struct SdlRelease {
    void operator()(SDL_Window* window) const;
    void operator()(SDL_Renderer* renderer) const;
    void operator()(SDL_Texture* texture) const;
    void operator()(SDL_Surface* surface) const;
    void operator()(_TTF_Font* font) const;
    void operator()(Mix_Chunk* chunk) const;
    void operator()(_Mix_Music* music) const;
    // Text SDL allocated for us (the clipboard's).
    void operator()(char* text) const;
};

using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlRelease>;
using SdlRendererPtr = std::unique_ptr<SDL_Renderer, SdlRelease>;
using SdlTexturePtr = std::unique_ptr<SDL_Texture, SdlRelease>;
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlRelease>;
using TtfFontPtr = std::unique_ptr<_TTF_Font, SdlRelease>;
using MixChunkPtr = std::unique_ptr<Mix_Chunk, SdlRelease>;
using MixMusicPtr = std::unique_ptr<_Mix_Music, SdlRelease>;
using SdlTextPtr = std::unique_ptr<char, SdlRelease>;
