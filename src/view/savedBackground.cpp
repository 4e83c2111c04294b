#include "view/savedBackground.h"

#include "sprites/CSprite.h"
#include "sprites/changedRects.h"
#include "sprites/surfaceBlit.h"

SDL_Surface* makeScreenLikeSurface(const SDL_Surface* screen, int w, int h) {
    const SDL_PixelFormat* f = screen->format;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
}

bool saveBackground(SDL_Surface* screen, SDL_Rect from, SDL_Surface*& saved) {
    if (!saved) saved = makeScreenLikeSurface(screen, from.w, from.h);
    if (!saved) return false;
    SDL_Rect to = makeRect(0, 0, 0, 0);
    blitSurface(screen, &from, saved, &to);
    return true;
}

void restoreBackground(SDL_Surface* screen, SDL_Surface* saved, SDL_Rect where, changedRects* changes) {
    if (changes) changes->add(where);
    blitSurface(saved, nullptr, screen, &where);
}
