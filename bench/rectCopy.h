#pragma once
// The least a scene pass can do: copy each sprite's rectangle three times
// (restore, save, draw) as plain row copies, with no colour key, no format
// conversion and no game logic. The pass is measured against this.
#include <SDL/SDL.h>

#include <cstddef>
#include <vector>

#include "sprites/changedRects.h"  // pixelRect, clipRect

// Copies w x h pixels of 4 bytes from (sx, sy) of `src` to (dx, dy) of
// `dst`, one memcpy per row. The caller keeps both rectangles inside.
void copyPixels(Uint8* dst, int dstPitch, int dx, int dy, const Uint8* src, int srcPitch, int sx, int sy, int w,
                int h);

// One sprite's share of a pass: its rectangle on the screen, the buffer its
// background is saved in, and a stand-in for its frame image, both of the
// rectangle's full size.
struct spriteCopy {
    pixelRect place;            // where the image lies, possibly past the edges
    std::vector<Uint8> saved;   // place.w x place.h pixels
    std::vector<Uint8> image;   // place.w x place.h pixels

    explicit spriteCopy(pixelRect where);
};

// Restores, saves and draws every sprite on the 32-bit `screen`, as the
// scene does but with plain copies. Returns the bytes written and read
// across the screen's edge-clipped rectangles (each copy counted once).
size_t copyPass(SDL_Surface* screen, std::vector<spriteCopy>& sprites);
