#include "rectCopy.h"

#include <algorithm>
#include <cstring>

void copyPixels(Uint8* dst, int dstPitch, int dx, int dy, const Uint8* src, int srcPitch, int sx, int sy, int w,
                int h) {
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    Uint8* to = dst + static_cast<ptrdiff_t>(dy) * dstPitch + dx * 4;
    const Uint8* from = src + static_cast<ptrdiff_t>(sy) * srcPitch + sx * 4;
    for (int row = 0; row < h; ++row) {
        std::memcpy(to, from, rowBytes);
        to += dstPitch;
        from += srcPitch;
    }
}

spriteCopy::spriteCopy(pixelRect where) : place(where) {
    size_t bytes = static_cast<size_t>(std::max(where.w, 0)) * std::max(where.h, 0) * 4;
    saved.assign(bytes, 0);
    image.assign(bytes, 0xff);
}

size_t copyPass(SDL_Surface* screen, std::vector<spriteCopy>& sprites) {
    bool locked = SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) == 0;
    Uint8* pixels = static_cast<Uint8*>(screen->pixels);
    const int pitch = screen->pitch;
    size_t bytes = 0;
    // All restores first, then all saves, then all draws: the scene's order.
    for (int phase = 0; phase < 3; ++phase) {
        for (spriteCopy& sprite : sprites) {
            pixelRect cut = clipRect(sprite.place, screen->w, screen->h);
            if (cut.w == 0) continue;
            // The part of the sprite's own buffers that lies on the screen.
            int bx = cut.x - sprite.place.x;
            int by = cut.y - sprite.place.y;
            int bufferPitch = sprite.place.w * 4;
            if (phase == 0)
                copyPixels(pixels, pitch, cut.x, cut.y, sprite.saved.data(), bufferPitch, bx, by, cut.w, cut.h);
            else if (phase == 1)
                copyPixels(sprite.saved.data(), bufferPitch, bx, by, pixels, pitch, cut.x, cut.y, cut.w, cut.h);
            else
                copyPixels(pixels, pitch, cut.x, cut.y, sprite.image.data(), bufferPitch, bx, by, cut.w, cut.h);
            bytes += static_cast<size_t>(cut.w) * cut.h * 4;
        }
    }
    if (locked) SDL_UnlockSurface(screen);
    return bytes;
}
