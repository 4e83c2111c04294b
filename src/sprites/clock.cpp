#include "clock.h"

namespace {
// A time a test has set, in place of SDL's. Process-wide because SDL's tick
// count, which it stands in for, is process-wide itself.
struct fixedClock {
    bool fixed = false;  // true: clockTicks() answers `ticks`
    Uint32 ticks = 0;    // the fixed time, ms
};
fixedClock testClock;
}  // namespace

Uint32 clockTicks() { return testClock.fixed ? testClock.ticks : SDL_GetTicks(); }

void clockSet(Uint32 ms) {
    testClock.fixed = true;
    testClock.ticks = ms;
}

void clockAdvance(Uint32 ms) { testClock.ticks += ms; }

void clockUseSDL() { testClock.fixed = false; }
