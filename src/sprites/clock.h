#pragma once
// The engine's one clock, in milliseconds: SDL's tick count, or a time a test
// has set. Animation frames, particle lifetimes, the input checker's window
// and the movement steps all read it, so a test drives them all by setting it.
#include <SDL/SDL.h>

// Milliseconds since SDL started, or the value a test has set.
Uint32 clockTicks();
// Fixes the clock at `ms` until clockUseSDL() (tests drive time with it).
void clockSet(Uint32 ms);
// Moves a fixed clock forward by `ms`.
void clockAdvance(Uint32 ms);
// Goes back to SDL's tick count.
void clockUseSDL();
