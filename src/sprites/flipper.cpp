#include "flipper.h"

#include <cstring>

namespace {
bool mustLock(SDL_Surface* surface) {
    return surface->offset != 0 || (surface->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0;
}

Uint8* pixelAddress(SDL_Surface* surface, int x, int y) {
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
}
}  // namespace

Uint32 get_pixel32(SDL_Surface* surface, int x, int y) {
    Uint32* pixels = static_cast<Uint32*>(surface->pixels);
    return pixels[y * (surface->pitch / 4) + x];
}

void put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel) {
    Uint32* pixels = static_cast<Uint32*>(surface->pixels);
    pixels[y * (surface->pitch / 4) + x] = pixel;
}

SDL_Surface* flip_surface(SDL_Surface* surface) {
    if (!surface) return nullptr;
    SDL_PixelFormat* format = surface->format;
    bool keyed = (surface->flags & SDL_SRCCOLORKEY) != 0;
    SDL_Surface* flipped = SDL_CreateRGBSurface(0, surface->w, surface->h, format->BitsPerPixel, format->Rmask,
                                                format->Gmask, format->Bmask, keyed ? 0 : format->Amask);
    if (!flipped) return nullptr;
    if (format->palette && flipped->format->palette)
        SDL_SetColors(flipped, format->palette->colors, 0, format->palette->ncolors);

    bool locked = mustLock(surface) && SDL_LockSurface(surface) == 0;
    // Rows are addressed by pitch and pixels by their size, so surfaces of any
    // depth mirror correctly. Row by row, so both surfaces are read and
    // written in memory order; the display's 32-bit frames take whole pixels.
    int bytes = format->BytesPerPixel;
    int w = surface->w;
    for (int j = 0; j < surface->h; ++j) {
        if (bytes == 4) {
            const Uint32* from = reinterpret_cast<const Uint32*>(pixelAddress(surface, 0, j));
            Uint32* to = reinterpret_cast<Uint32*>(pixelAddress(flipped, 0, j));
            for (int i = 0; i < w; ++i) to[w - 1 - i] = from[i];
        } else {
            for (int i = 0; i < w; ++i)
                std::memcpy(pixelAddress(flipped, w - 1 - i, j), pixelAddress(surface, i, j), bytes);
        }
    }
    if (locked) SDL_UnlockSurface(surface);

    if (keyed) SDL_SetColorKey(flipped, SDL_SRCCOLORKEY | SDL_RLEACCEL, format->colorkey);
    return flipped;
}
