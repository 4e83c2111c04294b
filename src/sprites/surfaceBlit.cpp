#include "surfaceBlit.h"

#include <cstring>

// 32-byte vectors where the compiler can build them for one function and
// ask the processor at run time: 64-bit x86, but not on Windows, where GCC
// can't align the stack for them.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define WIDE_KEYED_COPY 1
#include <immintrin.h>
#endif
// The 32-bit x86 build assumes no SSE, so its 16-byte vectors become 32-bit
// words; it also builds them with SSE2 for the processors that have it.
#if defined(__GNUC__) && defined(__i386__)
#define SSE2_KEYED_COPY 1
#endif

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
// at -O3); elsewhere the compiler splits it into scalars. The steps are
// inlined into each caller, so that they take the caller's instruction set.
typedef Uint32 fourPixels __attribute__((vector_size(16)));
#define PIXEL_STEP inline __attribute__((always_inline))

PIXEL_STEP fourPixels loadFour(const Uint32* at) {
    fourPixels four;
    std::memcpy(&four, at, sizeof four);
    return four;
}

PIXEL_STEP void storeFour(Uint32* at, fourPixels four) { std::memcpy(at, &four, sizeof four); }

// Four pixels of a keyed copy: the key leaves the pixel under it, any
// other pixel is written as its red, green and blue bits.
PIXEL_STEP void storeKeyedFour(Uint32* at, fourPixels four, fourPixels keys, fourPixels bits) {
    fourPixels keyed = four == keys;  // all ones where the pixel is the key
    storeFour(at, (loadFour(at) & keyed) | (four & bits & ~keyed));
}

// Pixels a step of the keyed copy takes: four vectors, one cache line.
const int kKeyedStep = 16;

// One row of colour-keyed pixels, as SDL's keyed blit writes them. A saved
// background seldom holds the key: a step whose pixels are neither the key
// nor carry other bits is stored as it was loaded, and only the other steps
// read the pixels under them. The four vectors of a step are named one by
// one so that they stay in registers: copied through an array, they went
// through the stack on the way, doubling the bytes moved.
PIXEL_STEP void copyKeyedRowBody(Uint32* d, const Uint32* s, int w, Uint32 key, Uint32 colourBits) {
    const fourPixels keys = {key, key, key, key};
    const fourPixels bits = {colourBits, colourBits, colourBits, colourBits};
    const fourPixels otherBits = ~bits;
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

void copyKeyedRow(Uint32* d, const Uint32* s, int w, Uint32 key, Uint32 colourBits) {
    copyKeyedRowBody(d, s, w, key, colourBits);
}

#ifdef SSE2_KEYED_COPY
__attribute__((target("sse2"))) void copyKeyedRowSse2(Uint32* d, const Uint32* s, int w, Uint32 key,
                                                      Uint32 colourBits) {
    copyKeyedRowBody(d, s, w, key, colourBits);
}
#endif

#ifdef WIDE_KEYED_COPY
// The same row in steps of 32 pixels, eight to a vector, for processors
// with AVX2: half the instructions per byte of the step above, which keeps
// the restore within reach of a plain copy.
#define WIDE_STEP inline __attribute__((target("avx2"), always_inline))

WIDE_STEP __m256i loadEight(const Uint32* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }

WIDE_STEP void storeEight(Uint32* at, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }

// Eight pixels of a keyed copy over the pixels `under` them, as
// storeKeyedFour.
WIDE_STEP __m256i keyedEight(__m256i v, __m256i under, __m256i keys, __m256i bits) {
    __m256i keyed = _mm256_cmpeq_epi32(v, keys);
    return _mm256_or_si256(_mm256_and_si256(under, keyed), _mm256_andnot_si256(keyed, _mm256_and_si256(v, bits)));
}

WIDE_STEP void storeKeyedEight(Uint32* at, __m256i v, __m256i keys, __m256i bits) {
    storeEight(at, keyedEight(v, loadEight(at), keys, bits));
}

// The same, reading the pixels under only where the key is among the eight.
WIDE_STEP void storeEightUnlessKey(Uint32* at, __m256i v, __m256i keys, __m256i bits) {
    __m256i isKey = _mm256_cmpeq_epi32(v, keys);
    if (_mm256_testz_si256(isKey, isKey))
        storeEight(at, _mm256_and_si256(v, bits));
    else
        storeKeyedEight(at, v, keys, bits);
}

__attribute__((target("avx2"))) void copyKeyedRowWide(Uint32* d, const Uint32* s, int w, Uint32 key,
                                                      Uint32 colourBits) {
    const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
    const __m256i bits = _mm256_set1_epi32(static_cast<int>(colourBits));
    int i = 0;
    for (; i + 4 * 8 <= w; i += 4 * 8) {
        __m256i a = loadEight(s + i), b = loadEight(s + i + 8), c = loadEight(s + i + 16), e = loadEight(s + i + 24);
        __m256i isKey = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi32(a, keys), _mm256_cmpeq_epi32(b, keys)),
                                        _mm256_or_si256(_mm256_cmpeq_epi32(c, keys), _mm256_cmpeq_epi32(e, keys)));
        __m256i all = _mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, e));
        // no key, and no bit outside the colours (testc: all & ~bits == 0)
        if (_mm256_testz_si256(isKey, isKey) && _mm256_testc_si256(bits, all)) {
            storeEight(d + i, a);
            storeEight(d + i + 8, b);
            storeEight(d + i + 16, c);
            storeEight(d + i + 24, e);
        } else {
            storeKeyedEight(d + i, a, keys, bits);
            storeKeyedEight(d + i + 8, b, keys, bits);
            storeKeyedEight(d + i + 16, c, keys, bits);
            storeKeyedEight(d + i + 24, e, keys, bits);
        }
    }
    // The rest of the row eight at a time, and the last few under a mask,
    // which neither reads nor writes past the row's end.
    for (; i + 8 <= w; i += 8) storeEightUnlessKey(d + i, loadEight(s + i), keys, bits);
    if (i < w) {
        const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256i inRow = _mm256_cmpgt_epi32(_mm256_set1_epi32(w - i), lane);
        __m256i v = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), inRow);
        __m256i under = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), inRow);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), inRow, keyedEight(v, under, keys, bits));
    }
}

