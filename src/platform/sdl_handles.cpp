#include "platform/sdl_handles.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

void SdlRelease::operator()(SDL_Window* window) const
{
    SDL_DestroyWindow(window);
}
void SdlRelease::operator()(SDL_Renderer* renderer) const
{
    SDL_DestroyRenderer(renderer);
}
void SdlRelease::operator()(SDL_Texture* texture) const
{
    SDL_DestroyTexture(texture);
}
void SdlRelease::operator()(SDL_Surface* surface) const
{
    SDL_FreeSurface(surface);
}
void SdlRelease::operator()(TTF_Font* font) const
{
    TTF_CloseFont(font);
}
void SdlRelease::operator()(Mix_Chunk* chunk) const
{
    Mix_FreeChunk(chunk);
}
void SdlRelease::operator()(Mix_Music* music) const
{
    Mix_FreeMusic(music);
}
void SdlRelease::operator()(char* text) const
{
    SDL_free(text);
}
