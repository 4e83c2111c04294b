#pragma once
// The player's gamepad, read from SDL's joystick events: its d-pad (hat 0)
// and left stick (axes 0 and 1) are the arrows, its first three buttons A,
// B and C, its fourth the debug boxes. One joystick counts: the first, or
// in versus the second for player 2.
#include <SDL/SDL.h>

#include "input/keyBindings.h"

// How far the stick must lean, of 32767, before it holds a direction.
const int kStickDeadZone = 8000;
// How far back it must come before it lets go: a stick resting near the
// dead zone's edge would otherwise press again and again.
const int kStickReleaseZone = 6000;

// The actions one event pressed, in order, and those it let go.
struct padPresses {
    padAction list[4];
    int count = 0;
    padAction releases[4];
    int releaseCount = 0;
};

class padState {
public:
    Uint8 hat = SDL_HAT_CENTERED;  // the d-pad's position, SDL_HAT_* bits
    int stickX = 0;                // the left stick: -32768 left .. 32767 right
    int stickY = 0;                // -32768 up .. 32767 down
    int stickHeldX = 0;            // the way the stick holds: -1 left, 0 none, 1 right
    int stickHeldY = 0;            // -1 up, 0 none, 1 down
    int device = 0;                // the joystick whose events count, by SDL's index

    // Reads one event. A button pressed, or a direction that the hat and
    // stick together did not hold before and hold now, is a press; a button
    // let go, or a direction they held before and hold no more, a release.
    // Events of other devices press nothing. A stick axis holds its way
    // from kStickDeadZone out until it comes back under kStickReleaseZone.
    padPresses take(const SDL_Event& event);
    // True while the hat or the stick holds `direction` (up, down, left or right).
    bool holds(padAction direction) const;
};

// Opens the first joystick and prints "Gamepad: <name>"; with none found
// the joystick subsystem is shut again and nothing is printed. The
// joystick, or null.
SDL_Joystick* openFirstPad();
// The same for the second joystick, player 2's in versus: "Gamepad 2: <name>".
SDL_Joystick* openSecondPad();