#endif

// The widest vectors, in bytes, that the processor runs and a copy here
// is built for.
int widestKeyedCopy() {
#if defined(WIDE_KEYED_COPY) || defined(SSE2_KEYED_COPY)
    __builtin_cpu_init();  // this may run before the compiler's own start-up
#endif
#ifdef WIDE_KEYED_COPY
    if (__builtin_cpu_supports("avx2")) return 32;
#endif
#ifdef SSE2_KEYED_COPY
    if (!__builtin_cpu_supports("sse2")) return 4;
#endif
    return 16;
}

// Rows of colour-keyed pixels, by the widest row copy the processor runs.
void copyKeyedRows(int vectorBytes, Uint8* to, int toPitch, const Uint8* from, int fromPitch, int w, int h,
                   Uint32 key, Uint32 colourBits) {
    for (int row = 0; row < h; ++row, to += toPitch, from += fromPitch) {
        const Uint32* s = reinterpret_cast<const Uint32*>(from);
        Uint32* d = reinterpret_cast<Uint32*>(to);
#ifdef WIDE_KEYED_COPY
        if (vectorBytes >= 32) {
            copyKeyedRowWide(d, s, w, key, colourBits);
            continue;
        }
#endif
#ifdef SSE2_KEYED_COPY
        if (vectorBytes >= 16) {
            copyKeyedRowSse2(d, s, w, key, colourBits);
            continue;
        }
#endif
        copyKeyedRow(d, s, w, key, colourBits);
    }
}
}  // namespace

const int keyedCopyBytes = widestKeyedCopy();

bool blitIsOwn(const SDL_Surface* src, const SDL_Surface* dst) {
    if (!src || !dst || src == dst) return false;
    if (!plain32(src) || !plain32(dst) || !sameFormat(src->format, dst->format)) return false;
    // Per-surface alpha and RLE acceleration stay with SDL.
    return (src->flags & (SDL_SRCALPHA | SDL_RLEACCELOK)) == 0;
}

int blitSurface(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    return blitSurfaceBy(keyedCopyBytes, src, srcrect, dst, dstrect);
}

int blitSurfaceBy(int vectorBytes, SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
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
        copyKeyedRows(vectorBytes, to, dst->pitch, from, src->pitch, w, h, f->colorkey, f->Rmask | f->Gmask | f->Bmask);
    } else {
        copyRows(to, dst->pitch, from, src->pitch, w, h);
    }
    return 0;
}
