#include "surfaceBlit.h"

#include <cstring>

namespace {
// A 32-bit software surface whose pixels can be read and written directly:
// no alpha channel, 8 bits per colour, no offset, not locked, no RLE.
bool plain32(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    return f && f->BitsPerPixel == 32 && f->BytesPerPixel == 4 && f->Amask == 0 && f->Rloss == 0 &&
           f->Gloss == 0 && f->Bloss == 0 && s->pixels && s->offset == 0 && s->locked == 0 &&
           (s->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) == 0;
}

bool sameFormat(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// Rows of plain pixels: SDL's identity copy.
void copyRows(Uint8* to, int toPitch, const Uint8* from, int fromPitch, int w, int h) {
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int row = 0; row < h; ++row) {
        std::memcpy(to, from, rowBytes);
        to += toPitch;
        from += fromPitch;
    }
}

// Four pixels at a time, in a form GCC and clang compile to vector
// instructions at every optimisation level (a plain loop is vectorised only
// at -O3); elsewhere the compiler splits it into scalars.
typedef Uint32 fourPixels __attribute__((vector_size(16)));

fourPixels loadFour(const Uint32* at) {
    fourPixels four;
    std::memcpy(&four, at, sizeof four);
    return four;
}

void storeFour(Uint32* at, fourPixels four) { std::memcpy(at, &four, sizeof four); }

// Four pixels of a keyed copy: the key leaves the pixel under it, any
// other pixel is written as its red, green and blue bits.
void storeKeyedFour(Uint32* at, fourPixels four, fourPixels keys, fourPixels bits) {
    fourPixels keyed = four == keys;  // all ones where the pixel is the key
    storeFour(at, (loadFour(at) & keyed) | (four & bits & ~keyed));
}

// Pixels a step of the keyed copy takes: four vectors, one cache line.
const int kKeyedStep = 16;

// Rows of colour-keyed pixels, as SDL's keyed blit writes them. A saved
// background seldom holds the key: a step whose pixels are neither the key
// nor carry other bits is stored as it was loaded, and only the other steps
// read the pixels under them. The four vectors of a step are named one by
// one so that they stay in registers: copied through an array, they went
// through the stack on the way, doubling the bytes moved.
void copyKeyedRows(Uint8* to, int toPitch, const Uint8* from, int fromPitch, int w, int h, Uint32 key,
                   Uint32 colourBits) {
    const fourPixels keys = {key, key, key, key};
    const fourPixels bits = {colourBits, colourBits, colourBits, colourBits};
    const fourPixels otherBits = ~bits;
    for (int row = 0; row < h; ++row, to += toPitch, from += fromPitch) {
        const Uint32* s = reinterpret_cast<const Uint32*>(from);
        Uint32* d = reinterpret_cast<Uint32*>(to);
        int i = 0;
        for (; i + kKeyedStep <= w; i += kKeyedStep) {
            fourPixels a = loadFour(s + i), b = loadFour(s + i + 4), c = loadFour(s + i + 8), e = loadFour(s + i + 12);
            fourPixels special = (a == keys) | (b == keys) | (c == keys) | (e == keys) | ((a | b | c | e) & otherBits);
            Uint64 halves[2];
            std::memcpy(halves, &special, sizeof halves);
            if ((halves[0] | halves[1]) == 0) {
                storeFour(d + i, a);
                storeFour(d + i + 4, b);
                storeFour(d + i + 8, c);
                storeFour(d + i + 12, e);
            } else {
                storeKeyedFour(d + i, a, keys, bits);
                storeKeyedFour(d + i + 4, b, keys, bits);
                storeKeyedFour(d + i + 8, c, keys, bits);
                storeKeyedFour(d + i + 12, e, keys, bits);
            }
        }
        for (; i < w; ++i) {
            Uint32 p = s[i];
            d[i] = p != key ? (p & colourBits) : d[i];
        }
    }
}
}  // namespace

bool blitIsOwn(const SDL_Surface* src, const SDL_Surface* dst) {
    if (!src || !dst || src == dst) return false;
    if (!plain32(src) || !plain32(dst) || !sameFormat(src->format, dst->format)) return false;
    // Per-surface alpha and RLE acceleration stay with SDL.
    return (src->flags & (SDL_SRCALPHA | SDL_RLEACCELOK)) == 0;
}

int blitSurface(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    if (!blitIsOwn(src, dst)) return SDL_BlitSurface(src, srcrect, dst, dstrect);

    // Clipping exactly as SDL_UpperBlit does it, on the same 16-bit fields.
    SDL_Rect whole;
    if (!dstrect) {
        whole.x = whole.y = 0;
        dstrect = &whole;
    }
    int srcx, srcy, w, h;
    if (srcrect) {
        srcx = srcrect->x;
        w = srcrect->w;
        if (srcx < 0) {
            w += srcx;
            dstrect->x -= srcx;
            srcx = 0;
        }
        int maxw = src->w - srcx;
        if (maxw < w) w = maxw;
        srcy = srcrect->y;
        h = srcrect->h;
        if (srcy < 0) {
            h += srcy;
            dstrect->y -= srcy;
            srcy = 0;
        }
        int maxh = src->h - srcy;
        if (maxh < h) h = maxh;
    } else {
        srcx = srcy = 0;
        w = src->w;
        h = src->h;
    }
    const SDL_Rect& clip = dst->clip_rect;
    int dx = clip.x - dstrect->x;
    if (dx > 0) {
        w -= dx;
        dstrect->x += dx;
        srcx += dx;
    }
    dx = dstrect->x + w - clip.x - clip.w;
    if (dx > 0) w -= dx;
    int dy = clip.y - dstrect->y;
    if (dy > 0) {
        h -= dy;
        dstrect->y += dy;
        srcy += dy;
    }
    dy = dstrect->y + h - clip.y - clip.h;
    if (dy > 0) h -= dy;
    if (w <= 0 || h <= 0) {
        dstrect->w = dstrect->h = 0;
        return 0;
    }
    dstrect->w = static_cast<Uint16>(w);
    dstrect->h = static_cast<Uint16>(h);

    const Uint8* from = static_cast<const Uint8*>(src->pixels) + srcy * src->pitch + srcx * 4;
    Uint8* to = static_cast<Uint8*>(dst->pixels) + dstrect->y * dst->pitch + dstrect->x * 4;
    if (src->flags & SDL_SRCCOLORKEY) {
        const SDL_PixelFormat* f = src->format;
        copyKeyedRows(to, dst->pitch, from, src->pitch, w, h, f->colorkey, f->Rmask | f->Gmask | f->Bmask);
    } else {
        copyRows(to, dst->pitch, from, src->pitch, w, h);
    }
    return 0;
}
