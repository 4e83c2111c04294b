#pragma once
// Left-right mirroring of 32-bit surfaces whose rows are exactly w pixels.
#include <SDL/SDL.h>

// A new surface holding the mirror image of `surface`; the caller owns it.
SDL_Surface* flip_surface(SDL_Surface* surface);
// Pixel (x, y); no locking, no bounds check.
Uint32 get_pixel32(SDL_Surface* surface, int x, int y);
// Stores `pixel` at (x, y); no locking, no bounds check.
void put_pixel32(SDL_Surface* surface, int x, int y, Uint32 pixel);
