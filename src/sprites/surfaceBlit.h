#pragma once
// The blit the scene makes several times a frame: saving and restoring the
// background under each sprite.
#include <SDL/SDL.h>

// SDL_BlitSurface, with the same clipping, the same result pixels and the
// same rectangle written back. Plain 32-bit software surfaces of one format
// are copied row by row here; SDL's own colour-keyed blit works pixel by
// pixel through a general colour conversion and costs several times a plain
// copy, which the per-frame background restore can't afford. Every other
// case (other depths, alpha, RLE, locked or hardware surfaces) goes to SDL.
int blitSurface(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);

// True when blitSurface copies `src` onto `dst` itself instead of asking SDL.
bool blitIsOwn(const SDL_Surface* src, const SDL_Surface* dst);

// Vector width of the colour-keyed copy, in bytes: 32 where the processor
// runs AVX2 (64-bit x86), 16 with SSE2, 4 where the vectors are split into
// 32-bit words (32-bit x86 without SSE2), as the processor was found at start.
extern const int keyedCopyBytes;
// blitSurface with the colour-keyed copy at most `vectorBytes` wide (a test
// checks each narrower copy the processor also runs).
int blitSurfaceBy(int vectorBytes, SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
